#ifndef _PARAGRAPH_TEXT_H
#define _PARAGRAPH_TEXT_H

#include <cstdint>
#include <string_view>

namespace BPrivate {

// The UTF-8 bytes of a paragraph. Inside the index they lie in its blocks
// (see ParagraphBlocks), in the order they were made, so that a walk over
// the text reads memory in order and replacing a whole text costs no
// allocation per paragraph. A paragraph being made may borrow bytes
// (Borrow); the index copies them into its blocks as it takes the
// paragraph. Copies of a text are views of the same bytes.
class ParagraphText
{
public:
	ParagraphText() = default;
	// A view of bytes the caller keeps until the index has taken them.
	static ParagraphText Borrow(std::string_view bytes)
	{
		ParagraphText text;
		text.mData = bytes.data();
		text.mSize = (uint32_t)bytes.size();
		return text;
	}

	size_t size() const { return mSize; }
	bool empty() const { return mSize == 0; }
	const char* data() const { return mData; }
	std::string_view View() const { return std::string_view(mData, mSize); }
	operator std::string_view() const { return View(); }

private:
	friend class ParagraphBlocks;
	friend class TextViewParagraphs;
	static constexpr uint32_t kBorrowed = UINT32_MAX;

	const char* mData = "";
	uint32_t mSize = 0;
	uint32_t mBlock = kBorrowed; // or the index's block holding the bytes
};

} // namespace BPrivate

#endif // _PARAGRAPH_TEXT_H
