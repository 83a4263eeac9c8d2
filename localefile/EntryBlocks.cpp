#include "EntryBlocks.h"

#include <algorithm>
#include <cstring>

#include "LocaleMerge.h"

namespace EntryBlocks {

namespace {

using Line = LocaleMerge::TextLine;
using LocaleMerge::LineFrom;

std::string_view ReferenceOf(std::string_view comment)
{
	comment.remove_prefix(1);
	if (!comment.empty() && comment[0] == ' ')
		comment.remove_prefix(1);
	return comment;
}

// Reads the block whose marker line is line, up to the next marker.
Block ReadBlock(std::string_view text, const Line& markerLine, long entry)
{
	Block block;
	block.entry = entry;
	block.marker = markerLine.start;
	block.afterReference = markerLine.next;
	bool referenceSeen = false;
	size_t at = markerLine.next;
	while (at < text.size()) {
		const Line line = LineFrom(text, at);
		if (!line.content.empty() && line.content[0] == ';') {
			if (LocaleMerge::MarkerOf(line.content) > 0)
				break;
			if (!referenceSeen && !block.hasTranslationLine) {
				block.reference = ReferenceOf(line.content);
				block.referenceLine = line.start;
				block.afterReference = line.next;
				referenceSeen = true;
			}
		} else if (line.content.empty()) {
			if (!block.hasTranslationLine && block.translationLine == std::string_view::npos)
				block.translationLine = line.start;
		} else if (!block.hasTranslationLine) {
			block.hasTranslationLine = true;
			block.translation = line.content;
			block.translationLine = line.start;
		}
		at = line.next;
	}
	block.end = at;
	// After a final line feed the empty last line is the translation's.
	if (at == text.size() && !block.hasTranslationLine &&
	    block.translationLine == std::string_view::npos && !text.empty() && text.back() == '\n' &&
	    block.afterReference == text.size())
		block.translationLine = text.size();
	return block;
}

} // namespace

void ForEachBlock(std::string_view text, const std::function<void(const Block&)>& visit)
{
	size_t at = 0;
	// Lines above the first marker.
	while (at < text.size()) {
		const Line line = LineFrom(text, at);
		const long entry = !line.content.empty() && line.content[0] == ';'
		                       ? LocaleMerge::MarkerOf(line.content)
		                       : 0;
		if (entry > 0) {
			const Block block = ReadBlock(text, line, entry);
			visit(block);
			at = block.end;
		} else {
			at = line.next;
		}
	}
}

void ForEachNumber(
    std::string_view text, long count,
    const std::function<void(long entry, const Block* block, size_t newBlockAt)>& visit)
{
	std::vector<Block> blocks;
	ForEachBlock(text, [&](const Block& block) { blocks.push_back(block); });
	// One block of each number, in number order: of several, the first that
	// holds a translation line (the one a save takes), else the first.
	std::vector<const Block*> firsts;
	firsts.reserve(blocks.size());
	for (const Block& block : blocks)
		firsts.push_back(&block);
	std::stable_sort(firsts.begin(), firsts.end(), [](const Block* a, const Block* b) {
		if (a->entry != b->entry)
			return a->entry < b->entry;
		return a->hasTranslationLine && !b->hasTranslationLine;
	});
	firsts.erase(std::unique(firsts.begin(), firsts.end(),
	                         [](const Block* a, const Block* b) { return a->entry == b->entry; }),
	             firsts.end());
	size_t next = 0;
	for (long entry = 1; entry <= count; entry++) {
		while (next < firsts.size() && firsts[next]->entry < entry)
			next++;
		if (next < firsts.size() && firsts[next]->entry == entry) {
			visit(entry, firsts[next], 0);
			continue;
		}
		const size_t at = next > 0         ? firsts[next - 1]->end
		                  : blocks.empty() ? text.size()
		                                   : blocks.front().marker;
		visit(entry, nullptr, at);
	}
}

std::string ApplySplices(std::string_view text, std::vector<Splice> splices)
{
	std::stable_sort(splices.begin(), splices.end(), [](const Splice& a, const Splice& b) {
		return a.from != b.from ? a.from < b.from : a.rank < b.rank;
	});
	size_t size = text.size();
	for (const Splice& splice : splices)
		size += splice.text.size() + 1;
	std::string result;
	result.reserve(size);
	size_t cursor = 0;
	for (const Splice& splice : splices) {
		result.append(text.substr(cursor, splice.from - cursor));
		cursor = std::max(cursor, splice.to);
		if (splice.ownLine && !result.empty() && result.back() != '\n')
			result += '\n';
		result += splice.text;
	}
	result.append(text.substr(cursor));
	return result;
}

size_t LineEnd(std::string_view text, size_t offset)
{
	const void* feed = memchr(text.data() + offset, '\n', text.size() - offset);
	return feed != nullptr ? (size_t)((const char*)feed - text.data()) : text.size();
}

bool BlockAt(std::string_view text, size_t offset, Block* block)
{
	offset = std::min(offset, text.size());
	size_t start = offset;
	while (start > 0 && text[start - 1] != '\n')
		start--;
	for (;;) {
		const Line line = LineFrom(text, start);
		if (!line.content.empty() && line.content[0] == ';') {
			if (const long entry = LocaleMerge::MarkerOf(line.content); entry > 0) {
				*block = ReadBlock(text, line, entry);
				return true;
			}
		}
		if (start == 0)
			return false;
		// To the start of the line above.
		start--;
		while (start > 0 && text[start - 1] != '\n')
			start--;
	}
}

void CheckBlock(const Block& block, std::vector<TranslationFinding>* findings)
{
	const size_t before = findings->size();
	// The checker sees the entry the line saves, its escaped start turned
	// back.
	std::string storage;
	TranslationChecker::CheckEntry(block.reference,
	                               LocaleMerge::EntryOfLine(block.translation, &storage), findings);
	for (size_t i = before; i < findings->size(); i++)
		(*findings)[i].entry = (int32)block.entry;
}

int32 CountWarnings(const Block& block)
{
	std::vector<TranslationFinding> findings;
	CheckBlock(block, &findings);
	return (int32)std::count_if(findings.begin(), findings.end(),
	                            [](const TranslationFinding& f) { return f.IsWarning(); });
}

Progress CountProgress(std::string_view text)
{
	return CountProgress(text, [](const Block&, int32) {});
}

Progress CountProgress(std::string_view text,
                       const std::function<void(const Block&, int32 warnings)>& visit)
{
	Progress progress;
	std::vector<TranslationFinding> findings;
	ForEachBlock(text, [&](const Block& block) {
		progress.markers = true;
		progress.counts.entries++;
		if (!block.translation.empty())
			progress.counts.translated++;
		findings.clear();
		CheckBlock(block, &findings);
		int32 warnings = 0;
		for (const TranslationFinding& finding : findings) {
			if (finding.IsWarning())
				warnings++;
			else
				progress.counts.untranslated++;
		}
		progress.counts.warnings += warnings;
		visit(block, warnings);
	});
	if (progress.markers)
		return progress;
	// Without markers every translation line is an entry.
	for (size_t at = 0; at < text.size();) {
		const Line line = LineFrom(text, at);
		if (!line.content.empty() && line.content[0] != ';')
			progress.counts.entries++;
		at = line.next;
	}
	progress.counts.translated = progress.counts.entries;
	return progress;
}

} // namespace EntryBlocks
