#include "TextSearch.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "LocaleMerge.h"

namespace TextSearch {

namespace {

unsigned char Fold(unsigned char byte)
{
	return byte >= 'A' && byte <= 'Z' ? (unsigned char)(byte - 'A' + 'a') : byte;
}

// The needle prepared once per search. The scans below first look for
// places where the needle's first and last bytes both fit, sixteen places
// at a time, and compare the whole needle only there: in a text of
// 100,000 entries nearly every place fails that cheap test.
class Needle
{
public:
	Needle(std::string_view bytes, bool matchCase)
	    : mBytes(bytes), mMatchCase(matchCase), mFolded(bytes)
	{
		if (!matchCase) {
			for (char& c : mFolded)
				c = (char)Fold((unsigned char)c);
		}
		// Without match case the quick test compares bytes with bit 5 set:
		// that keeps every place where the folded bytes agree (an ASCII
		// letter folds to itself with that bit), and lets a few more through
		// to the full comparison.
		mQuickMask = matchCase ? 0 : 0x20;
		mFirst = (unsigned char)(bytes.front() | mQuickMask);
		mLast = (unsigned char)(bytes.back() | mQuickMask);
	}

	size_t Size() const { return mBytes.size(); }

	bool FitsAt(const char* at) const
	{
		if (mMatchCase)
			return memcmp(at, mBytes.data(), mBytes.size()) == 0;
		for (size_t i = 0; i < mFolded.size(); i++) {
			if ((char)Fold((unsigned char)at[i]) != mFolded[i])
				return false;
		}
		return true;
	}

	// The first place in [from, last] where the needle fits, else npos.
	size_t First(std::string_view text, size_t from, size_t last) const
	{
		const char* data = text.data();
		size_t at = from;
#ifdef __SSE2__
		const __m128i mask = _mm_set1_epi8((char)mQuickMask);
		const __m128i first = _mm_set1_epi8((char)mFirst);
		const __m128i lastByte = _mm_set1_epi8((char)mLast);
		const size_t tail = Size() - 1;
		for (; last >= 15 && at <= last - 15; at += 16) {
			unsigned bits = _QuickBits(data + at, data + at + tail, mask, first, lastByte);
			for (; bits != 0; bits &= bits - 1) {
				const size_t place = at + (size_t)__builtin_ctz(bits);
				if (FitsAt(data + place))
					return place;
			}
		}
#endif
		for (; at <= last; at++) {
			if (FitsAt(data + at))
				return at;
		}
		return std::string_view::npos;
	}

	// The last place in [from, last] where the needle fits, else npos.
	size_t Last(std::string_view text, size_t from, size_t last) const
	{
		const char* data = text.data();
		// Places [from, end) are still to be looked at.
		size_t end = last + 1;
#ifdef __SSE2__
		const __m128i mask = _mm_set1_epi8((char)mQuickMask);
		const __m128i first = _mm_set1_epi8((char)mFirst);
		const __m128i lastByte = _mm_set1_epi8((char)mLast);
		const size_t tail = Size() - 1;
		for (; end >= from + 16; end -= 16) {
			const size_t at = end - 16;
			unsigned bits = _QuickBits(data + at, data + at + tail, mask, first, lastByte);
			while (bits != 0) {
				const int high = 31 - __builtin_clz(bits);
				if (FitsAt(data + at + (size_t)high))
					return at + (size_t)high;
				bits &= ~(1u << high);
			}
		}
#endif
		while (end > from) {
			end--;
			if (FitsAt(data + end))
				return end;
		}
		return std::string_view::npos;
	}

private:
#ifdef __SSE2__
	// Bit i set where the needle's first byte fits at heads[i] and its last
	// byte at tails[i].
	static unsigned _QuickBits(const char* heads, const char* tails, __m128i mask, __m128i first,
	                           __m128i last)
	{
		const __m128i head = _mm_or_si128(_mm_loadu_si128((const __m128i*)heads), mask);
		const __m128i tail = _mm_or_si128(_mm_loadu_si128((const __m128i*)tails), mask);
		return (unsigned)_mm_movemask_epi8(
		    _mm_and_si128(_mm_cmpeq_epi8(head, first), _mm_cmpeq_epi8(tail, last)));
	}
#endif

