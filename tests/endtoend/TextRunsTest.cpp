// The colours of the locale text read and set from outside through hey
// ("text_run_array"): the comment colouring shows as runs, whole or by
// range, as text or JSON, and runs sent back restyle the text.
#include <regex>

#include "EditorFixture.h"

namespace {

struct PrintedRun
{
	int offset;
	std::string font; // "FAMILY" "STYLE" SIZE, as printed
	std::string color;
};

// The runs of hey's readable output.
std::vector<PrintedRun> PrintedRuns(const HeyResult& result)
{
	static const std::regex kRun("(\\d+) (\"[^\"]*\" \"[^\"]*\" [0-9.]+) (rgb_color\\([^)]*\\))");
	std::vector<PrintedRun> runs;
	const size_t start = result.out.find("(B_RAW_TYPE) : text_run_array(");
	if (start == std::string::npos)
		return runs;
	const std::string value = result.out.substr(start, result.out.find('\n', start) - start);
	for (std::sregex_iterator it(value.begin(), value.end(), kRun), end; it != end; ++it)
		runs.push_back({std::stoi((*it)[1]), (*it)[2], (*it)[3]});
	return runs;
}

const char kBlack[] = "rgb_color(0, 0, 0, 255)";
const char kRed[] = "rgb_color(255, 0, 0, 255)";

// Words to the locale text, with a range of it when given: get
// text_run_array [from to to] of ...
std::vector<std::string> RunsOf(const char* verb, int from = -1, int to = -1)
{
	std::vector<std::string> words = {verb, "text_run_array"};
	if (from >= 0)
		words.push_back("[" + std::to_string(from) + " to " + std::to_string(to) + "]");
	return Of(words, kLocaleText);
}

class TextRunsTest : public EditorFixture
{
protected:
	void SetUp() override
	{
		EditorFixture::SetUp();
		// A comment line between two entries: the editor colours it red.
		std::vector<std::string> set = Of({"set", "Text"}, kLocaleText);
		set.insert(set.end(), {"to", "1 = one\n; a comment\n2 = two"});
		HeyResult result = Hey(set);
		ASSERT_EQ(0, result.exitCode) << result.out << result.err;
	}
};

TEST_F(TextRunsTest, TheCommentColouringReadsAsRunsWholeOrByRange)
{
	HeyResult whole = Hey(RunsOf("get"));
	ASSERT_EQ(0, whole.exitCode) << whole.out << whole.err;
	std::vector<PrintedRun> runs = PrintedRuns(whole);
	// "1 = one\n" black, "; a comment" red (its line feed with it), "2 =
	// two" black.
	ASSERT_EQ(3u, runs.size()) << whole.out;
	EXPECT_EQ(0, runs[0].offset);
	EXPECT_EQ(kBlack, runs[0].color);
	EXPECT_EQ(8, runs[1].offset);
	EXPECT_EQ(kRed, runs[1].color);
	EXPECT_EQ(20, runs[2].offset);
	EXPECT_EQ(kBlack, runs[2].color);
	EXPECT_EQ(runs[0].font, runs[1].font); // colours only: one font

	HeyResult comment = Hey(RunsOf("get", 10, 25));
	runs = PrintedRuns(comment);
	ASSERT_EQ(2u, runs.size()) << comment.out;
	EXPECT_EQ(0, runs[0].offset);
	EXPECT_EQ(kRed, runs[0].color);
	EXPECT_EQ(10, runs[1].offset);

	// The same as JSON.
	std::vector<std::string> json = RunsOf("get", 8, 19);
	json.insert(json.begin(), {"-j", "-t", "5000", std::to_string(sEditor->Team())});
	HeyResult asJson = RunHey(json);
	ASSERT_EQ(0, asJson.exitCode) << asJson.out;
	EXPECT_NE(std::string::npos,
	          asJson.out.find("\"type\": \"B_RAW_TYPE\", \"value\": [{\"offset\": 0"))
	    << asJson.out;
	EXPECT_NE(std::string::npos, asJson.out.find("\"color\": [255, 0, 0, 255]}]")) << asJson.out;
}

TEST_F(TextRunsTest, RunsPrintedByGetAreSentBackBySet)
{
	std::vector<PrintedRun> runs = PrintedRuns(Hey(RunsOf("get", 0, 7)));
	ASSERT_EQ(1u, runs.size());
	// "1 = one": "1" blue, the rest green, in the font the view showed.
	const std::string value = "text_run_array(0 " + runs[0].font +
	                          " rgb_color(0, 0, 255, 255); 1 " + runs[0].font +
	                          " rgb_color(0, 128, 0, 255))";
	std::vector<std::string> set = RunsOf("set", 0, 7);
	set.insert(set.end(), {"to", value});
	HeyResult result = Hey(set);
	ASSERT_EQ(0, result.exitCode) << result.out << result.err;

	runs = PrintedRuns(Hey(RunsOf("get")));
	ASSERT_EQ(4u, runs.size());
	EXPECT_EQ("rgb_color(0, 0, 255, 255)", runs[0].color);
	EXPECT_EQ(1, runs[1].offset);
	EXPECT_EQ("rgb_color(0, 128, 0, 255)", runs[1].color);
	EXPECT_EQ(8, runs[2].offset); // the comment, as it was
	EXPECT_EQ(kRed, runs[2].color);
	EXPECT_EQ(kBlack, runs[3].color);

	// Runs hey cannot read are refused before anything is sent.
	set.back() = "text_run_array(0 \"only a family\")";
	HeyResult bad = Hey(set);
	EXPECT_EQ(2, bad.exitCode);
	EXPECT_NE(std::string::npos, bad.err.find("bad value")) << bad.err;
}

} // namespace
