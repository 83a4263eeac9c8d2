#include "LabelFit.h"

#include <algorithm>
#include <cmath>

namespace {

// The text control draws its label this far in from its left edge.
const float kLabelInset = 3;
// Between the end of a label and its field's frame.
const float kLabelGap = 5;
const float kMargin = 10;
// The two buttons' slots right of the fields in rows one and two.
const float kButtonsWidth = 105 + 100 + 2 * 5;

float Fit(float labelWidth, float divider)
{
	const float needed = std::ceil(kLabelInset + labelWidth + kLabelGap);
	return needed > divider ? needed : divider;
}

} // namespace

const float LabelFit::kDivider = 60;
const float LabelFit::kVersionRight = 160;
const float LabelFit::kAppIDGap = 10;
const float LabelFit::kMinWidth = 450;
const float LabelFit::kMinFieldWidth = 130;

LabelFit::LabelFit(const Labels& labels)
{
	rowDivider = Fit(std::max(labels.reference, labels.language), kDivider);
	versionDivider = Fit(labels.version, kDivider);
	versionRight = kVersionRight + (versionDivider - kDivider);
	appIDLeft = versionRight + kAppIDGap;
	appIDDivider = labels.appID + kAppIDGap;

	// The window's bounds are one pixel narrower than its width in the
	// framework's inclusive rectangles, hence the final pixel.
	const float rows = kMargin + rowDivider + kMinFieldWidth + kButtonsWidth + kMargin;
	const float idRow = appIDLeft + appIDDivider + kMinFieldWidth + kMargin;
	minWidth = std::max({kMinWidth, std::ceil(rows), std::ceil(idRow)});
}
