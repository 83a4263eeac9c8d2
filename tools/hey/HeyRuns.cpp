#include "HeyRuns.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <FlatRunArray.h>
#include <JsonString.h>
#include <Message.h>
#include <TypeConstants.h>

namespace {

const char kPrefix[] = "text_run_array(";

std::string number(double value)
{
	char text[64];
	snprintf(text, sizeof(text), "%g", value);
	return text;
}

std::string color_text(const rgb_color& c)
{
	char text[64];
	snprintf(text, sizeof(text), "rgb_color(%u, %u, %u, %u)", c.red, c.green, c.blue, c.alpha);
	return text;
}

// A word of one run: a "quoted" name (quotes dropped), or anything up to a
// blank outside parentheses. False at the end of the run.
bool next_word(const std::string& text, size_t* at, std::string* word, bool* quoted)
{
	while (*at < text.size() && text[*at] == ' ')
		(*at)++;
	if (*at >= text.size())
		return false;
	word->clear();
	*quoted = text[*at] == '"';
	if (*quoted) {
		size_t close = text.find('"', *at + 1);
		if (close == std::string::npos)
			return false;
		*word = text.substr(*at + 1, close - *at - 1);
		*at = close + 1;
		return true;
	}
	int depth = 0;
	while (*at < text.size() && (depth > 0 || text[*at] != ' ')) {
		depth += text[*at] == '(' ? 1 : text[*at] == ')' ? -1 : 0;
		*word += text[(*at)++];
	}
	return true;
}

bool read_number(const std::string& text, double* value)
{
	if (text.empty())
		return false;
	char* end = nullptr;
	errno = 0;
	*value = strtod(text.c_str(), &end);
	return errno == 0 && end != nullptr && *end == '\0';
}

bool read_color(const std::string& text, rgb_color* color)
{
	unsigned values[4];
	char tail = 0;
	if (sscanf(text.c_str(), "rgb_color(%u ,%u ,%u ,%u )%c", &values[0], &values[1], &values[2],
	           &values[3], &tail) != 4 ||
	    text.back() != ')')
		return false;
	for (unsigned value : values) {
		if (value > 255)
			return false;
	}
	*color = {(uint8)values[0], (uint8)values[1], (uint8)values[2], (uint8)values[3]};
	return true;
}

// One run: OFFSET "FAMILY" "STYLE" SIZE rgb_color(R,G,B,A).
bool read_run(const std::string& text, BPrivate::FlatRun* run)
{
	size_t at = 0;
	std::string word;
	bool quoted = false;
	double value;
	if (!next_word(text, &at, &word, &quoted) || quoted || !read_number(word, &value) ||
	    value < 0 || value > INT32_MAX || value != (int32)value)
		return false;
	run->offset = (int32)value;
	if (!next_word(text, &at, &run->family, &quoted) || !quoted)
		return false;
	if (!next_word(text, &at, &run->style, &quoted) || !quoted)
		return false;
	if (!next_word(text, &at, &word, &quoted) || quoted || !read_number(word, &value) || value <= 0)
		return false;
	run->size = (float)value;
	if (!next_word(text, &at, &word, &quoted) || quoted || !read_color(word, &run->color))
		return false;
	return !next_word(text, &at, &word, &quoted);
}

} // namespace

bool FormatRuns(const void* data, size_t size, bool json, std::string* out)
{
	std::vector<BPrivate::FlatRun> runs;
	if (BPrivate::unflatten_run_array(data, size, &runs) != B_OK)
		return false;
	out->assign(json ? "[" : kPrefix);
	for (size_t i = 0; i < runs.size(); i++) {
		const BPrivate::FlatRun& run = runs[i];
		if (json) {
			const rgb_color& c = run.color;
			*out += std::string(i > 0 ? ", " : "") + "{\"offset\": " + std::to_string(run.offset) +
			        ", \"family\": " + JsonString(run.family) +
			        ", \"style\": " + JsonString(run.style) + ", \"size\": " + number(run.size) +
			        ", \"face\": " + std::to_string(run.face) + ", \"color\": [" +
			        std::to_string(c.red) + ", " + std::to_string(c.green) + ", " +
			        std::to_string(c.blue) + ", " + std::to_string(c.alpha) + "]}";
			continue;
		}
		*out += std::string(i > 0 ? "; " : "") + std::to_string(run.offset) + " \"" + run.family +
		        "\" \"" + run.style + "\" " + number(run.size) + " " + color_text(run.color);
	}
	*out += json ? "]" : ")";
	return true;
}

bool IsRunsValue(const std::string& text)
{
	return text.compare(0, sizeof(kPrefix) - 1, kPrefix) == 0;
}

status_t AddHeyRuns(BMessage* message, const char* name, const std::string& text)
{
	if (!IsRunsValue(text) || text.back() != ')')
		return B_BAD_VALUE;
	const std::string inside = text.substr(sizeof(kPrefix) - 1, text.size() - sizeof(kPrefix));
	std::vector<BPrivate::FlatRun> runs;
	size_t start = 0;
	// Runs end at a ';' outside quotes.
	bool inQuotes = false;
	for (size_t i = 0; i <= inside.size(); i++) {
		if (i < inside.size() && inside[i] == '"')
			inQuotes = !inQuotes;
		if (i < inside.size() && (inside[i] != ';' || inQuotes))
			continue;
		BPrivate::FlatRun run;
		if (!read_run(inside.substr(start, i - start), &run))
			return B_BAD_VALUE;
		runs.push_back(run);
		start = i + 1;
	}
	const std::string flat = BPrivate::flatten_run_array(runs);
	return message->AddData(name, B_RAW_TYPE, flat.data(), (ssize_t)flat.size());
}
