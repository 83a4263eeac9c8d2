// Index, reverse index and range specifiers carry any int32 a peer sends:
// every kind of them over the ends of the int32 range names the element it
// should, or nothing, and never wraps around (a sanitized build aborts on
// the overflow itself).
#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "Application.h"
#include "FlatRunArray.h"
#include "InterfaceTestSupport.h"
#include "MenuBar.h"
#include "MenuItem.h"
#include "Messenger.h"
#include "TextView.h"

using namespace interfacetest;

namespace {

enum class Target { Window, View, MenuItem, Text };

struct IndexCase
{
	Target target;
	uint32 form;
	int32 index;
	int32 range;
	const char* answer; // nullptr: B_BAD_INDEX
};

const char kText[] = "0123456789";
const int32 kHuge = 1 << 30;

// The window holds the menu bar "MB" (items One, Two) and the text view "text".
const IndexCase kCases[] = {
    {Target::Window, B_REVERSE_INDEX_SPECIFIER, 1, 0, "indexed"},
    {Target::Window, B_REVERSE_INDEX_SPECIFIER, INT32_MIN, 0, nullptr},
    {Target::Window, B_REVERSE_INDEX_SPECIFIER, -1, 0, nullptr},
    {Target::Window, B_REVERSE_INDEX_SPECIFIER, 0, 0, nullptr},
    {Target::Window, B_REVERSE_INDEX_SPECIFIER, INT32_MAX, 0, nullptr},
    {Target::Window, B_INDEX_SPECIFIER, INT32_MIN, 0, nullptr},
    {Target::Window, B_INDEX_SPECIFIER, -1, 0, nullptr},
    {Target::Window, B_INDEX_SPECIFIER, INT32_MAX, 0, nullptr},
    {Target::View, B_INDEX_SPECIFIER, 0, 0, "MB"},
    {Target::View, B_INDEX_SPECIFIER, 1, 0, "text"},
    {Target::View, B_INDEX_SPECIFIER, 2, 0, nullptr},
    {Target::View, B_INDEX_SPECIFIER, INT32_MIN, 0, nullptr},
    {Target::View, B_INDEX_SPECIFIER, -1, 0, nullptr},
    {Target::View, B_INDEX_SPECIFIER, INT32_MAX, 0, nullptr},
    {Target::View, B_REVERSE_INDEX_SPECIFIER, 1, 0, "text"},
    {Target::View, B_REVERSE_INDEX_SPECIFIER, 2, 0, "MB"},
    {Target::View, B_REVERSE_INDEX_SPECIFIER, 3, 0, nullptr},
    {Target::View, B_REVERSE_INDEX_SPECIFIER, 0, 0, nullptr},
    {Target::View, B_REVERSE_INDEX_SPECIFIER, -1, 0, nullptr},
    {Target::View, B_REVERSE_INDEX_SPECIFIER, INT32_MIN, 0, nullptr},
    {Target::View, B_REVERSE_INDEX_SPECIFIER, INT32_MAX, 0, nullptr},
    {Target::MenuItem, B_INDEX_SPECIFIER, 1, 0, "Two"},
    {Target::MenuItem, B_INDEX_SPECIFIER, INT32_MIN, 0, nullptr},
    {Target::MenuItem, B_INDEX_SPECIFIER, INT32_MAX, 0, nullptr},
    {Target::MenuItem, B_REVERSE_INDEX_SPECIFIER, 2, 0, "One"},
    {Target::MenuItem, B_REVERSE_INDEX_SPECIFIER, INT32_MIN, 0, nullptr},
    {Target::MenuItem, B_REVERSE_INDEX_SPECIFIER, -1, 0, nullptr},
    {Target::MenuItem, B_REVERSE_INDEX_SPECIFIER, kHuge, 0, nullptr},
    // Ranges are cut to the text; what lies outside it is simply not there.
    {Target::Text, B_RANGE_SPECIFIER, 2, 3, "234"},
    {Target::Text, B_RANGE_SPECIFIER, 5, INT32_MAX, "56789"},
    {Target::Text, B_RANGE_SPECIFIER, INT32_MAX, INT32_MAX, ""},
    {Target::Text, B_RANGE_SPECIFIER, INT32_MAX, 1, ""},
    {Target::Text, B_RANGE_SPECIFIER, INT32_MIN, INT32_MAX, ""},
    {Target::Text, B_RANGE_SPECIFIER, INT32_MIN, 5, ""},
    {Target::Text, B_RANGE_SPECIFIER, -1, 3, "01"},
    {Target::Text, B_RANGE_SPECIFIER, 0, INT32_MIN, ""},
    {Target::Text, B_REVERSE_RANGE_SPECIFIER, 3, 2, "78"},
    {Target::Text, B_REVERSE_RANGE_SPECIFIER, INT32_MIN, INT32_MAX, ""},
    {Target::Text, B_REVERSE_RANGE_SPECIFIER, INT32_MAX, INT32_MAX, "0123456789"},
    {Target::Text, B_REVERSE_RANGE_SPECIFIER, -1, 5, ""},
    {Target::Text, B_REVERSE_RANGE_SPECIFIER, kHuge, kHuge + 4, "0123456789"},
    {Target::Text, B_REVERSE_RANGE_SPECIFIER, 12, 5, "012"},
};

BMessage Specifier(uint32 form, const char* property, int32 index, int32 range)
{
	BMessage specifier(form);
	specifier.AddString("property", property);
	specifier.AddInt32("index", index);
	if (form == B_RANGE_SPECIFIER || form == B_REVERSE_RANGE_SPECIFIER)
		specifier.AddInt32("range", range);
	return specifier;
}

// The request for a case, and the messenger it goes to.
BMessage Request(const IndexCase& test, BMessenger* to, BWindow* window)
{
	BMessage request(B_GET_PROPERTY);
	*to = BMessenger(window);
	switch (test.target) {
	case Target::Window: {
		request.AddSpecifier("Title");
		BMessage window = Specifier(test.form, "Window", test.index, 0);
		request.AddSpecifier(&window);
		*to = be_app_messenger;
		break;
	}
	case Target::View: {
		request.AddSpecifier("InternalName");
		BMessage view = Specifier(test.form, "View", test.index, 0);
		request.AddSpecifier(&view);
		break;
	}
	case Target::MenuItem: {
		request.AddSpecifier("Label");
		BMessage item = Specifier(test.form, "MenuItem", test.index, 0);
		request.AddSpecifier(&item);
		request.AddSpecifier("MenuBar");
		break;
	}
	case Target::Text: {
		BMessage text = Specifier(test.form, "Text", test.index, test.range);
		request.AddSpecifier(&text);
		request.AddSpecifier("View", "text");
		break;
	}
	}
	return request;
}

class ScriptingIndexTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		mWindow = new RecordingWindow(BRect(100, 100, 500, 400), "indexed");
		BMenuBar* bar = new BMenuBar(BRect(0, 0, 400, 15), "MB");
		bar->AddItem(new BMenuItem("One", new BMessage('one ')));
		bar->AddItem(new BMenuItem("Two", new BMessage('two ')));
		mWindow->AddChild(bar);
		BRect frame(0, 20, 400, 300);
		mText =
		    new BTextView(frame, "text", frame.OffsetToCopy(0, 0), B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
		mText->SetStylable(true);
		mText->SetText(kText);
		mWindow->AddChild(mText);
		mWindow->Show();
	}
	void TearDown() override { close_window(mWindow); }

