// The marker blocks of the edited text as the translator sees them: the
// marker line "; #ID<n>:", the reference under it as the reference walk
// writes it ("; " and the text), and the translation line, which is what
// saving stores for entry n (see LocaleMerge::EntriesForSaving). Lines are
// paragraphs; blank bytes and comments as in LocaleMerge.h.
#ifndef ENTRY_BLOCKS_H
#define ENTRY_BLOCKS_H

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "TranslationChecker.h"

namespace EntryBlocks {

struct Block
{
	long entry = 0;             // the marker's number
	size_t marker = 0;          // where the marker line starts
	size_t end = 0;             // where the next marker line starts, or the text's length
	std::string_view reference; // without its "; "; empty without one
	size_t referenceLine = std::string_view::npos; // where the reference line starts, if any
	// The first translation line of the block, from its first non-blank
	// byte to its line feed, as saving stores it; empty without one.
	std::string_view translation;
	bool hasTranslationLine = false;
	// Where the translation line starts; without one, the first blank line
	// after the reference, else npos (a line has to be made for it).
	size_t translationLine = std::string_view::npos;
	// Where a line made for the translation goes: the start of the line
	// after the reference (or the marker), or the text's length.
	size_t afterReference = 0;

	bool IsUntranslated() const { return !reference.empty() && translation.empty(); }
};

// Every block in text order; lines above the first marker belong to none.
// Linear in the text.
void ForEachBlock(std::string_view text, const std::function<void(const Block&)>& visit);

// The numbers 1 to count in order, each with its block (of several of one
// number, the first that holds a translation line, else the first),
// or, for a number without a block, null and the offset where a new block
// for it goes so that blocks stay in number order: right after the block of
// the highest lower number, ahead of every block when there is none, at the
// text's end in a text without blocks. Linear in the text and count, up to
// sorting the blocks.
void ForEachNumber(
    std::string_view text, long count,
    const std::function<void(long entry, const Block* block, size_t newBlockAt)>& visit);

// A change of the text: the bytes [from, to) give way to text. With
// ownLine, text begins a line of its own (a line feed goes first where the
// text before it has none). Changes at one offset go in in rank order.
struct Splice
{
	size_t from = 0;
	size_t to = 0;
	std::string text;
	bool ownLine = false;
	long rank = 0;
};
// text with the splices made; they must not overlap.
std::string ApplySplices(std::string_view text, std::vector<Splice> splices);

// Where the line at offset ends: its line feed, or the text's length.
size_t LineEnd(std::string_view text, size_t offset);

// The block that holds offset; false when no marker stands at or above the
// line of offset. Walks back from offset only as far as the block's marker.
bool BlockAt(std::string_view text, size_t offset, Block* block);

// The counts of the status line: with markers, the checker's counts of every
// block (entries, translated, untranslated, warnings); without, only the
// number of translation lines as entries and translated ones.
struct Progress
{
	bool markers = false;
	TranslationCounts counts;
};
Progress CountProgress(std::string_view text);
// The same, telling visit each block with its number of warnings on the way,
// so that a caller marking them needs no second pass.
Progress CountProgress(std::string_view text,
                       const std::function<void(const Block&, int32 warnings)>& visit);

// What the checker says of one block.
void CheckBlock(const Block& block, std::vector<TranslationFinding>* findings);
int32 CountWarnings(const Block& block);

} // namespace EntryBlocks

#endif // ENTRY_BLOCKS_H
