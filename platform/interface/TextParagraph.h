#ifndef _TEXT_PARAGRAPH_H
#define _TEXT_PARAGRAPH_H

#include <cstdint>

#include "CompactArray.h"
#include "ParagraphText.h"

namespace BPrivate {

// A change of style inside a paragraph: from byte start on, style.
struct StyleRun
{
	int32_t start = 0;
	uint16_t style = 0;
};

struct TextParagraph
{
	ParagraphText text;               // UTF-8, without its line feed
	CompactArray<int32_t> lineStarts; // byte offsets in text of visual lines 2, 3, ...
	CompactArray<StyleRun> runs;      // empty: the whole paragraph in style
	int32_t lines = 1;                // visual lines, at least 1
	uint16_t style = 0;               // index into the view's style table
	bool dirty = true;                // lines need counting again
};

// Sets a paragraph's style runs, merged and trimmed to its text.
void set_runs(TextParagraph& paragraph, std::vector<StyleRun>&& runs);

} // namespace BPrivate

#endif // _TEXT_PARAGRAPH_H