	BMessage Ask(BMessenger to, BMessage request)
	{
		BMessage reply;
		EXPECT_EQ(B_OK, to.SendMessage(&request, &reply, 3000000, 3000000));
		return reply;
	}

	RecordingWindow* mWindow = nullptr;
	BTextView* mText = nullptr;
	Watchdog mWatchdog{30};
};

TEST_F(ScriptingIndexTest, EveryIndexKindNamesTheRightElementOverTheWholeInt32Range)
{
	for (const IndexCase& test : kCases) {
		SCOPED_TRACE("target " + std::to_string((int)test.target) + " form " +
		             std::to_string(test.form) + " index " + std::to_string(test.index) +
		             " range " + std::to_string(test.range));
		BMessenger to;
		const BMessage request = Request(test, &to, mWindow);
		const BMessage reply = Ask(to, request);
		if (test.answer == nullptr) {
			EXPECT_EQ((uint32)B_MESSAGE_NOT_UNDERSTOOD, reply.what);
			EXPECT_EQ(B_BAD_INDEX, reply.GetInt32("error", 0));
		} else {
			EXPECT_EQ(B_OK, reply.GetInt32("error", -1));
			EXPECT_STREQ(test.answer, reply.GetString("result", "(none)"));
		}
	}
}

TEST_F(ScriptingIndexTest, RunOffsetsNearInt32MaxStayPastTheRange)
{
	// A second run at INT32_MAX starts past any range: the first covers it all.
	BPrivate::FlatRun red;
	red.family = "Sans";
	red.style = "Regular";
	red.size = 12;
	red.color = {255, 0, 0, 255};
	BPrivate::FlatRun blue = red;
	blue.offset = INT32_MAX;
	blue.color = {0, 0, 255, 255};
	const std::string flat = BPrivate::flatten_run_array({red, blue});
	BMessage set(B_SET_PROPERTY);
	BMessage range = Specifier(B_RANGE_SPECIFIER, "text_run_array", 5, 3);
	set.AddSpecifier(&range);
	set.AddSpecifier("View", "text");
	set.AddData("data", B_RAW_TYPE, flat.data(), (ssize_t)flat.size());
	ASSERT_EQ(B_OK, Ask(BMessenger(mWindow), set).GetInt32("error", -1));

	ASSERT_TRUE(mWindow->Lock());
	for (int32 offset = 0; offset < (int32)sizeof(kText) - 1; offset++) {
		BFont font;
		rgb_color color;
		mText->GetFontAndColor(offset, &font, &color);
		const bool inRange = offset >= 5 && offset < 8;
		EXPECT_EQ(inRange ? 255 : 0, color.red) << "at " << offset;
		EXPECT_EQ(0, color.blue) << "at " << offset;
	}
	mWindow->Unlock();
}

} // namespace
