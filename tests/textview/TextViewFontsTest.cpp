// The font setup a test run asked for (LE_EXPECT_FONTS, families separated
// by commas) is the one the view sees: a run meant to check line
// breaking under other fonts must not pass on the fonts it happens to find.
#include <QFontDatabase>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>

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
