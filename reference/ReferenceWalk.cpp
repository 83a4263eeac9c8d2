#include "ReferenceWalk.h"

#include <algorithm>

#include "EntryBlocks.h"
#include "LocaleMerge.h"

namespace {

bool IsBlank(char byte)
{
	return static_cast<unsigned char>(byte) <= 0x20;
}

size_t NextLineStart(std::string_view text, size_t offset)
{
	size_t feed = text.find('\n', offset);
	return feed == std::string_view::npos ? text.size() : feed + 1;
}

ReferenceReplacement Narrowed(std::string_view text, size_t from, size_t to,
                              const std::string& merged);

struct Edit
{
	size_t from;
	size_t to;
	std::string block;
};

} // namespace

ReferenceReplacement ReferenceWalk(std::string_view text,
                                   const std::vector<std::string_view>& references)
{
	const size_t length = text.size();
	std::vector<Edit> edits;
	size_t position = 0;
	size_t number = 1;

	for (std::string_view reference : references) {
		if (reference.empty())
			break;
		size_t start = position;

		// Over blank bytes and whole comment lines to the first byte of the
		// next translation line.
		for (;;) {
			while (position < length && IsBlank(text[position]))
				position++;
			if (position < length && text[position] == ';')
				position = NextLineStart(text, position);
			else
				break;
		}
		bool atEnd = position >= length;

		std::string block;
		// Only at the very end can the walk stand behind a line without its
		// line feed; a block must begin a line of its own.
		bool afterFeed =
		    start == 0 || text[start - 1] == '\n' || (!edits.empty() && edits.back().to == start);
		if (!afterFeed)
			block += '\n';
		block += "; #ID";
		block += std::to_string(number);
		block += ":\n; ";
		block += reference;
		block += '\n';
		if (atEnd)
			block += '\n';
		edits.push_back({start, position, std::move(block)});

		if (!atEnd)
			position = NextLineStart(text, position);
		number++;
	}

	if (edits.empty())
		return ReferenceReplacement();

	// All edits become one replacement of the span they cover.
	size_t from = edits.front().from;
	size_t to = edits.back().to;
	std::string merged;
	size_t cursor = from;
	for (const Edit& edit : edits) {
		merged.append(text.substr(cursor, edit.from - cursor));
		merged += edit.block;
		cursor = edit.to;
	}

	return Narrowed(text, from, to, merged);
}

ReferenceReplacement ReferenceWalkByMarkers(std::string_view text,
                                            const std::vector<std::string_view>& references)
{
	long count = 0;
	while ((size_t)count < references.size() && !references[(size_t)count].empty())
		count++;
	if (count == 0)
		return ReferenceReplacement();
	// Lines that count on under the last block would otherwise change their
	// number once blocks follow them.
	std::string anchored;
	const std::string_view original = text;
	if (LocaleMerge::AnchorClaims(text, &anchored))
		text = anchored;
	std::vector<EntryBlocks::Splice> splices;
	EntryBlocks::ForEachNumber(
	    text, count, [&](long entry, const EntryBlocks::Block* block, size_t newBlockAt) {
		    std::string line = "; ";
		    line += references[(size_t)entry - 1];
		    line += '\n';
		    if (block == nullptr) {
			    std::string made = LocaleMerge::EntryMarker(entry);
			    made += '\n';
			    made += line;
			    made += '\n';
			    splices.push_back({newBlockAt, newBlockAt, std::move(made), true, entry});
			    return;
		    }
		    // A block without a line for its translation gets an empty one.
		    if (block->translationLine >= text.size())
			    line += '\n';
		    if (block->referenceLine != std::string_view::npos)
			    splices.push_back(
			        {block->referenceLine, block->afterReference, std::move(line), true, 0});
		    else
			    splices.push_back(
			        {block->afterReference, block->afterReference, std::move(line), true, 0});
	    });
	const std::string merged = EntryBlocks::ApplySplices(text, std::move(splices));
	return Narrowed(original, 0, original.size(), merged);
}

namespace {

ReferenceReplacement Narrowed(std::string_view text, size_t from, size_t to,
                              const std::string& merged)
{
	// Leave out the whole lines at both ends that come out as they were, so
	// that applying a reference again touches nothing.
	ReferenceReplacement replacement;
	const size_t length = text.size();
	std::string_view old = text.substr(from, to - from);
	size_t prefix = 0;
	size_t common = 0;
	size_t limit = std::min(old.size(), merged.size());
	while (common < limit && old[common] == merged[common]) {
		common++;
		if (old[common - 1] == '\n')
			prefix = common;
	}
	// A line counts as unchanged at the end only when it is whole: either it
	// ends at the span's end behind a line feed, or the span ends where the
	// text does.
	size_t suffix = 0;
	common = 0;
	limit = std::min(old.size(), merged.size()) - prefix;
	while (common < limit && old[old.size() - 1 - common] == merged[merged.size() - 1 - common]) {
		common++;
		size_t at = old.size() - common;
		if (at == 0 || old[at - 1] == '\n')
			suffix = common;
	}
	bool spanEndsLine = to == length || (to > 0 && text[to - 1] == '\n');
	if (!spanEndsLine)
		suffix = 0;

	replacement.from = from + prefix;
	replacement.to = to - suffix;
	replacement.text = merged.substr(prefix, merged.size() - prefix - suffix);
	return replacement;
}

} // namespace

std::string ApplyReplacement(std::string_view text, const ReferenceReplacement& replacement)
{
	std::string result;
	result.reserve(text.size() - (replacement.to - replacement.from) + replacement.text.size());
	result.append(text.substr(0, replacement.from));
	result += replacement.text;
	result.append(text.substr(replacement.to));
	return result;
}
