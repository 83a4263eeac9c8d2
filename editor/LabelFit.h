#ifndef LABEL_FIT_H
#define LABEL_FIT_H

// Where the three rows of header controls divide label from field, so every
// label shows whole in every interface language. The original geometry (a
// 60-pixel divider, a 150-pixel wide version control, a 450-pixel wide
// window) is kept wherever the labels fit it; a wider label widens its
// divider, the controls right of it move, and the window's minimum width
// grows so the fields keep room for their text.
struct LabelFit
{
	// Widths of the labels as each control draws them.
	struct Labels
	{
		float reference;
		float language;
		float version;
		// The id control's label, as measured for its divider.
		float appID;
	};

	static const float kDivider;
	static const float kVersionRight;
	static const float kAppIDGap;
	static const float kMinWidth;
	// The least room a field keeps for its text at the minimum width.
	static const float kMinFieldWidth;

	explicit LabelFit(const Labels& labels);

	// Rows one and two share one divider, so their fields start together.
	float rowDivider;
	float versionDivider;
	float versionRight;
	float appIDLeft;
	float appIDDivider;
	float minWidth;
};

#endif // LABEL_FIT_H
