// Filling the placeholders of translated texts without printf.

#include <gtest/gtest.h>

#include "TextFormat.h"

TEST(FillPlaceholders, FillsInOrderAndLeavesEveryOtherPercentAlone)
{
	EXPECT_EQ(FillPlaceholders("Entry #%d has %d lines (100%).", "%d", {"31", "2"}),
	          "Entry #31 has 2 lines (100%).");
	// A translation may hold fewer placeholders than values, or more.
	EXPECT_EQ(FillPlaceholders("Eintrag %d", "%d", {"7", "2"}), "Eintrag 7");
	EXPECT_EQ(FillPlaceholders("%d und %d", "%d", {"7"}), "7 und %d");
	// A value holding the placeholder is not filled again; %s is not %d.
	EXPECT_EQ(FillPlaceholders("'%s' %s", "%s", {"/tmp/%s"}), "'/tmp/%s' %s");
	EXPECT_EQ(FillPlaceholders("%s %n %d", "%d", {"1"}), "%s %n 1");
	EXPECT_EQ(FillPlaceholders(nullptr, "%d", {"1"}), "");
}
