// Naming the editor's windows and views: by index, reverse index, title
// and name, and what an address that names nothing gets.
#include <Errors.h>
#include <SupportDefs.h>

#include "EditorFixture.h"

namespace {

const char* kTitle = "Korvane Locale Editor";

class AddressingTest : public EditorFixture
{
};

TEST_F(AddressingTest, TheWindowIsFoundByIndexReverseIndexAndTitle)
{
	HeyResult count = Hey({"count", "Window"});
	ASSERT_EQ(0, count.exitCode) << count.err;
	EXPECT_EQ(std::vector<int>{1}, ResultInts(count));

	for (const char* window : {"0", "[0]", "[-1]", kTitle}) {
		HeyResult title = Hey({"get", "Title", "of", "Window", window});
		EXPECT_EQ(0, title.exitCode) << window << ": " << title.out;
		EXPECT_EQ(kTitle, ResultString(title)) << window;
	}
	HeyResult name = Hey({"get", "Name"});
	EXPECT_EQ("LocaleEditor", ResultString(name));
}

TEST_F(AddressingTest, TheEditorIsFoundByItsExecutableAndItsSignature)
{
	// The signature in any case, as MIME types are compared.
	for (const char* app : {"LocaleEditor", "application/x-vnd.vessmor-localeeditor",
	                        "application/X-VND.Vessmor-LocaleEditor"}) {
		HeyResult name = RunHey({"-t", "5000", app, "get", "Name"});
		EXPECT_EQ(0, name.exitCode) << app << ": " << name.err;
		EXPECT_EQ("LocaleEditor", ResultString(name)) << app;
	}
}

TEST_F(AddressingTest, ANewTitleIsWhatTheWindowIsFoundBy)
{
	ASSERT_EQ(0, Hey({"set", "Title", "of", "Window", "0", "to", "Renamed"}).exitCode);
	EXPECT_EQ(0, Hey({"get", "Frame", "of", "Window", "Renamed"}).exitCode);
	EXPECT_EQ(1, Hey({"get", "Frame", "of", "Window", kTitle}).exitCode);
	ASSERT_EQ(0, Hey({"set", "Title", "of", "Window", "Renamed", "to", kTitle}).exitCode);
	EXPECT_EQ(kTitle, ResultString(Hey({"get", "Title", "of", "Window", "0"})));
}

TEST_F(AddressingTest, WhatNamesNothingGetsItsErrorAndTheEditorGoesOn)
{
	struct Case
	{
		std::vector<std::string> words;
		status_t error;
	} cases[] = {
	    {{"get", "Title", "of", "Window", "1"}, B_BAD_INDEX},
	    {{"get", "Title", "of", "Window", "[-2]"}, B_BAD_INDEX},
	    {{"get", "Title", "of", "Window", "No such window"}, B_NAME_NOT_FOUND},
	    {{"get", "Frame", "of", "View", "no_such_view", "of", "Window", "0"}, B_NAME_NOT_FOUND},
	    {{"get", "Frame", "of", "View", "42", "of", "Window", "0"}, B_BAD_INDEX},
	    {{"get", "Frame", "of", "View", "[-99]", "of", "View", "bkg_view", "of", "Window", "0"},
	     B_BAD_INDEX},
	    {{"get", "NoSuchProperty", "of", "Window", "0"}, B_BAD_SCRIPT_SYNTAX},
	};
	for (const Case& request : cases) {
		HeyResult result = Hey(request.words);
		EXPECT_EQ(1, result.exitCode) << result.out << result.err;
		EXPECT_NE(std::string::npos, result.out.find("B_MESSAGE_NOT_UNDERSTOOD")) << result.out;
		EXPECT_NE(std::string::npos, result.out.find(": " + std::to_string(request.error)))
		    << result.out;
	}
	// Still there, and still itself.
	EXPECT_EQ(kTitle, ResultString(Hey({"get", "Title", "of", "Window", "0"})));
}

TEST_F(AddressingTest, ViewsAreCountedAndNamedAtAnyDepth)
{
	HeyResult top = Hey({"count", "View", "of", "Window", "0"});
	ASSERT_EQ(0, top.exitCode);
	EXPECT_EQ(std::vector<int>{2}, ResultInts(top)) << "the menu bar and the background view";
	HeyResult first = Hey({"get", "InternalName", "of", "View", "0", "of", "Window", "0"});
	EXPECT_EQ("MB", ResultString(first));
	HeyResult last = Hey({"get", "InternalName", "of", "View", "[-1]", "of", "Window", "0"});
	EXPECT_EQ("bkg_view", ResultString(last));

	// Names reach below the top view's children, as FindView does.
	HeyResult deep = Hey({"get", "Frame", "of", "View", "btn_fileload", "of", "Window", "0"});
	EXPECT_EQ(0, deep.exitCode);
	EXPECT_NE(std::string::npos, deep.out.find("(B_RECT_TYPE) : BRect(")) << deep.out;
	EXPECT_EQ(0, Hey({"get", "Hidden", "of", "View", "btn_fileload", "of", "View", "bkg_view", "of",
	                  "Window", "0"})
	                 .exitCode);
}

TEST_F(AddressingTest, SuitesOfTheApplicationAndTheWindowAreListed)
{
	HeyResult app = Hey({"getsuites"});
	ASSERT_EQ(0, app.exitCode) << app.err;
	EXPECT_NE(std::string::npos, app.out.find("suite/vnd.Be-application"));
	EXPECT_NE(std::string::npos, app.out.find("suite/vnd.Vessmor-locale"));
	HeyResult window = Hey({"-j", "getsuites", "of", "Window", "0"});
	// -j before the application is an option; here it is no verb.
	EXPECT_EQ(2, window.exitCode);
	window = RunHey(
	    {"-j", "-t", "5000", std::to_string(sEditor->Team()), "getsuites", "of", "Window", "0"});
	ASSERT_EQ(0, window.exitCode) << window.err;
	EXPECT_EQ('{', window.out[0]);
	EXPECT_NE(std::string::npos, window.out.find("{\"suite\": \"suite/vnd.Be-window\""));
	EXPECT_NE(std::string::npos, window.out.find("{\"name\": \"MenuBar\""));
}

} // namespace
