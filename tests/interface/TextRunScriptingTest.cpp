// A text view's colour and font runs through the text view suite
// ("text_run_array", flattened): read as the view shows them, whole or by
// range, set where the view keeps styles and refused where it does not; and
// the flattened form itself.
#include <cstring>

#include <gtest/gtest.h>

#include "FlatRunArray.h"
#include "InterfaceTestSupport.h"
#include "Messenger.h"
#include "TextView.h"

using namespace interfacetest;
using BPrivate::FlatRun;

namespace {

const rgb_color kBlack = {0, 0, 0, 255};
const rgb_color kRed = {255, 0, 0, 255};
const rgb_color kBlue = {0, 0, 255, 255};

bool same(const rgb_color& a, const rgb_color& b)
{
	return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

// A window with a stylable and a plain text view, both holding text.
class TextRunScripting : public testing::Test
{
protected:
	void SetUp() override
	{
		mWindow = new RecordingWindow;
		BRect frame(0, 0, 300, 100);
		mStyled = new BTextView(frame, "styled", frame, B_FOLLOW_NONE, B_WILL_DRAW);
		mStyled->SetStylable(true);
		mPlain =
		    new BTextView(frame.OffsetByCopy(0, 120), "plain", frame, B_FOLLOW_NONE, B_WILL_DRAW);
		mWindow->AddChild(mStyled);
		mWindow->AddChild(mPlain);
		mWindow->Lock();
		mStyled->SetText("alpha ; beta\ngamma");
		mStyled->SetFontAndColor(0, 18, nullptr, 0, &kBlack);
		mStyled->SetFontAndColor(6, 12, nullptr, 0, &kRed);
		mPlain->SetText("plain text");
		mWindow->Unlock();
		mWindow->Show();
	}
	void TearDown() override { close_window(mWindow); }

	BMessage Ask(BMessage request)
	{
		BMessage reply;
		EXPECT_EQ(B_OK, BMessenger(mWindow).SendMessage(&request, &reply, 3000000, 3000000));
		return reply;
	}
	// get/set text_run_array of the named view, whole or from..to.
	BMessage Runs(uint32 what, const char* view, int32 from = -1, int32 to = -1)
	{
		BMessage request(what);
		if (from < 0)
			request.AddSpecifier("text_run_array");
		else
			request.AddSpecifier("text_run_array", from, to - from);
		request.AddSpecifier("View", view);
		return request;
	}
	std::vector<FlatRun> GetRuns(const char* view, int32 from = -1, int32 to = -1)
	{
		BMessage reply = Ask(Runs(B_GET_PROPERTY, view, from, to));
		const void* data = nullptr;
		ssize_t size = 0;
		std::vector<FlatRun> runs;
		EXPECT_EQ(B_OK, reply.FindData("result", B_RAW_TYPE, &data, &size));
		EXPECT_EQ(B_OK, BPrivate::unflatten_run_array(data, (size_t)size, &runs));
		return runs;
	}
	int32 SetRuns(const char* view, const std::vector<FlatRun>& runs, int32 from = -1,
	              int32 to = -1)
	{
		BMessage request = Runs(B_SET_PROPERTY, view, from, to);
		const std::string flat = BPrivate::flatten_run_array(runs);
		request.AddData("data", B_RAW_TYPE, flat.data(), (ssize_t)flat.size());
		return Ask(request).GetInt32("error", -1);
	}
	rgb_color ColorAt(BTextView* view, int32 offset)
	{
		rgb_color color = {};
		mWindow->Lock();
		view->GetFontAndColor(offset, nullptr, &color);
		mWindow->Unlock();
		return color;
	}

	Watchdog mWatchdog{30};
	RecordingWindow* mWindow = nullptr;
	BTextView* mStyled = nullptr;
	BTextView* mPlain = nullptr;
};

TEST_F(TextRunScripting, RunsReadAsTheViewShowsThemWholeOrByRange)
{
	std::vector<FlatRun> runs = GetRuns("styled");
	ASSERT_EQ(3u, runs.size());
	EXPECT_EQ(0, runs[0].offset);
	EXPECT_TRUE(same(kBlack, runs[0].color));
	EXPECT_EQ(6, runs[1].offset);
	EXPECT_TRUE(same(kRed, runs[1].color));
	// The line feed at 12 is not drawn: the black run starts after it.
	EXPECT_EQ(13, runs[2].offset);
	EXPECT_TRUE(same(kBlack, runs[2].color));
	BFont font;
	mWindow->Lock();
	mStyled->GetFont(&font);
	mWindow->Unlock();
	EXPECT_EQ(font.Size(), runs[0].size);
	font_family family;
	font_style style;
	font.GetFamilyAndStyle(&family, &style);
	EXPECT_EQ(std::string(family), runs[0].family);

	// A range: offsets count from its start; a range inside one run is one.
	runs = GetRuns("styled", 8, 16);
	ASSERT_EQ(2u, runs.size());
	EXPECT_EQ(0, runs[0].offset);
	EXPECT_TRUE(same(kRed, runs[0].color));
	EXPECT_EQ(5, runs[1].offset);
	runs = GetRuns("styled", 7, 9);
	ASSERT_EQ(1u, runs.size());
	EXPECT_TRUE(same(kRed, runs[0].color));

	// A red run over a line end reads back as one run: the line feed is
	// not drawn and belongs to the run before it.
	mWindow->Lock();
	mStyled->SetFontAndColor(6, 15, nullptr, 0, &kRed);
	mWindow->Unlock();
	runs = GetRuns("styled");
	ASSERT_EQ(3u, runs.size());
	EXPECT_EQ(6, runs[1].offset);
	EXPECT_EQ(15, runs[2].offset);

	// A view without styles shows one font and colour.
	EXPECT_EQ(1u, GetRuns("plain").size());
}

TEST_F(TextRunScripting, SetRunsStyleTheirRangeWhereTheViewIsStylable)
{
	std::vector<FlatRun> runs = GetRuns("styled", 0, 5);
	ASSERT_EQ(1u, runs.size());
	FlatRun blue = runs[0];
	blue.color = kBlue;
	FlatRun black = runs[0];
	black.offset = 2;
	// "alpha": "al" blue, "pha" black; the rest as it was.
	EXPECT_EQ(B_OK, SetRuns("styled", {blue, black}, 0, 5));
	EXPECT_TRUE(same(kBlue, ColorAt(mStyled, 0)));
	EXPECT_TRUE(same(kBlue, ColorAt(mStyled, 1)));
	EXPECT_TRUE(same(kBlack, ColorAt(mStyled, 2)));
	EXPECT_TRUE(same(kRed, ColorAt(mStyled, 7)));
	runs = GetRuns("styled", 0, 5);
	ASSERT_EQ(2u, runs.size());
	EXPECT_TRUE(same(kBlue, runs[0].color));
	EXPECT_EQ(2, runs[1].offset);

	// Whole: one run colours everything.
	blue.offset = 0;
	EXPECT_EQ(B_OK, SetRuns("styled", {blue}));
	EXPECT_EQ(1u, GetRuns("styled").size());
	EXPECT_TRUE(same(kBlue, ColorAt(mStyled, 16)));

	// Offsets that go back, and bytes that are no runs, change nothing.
	FlatRun back = blue;
	back.offset = 4;
	FlatRun red = blue;
	red.offset = 2;
	red.color = kRed;
	EXPECT_EQ(B_BAD_VALUE, SetRuns("styled", {back, red}));
	BMessage junk = Runs(B_SET_PROPERTY, "styled");
	junk.AddData("data", B_RAW_TYPE, "Ali!", 4);
	EXPECT_EQ(B_BAD_VALUE, Ask(junk).GetInt32("error", -1));
	EXPECT_TRUE(same(kBlue, ColorAt(mStyled, 3)));
}

TEST_F(TextRunScripting, SetRunsIsRefusedWhereTheViewKeepsNoStyles)
{
	std::vector<FlatRun> runs = GetRuns("plain");
	ASSERT_EQ(1u, runs.size());
	const rgb_color before = runs[0].color;
	runs[0].color = kBlue;
	EXPECT_EQ(B_NOT_ALLOWED, SetRuns("plain", runs));
	EXPECT_TRUE(same(before, ColorAt(mPlain, 0)));
}

TEST(FlatRunArray, RunsRoundTripInTheBigEndianForm)
{
	FlatRun first;
	first.family = "DejaVu Sans";
	first.style = "Bold";
	first.size = 12.5f;
	first.face = 0x20;
	first.color = {1, 2, 3, 4};
	FlatRun second = first;
	second.offset = 0x01020304;
	second.family = std::string(80, 'x'); // longer than a family may be
	const std::string flat = BPrivate::flatten_run_array({first, second});
	ASSERT_EQ(BPrivate::kFlatRunArrayHeaderSize + 2 * BPrivate::kFlatRunSize, flat.size());
	EXPECT_EQ(0, memcmp(flat.data(), "Ali!\0\0\0\0\0\0\0\2", 12));
	EXPECT_EQ(0, memcmp(flat.data() + 12 + 148, "\1\2\3\4", 4)); // the offset
	// The size 12.5 as a big-endian float, then the shear 90.
	EXPECT_EQ(0, memcmp(flat.data() + 12 + 132, "\x41\x48\x00\x00\x42\xb4\x00\x00", 8));

	std::vector<FlatRun> back;
	ASSERT_EQ(B_OK, BPrivate::unflatten_run_array(flat.data(), flat.size(), &back));
	ASSERT_EQ(2u, back.size());
	EXPECT_EQ("DejaVu Sans", back[0].family);
	EXPECT_EQ("Bold", back[0].style);
	EXPECT_EQ(12.5f, back[0].size);
	EXPECT_EQ(0x20, back[0].face);
	EXPECT_TRUE(same(first.color, back[0].color));
	EXPECT_EQ(0x01020304, back[1].offset);
	EXPECT_EQ(std::string(63, 'x'), back[1].family);

	// Cut short, grown, or of another version: refused, nothing read.
	EXPECT_EQ(B_BAD_VALUE, BPrivate::unflatten_run_array(flat.data(), flat.size() - 1, &back));
	EXPECT_TRUE(back.empty());
	std::string longer = flat + std::string(148, '\0');
	EXPECT_EQ(B_BAD_VALUE, BPrivate::unflatten_run_array(longer.data(), longer.size(), &back));
	std::string version = flat;
	version[7] = 1;
	EXPECT_EQ(B_BAD_VALUE, BPrivate::unflatten_run_array(version.data(), version.size(), &back));
	EXPECT_EQ(B_BAD_VALUE, BPrivate::unflatten_run_array(nullptr, 0, &back));
}

} // namespace
