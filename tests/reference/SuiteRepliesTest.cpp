// Reading the suite's replies: which "Suites" answers count, and how default
// texts are made fit for one comment line.

#include "LocaleSuiteClient.h"

#include <AppDefs.h>
#include <Message.h>

#include <gtest/gtest.h>

TEST(SuiteReplies, TheLocaleSuiteCountsAnywhereInTheListButOnlyExactly)
{
	BMessage reply(B_REPLY);
	EXPECT_FALSE(LocaleSuiteClient::ListsLocaleSuite(reply));

	reply.AddString("suites", "suite/vnd.Be-application");
	reply.AddString("suites", "suite/vnd.Vessmor-locale ");
	reply.AddString("suites", "suite/vnd.vessmor-locale");
	reply.AddString("suites", "suite/vnd.Vessmor-localeX");
	EXPECT_FALSE(LocaleSuiteClient::ListsLocaleSuite(reply));

	reply.AddString("suites", "suite/vnd.Vessmor-locale");
	reply.AddString("suites", "suite/vnd.Be-handler");
	EXPECT_TRUE(LocaleSuiteClient::ListsLocaleSuite(reply));

	// Under another field name it is no answer to "Suites".
	BMessage elsewhere(B_REPLY);
	elsewhere.AddString("result", LocaleSuite::kName);
	EXPECT_FALSE(LocaleSuiteClient::ListsLocaleSuite(elsewhere));
}

TEST(SuiteReplies, LineFeedsBecomeBackslashNAndBackslashTBecomesATab)
{
	EXPECT_EQ(LocaleSuiteClient::EscapeReferenceText("one\ntwo\n\nthree"), "one\\ntwo\\n\\nthree");
	// A tab that is there stays a tab; backslash-t becomes one.
	EXPECT_EQ(LocaleSuiteClient::EscapeReferenceText("a\tb\\tc"), "a\tb\tc");
	// Backslash-n written as two characters stays as it is.
	EXPECT_EQ(LocaleSuiteClient::EscapeReferenceText("keep\\n"), "keep\\n");
	// A backslash ahead of a line feed does not join the escape made for it,
	// and the second of two backslashes still pairs with a t.
	EXPECT_EQ(LocaleSuiteClient::EscapeReferenceText("x\\\ny"), "x\\\\ny");
	EXPECT_EQ(LocaleSuiteClient::EscapeReferenceText("\\\\t"), "\\\t");
	EXPECT_EQ(LocaleSuiteClient::EscapeReferenceText("trailing\\"), "trailing\\");
	EXPECT_EQ(LocaleSuiteClient::EscapeReferenceText(""), "");
	EXPECT_EQ(LocaleSuiteClient::EscapeReferenceText(nullptr), "");
}
