#include "TextParagraph.h"

namespace BPrivate {

void set_runs(TextParagraph& paragraph, std::vector<StyleRun>&& runs)
{
	// Later runs at the same start win, runs at or past the end go (an
	// empty paragraph keeps its first), equal neighbours merge.
	std::vector<StyleRun> merged;
	merged.reserve(runs.size());
	const int32_t size = (int32_t)paragraph.text.size();
	for (const StyleRun& run : runs) {
		if (!merged.empty() && run.start >= size)
			break;
		if (!merged.empty() && merged.back().start == run.start)
			merged.pop_back();
		if (!merged.empty() && merged.back().style == run.style)
			continue;
		merged.push_back(run);
	}
	paragraph.style = merged.empty() ? 0 : merged.front().style;
	if (merged.size() <= 1) {
		paragraph.runs.clear();
	} else {
		merged.front().start = 0;
		paragraph.runs = std::move(merged);
	}
}

} // namespace BPrivate