	std::string_view mBytes;
	bool mMatchCase;
	std::string mFolded;
	unsigned char mQuickMask = 0;
	unsigned char mFirst = 0;
	unsigned char mLast = 0;
};

// The first match in [from, end of text).
size_t FindFrom(std::string_view text, const Needle& needle, size_t from)
{
	if (from > text.size() || needle.Size() > text.size() - from)
		return std::string_view::npos;
	return needle.First(text, from, text.size() - needle.Size());
}

// The first byte of the line that is no blank byte (0x00 to 0x20, as the
// line kinds of the locale text go), or the line's end.
size_t ContentStart(std::string_view text, size_t lineStart)
{
	size_t at = lineStart;
	while (at < text.size() && (unsigned char)text[at] <= 0x20 && text[at] != '\n')
		at++;
	return at;
}

bool CommentLineAt(std::string_view text, size_t lineStart)
{
	const size_t at = ContentStart(text, lineStart);
	return at < text.size() && text[at] == ';';
}

// Whether a line that starts inside (from, to) is a comment line: a match
// that runs over a line feed touches the lines after it too.
bool LaterLineIsComment(std::string_view text, size_t from, size_t to)
{
	for (size_t at = text.find('\n', from); at != std::string_view::npos && at + 1 < to;
	     at = text.find('\n', at + 1)) {
		if (CommentLineAt(text, at + 1))
			return true;
	}
	return false;
}

// Whether the line of an offset is a comment line, for offsets that only
// grow: the text is read once however many matches one line holds.
class LineWalk
{
public:
	explicit LineWalk(std::string_view text) : mText(text) {}

	bool CommentAt(size_t offset)
	{
		const void* feed =
		    offset > mScanned ? memrchr(mText.data() + mScanned, '\n', offset - mScanned) : nullptr;
		if (feed != nullptr || !mKnown) {
			if (feed != nullptr)
				mLineStart = (size_t)((const char*)feed - mText.data()) + 1;
			mComment = CommentLineAt(mText, mLineStart);
			mKnown = true;
		}
		mScanned = std::max(mScanned, offset);
		return mComment;
	}

private:
	std::string_view mText;
	size_t mScanned = 0;
	size_t mLineStart = 0;
	bool mComment = false;
	bool mKnown = false;
};

} // namespace

bool Matches(std::string_view candidate, std::string_view needle, bool matchCase)
{
	if (candidate.size() != needle.size())
		return false;
	if (matchCase)
		return candidate == needle;
	return std::equal(candidate.begin(), candidate.end(), needle.begin(), [](char a, char b) {
		return Fold((unsigned char)a) == Fold((unsigned char)b);
	});
}

size_t FindForward(std::string_view text, std::string_view needle, size_t from, bool matchCase)
{
	if (needle.empty())
		return std::string_view::npos;
	const Needle prepared(needle, matchCase);
	from = std::min(from, text.size());
	const size_t found = FindFrom(text, prepared, from);
	if (found != std::string_view::npos || from == 0)
		return found;
	// Around from the start; a match that runs over from counts as well.
	// None starts at from or later, so only the text up to there is read.
	const size_t wrapEnd = std::min(text.size(), from + needle.size() - 1);
	return FindFrom(text.substr(0, wrapEnd), prepared, 0);
}

size_t FindBackward(std::string_view text, std::string_view needle, size_t before, bool matchCase)
{
	if (needle.empty() || needle.size() > text.size())
		return std::string_view::npos;
	const Needle prepared(needle, matchCase);
	before = std::min(before, text.size());
	const size_t lastPlace = text.size() - needle.size();
	if (before >= needle.size()) {
		const size_t found = prepared.Last(text, 0, before - needle.size());
		if (found != std::string_view::npos)
			return found;
		// Around from the end: only the places after those just read.
		return before - needle.size() < lastPlace
		           ? prepared.Last(text, before - needle.size() + 1, lastPlace)
		           : std::string_view::npos;
	}
	return prepared.Last(text, 0, lastPlace);
}

bool TouchesCommentLine(std::string_view text, size_t from, size_t to)
{
	from = std::min(from, text.size());
	to = std::max(from, std::min(to, text.size()));
	const size_t lineStart = from == 0 ? 0 : text.rfind('\n', from - 1) + 1;
	return CommentLineAt(text, lineStart) || LaterLineIsComment(text, from, to);
}

std::string ReplacementAt(std::string_view text, size_t at, std::string_view replacement)
{
	if (replacement.empty() || ((unsigned char)replacement[0] > 0x20 && replacement[0] != ';'))
		return std::string(replacement);
	const size_t lineStart = at == 0 ? 0 : text.rfind('\n', at - 1) + 1;
	if (ContentStart(text, lineStart) != at)
		return std::string(replacement);
	return LocaleMerge::LineForEntry(replacement);
}

Replaced ReplaceAll(std::string_view text, std::string_view needle, std::string_view replacement,
                    bool matchCase)
{
	Replaced result;
	size_t at = 0;
	if (!needle.empty()) {
		const Needle prepared(needle, matchCase);
		LineWalk lines(text);
		for (;;) {
			const size_t found = FindFrom(text, prepared, at);
			if (found == std::string_view::npos)
				break;
			const size_t end = found + needle.size();
			if (lines.CommentAt(found) || LaterLineIsComment(text, found, end)) {
				result.inComments++;
				result.text.append(text.substr(at, end - at));
			} else {
				result.text.append(text.substr(at, found - at));
				result.text.append(ReplacementAt(text, found, replacement));
				result.replaced++;
			}
			at = end;
		}
	}
	result.text.append(text.substr(at));
	return result;
}

} // namespace TextSearch
