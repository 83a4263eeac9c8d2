// A literal replay of the load's entry merge, for tests and fuzzing.
#ifndef LITERAL_LOAD_H
#define LITERAL_LOAD_H

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

// The load exactly as described: a search of the whole text per entry and
// line counting from the start, with lines being text lines. Quadratic; the
// reference for the real merge.
class LiteralLoad
{
public:
	explicit LiteralLoad(std::string text) : mText(std::move(text)) {}

	size_t LineAt(size_t offset) const
	{
		offset = std::min(offset, mText.size());
		return (size_t)std::count(mText.begin(), mText.begin() + (std::ptrdiff_t)offset, '\n');
	}

	size_t OffsetAt(size_t line) const
	{
		size_t offset = 0;
		for (size_t i = 0; i < line; i++) {
			const size_t feed = mText.find('\n', offset);
			if (feed == std::string::npos)
				return mText.size();
			offset = feed + 1;
		}
		return offset;
	}

	size_t NextLineOffset(size_t line) const
	{
		const size_t feed = mText.find('\n', OffsetAt(line));
		return feed == std::string::npos ? mText.size() : feed + 1;
	}

	std::string Merge(const std::vector<std::string>& entries)
	{
		size_t v = 0;
		for (size_t k = 1; k <= entries.size(); k++) {
			std::string entry = entries[k - 1] + "\n";
			const std::string copy = mText;
			const size_t p = copy.find("; #ID" + std::to_string(k) + ":");
			if (p != std::string::npos)
				v = LineAt(p) + 1;
			size_t o = NextLineOffset(v);
			v = LineAt(o);
			const unsigned char byte = o < mText.size() ? (unsigned char)mText[o] : 0;
			if (byte > 0x20 && byte != ';')
				mText.erase(o, NextLineOffset(v) - o);
			// The mend of skipped entries: an entry placed by its marker
			// takes the blank line the reference left there.
			else if (p != std::string::npos && o < mText.size() && IsBlankLine(o))
				mText.erase(o, NextLineOffset(v) - o);
			// The mend: an entry at the end of a text whose last line lacks
			// its line feed gets one first, as if the text had ended with it.
			if (o == mText.size() && o > 0 && mText[o - 1] != '\n') {
				entry.insert(entry.begin(), '\n');
				o = mText.size();
				v++;
			}
			mText.insert(o, entry);
			v++;
		}
		return mText;
	}

private:
	// Whether the line starting at offset holds nothing but blank bytes.
	bool IsBlankLine(size_t offset) const
	{
		for (size_t i = offset; i < mText.size() && mText[i] != '\n'; i++) {
			if ((unsigned char)mText[i] > 0x20)
				return false;
		}
		return true;
	}

	std::string mText;
};

#endif // LITERAL_LOAD_H
