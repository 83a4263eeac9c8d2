// The font setup a test run asked for (LE_EXPECT_FONTS, families separated
// by commas; LE_EXPECT_DEFAULT_FONT, the family a view gets when it names
// none) is the one the view sees: a run meant to check line breaking under
// other fonts must not pass on the fonts it happens to find.
#include <QFontDatabase>
#include <QFontInfo>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>

#include "TextViewTestSupport.h"
#include "ViewPrivate.h"

TEST(TextViewFonts, TheFamiliesTheRunAsksForAreInstalled)
{
	const QString expected = qEnvironmentVariable("LE_EXPECT_FONTS");
	if (expected.isEmpty())
		GTEST_SKIP() << "this run asks for no particular fonts";
	const QStringList families = QFontDatabase::families();
	for (const QString& family : expected.split(QChar(','), Qt::SkipEmptyParts)) {
		// A family two foundries make is listed with its foundry.
		const bool found = std::any_of(families.begin(), families.end(), [&](const QString& f) {
			return f == family || f.startsWith(family + QStringLiteral(" ["));
		});
		EXPECT_TRUE(found) << family.toStdString()
		                   << " is missing: install the packages tools/deps.sh lists";
	}
}

TEST(TextViewFonts, AViewWithoutAFamilyOfItsOwnGetsTheDefaultTheRunAsksFor)
{
	const QString expected = qEnvironmentVariable("LE_EXPECT_DEFAULT_FONT");
	if (expected.isEmpty())
		GTEST_SKIP() << "this run asks for no particular default";
	RecordingTextView view;
	const QFontInfo used(BPrivate::ViewAccess::Widget(&view)->font());
	EXPECT_EQ(used.family().toStdString(), expected.toStdString());
}
