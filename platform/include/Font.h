// Fonts: family, style and size, measured in pixels (a 12-point font is
// 12 pixels high). A BFont is a plain value; it measures through the GUI
// toolkit, so StringWidth() and GetHeight() need the application object.
#ifndef _FONT_H
#define _FONT_H

#include "SupportDefs.h"

#define B_FONT_FAMILY_LENGTH 63
#define B_FONT_STYLE_LENGTH 63
typedef char font_family[B_FONT_FAMILY_LENGTH + 1];
typedef char font_style[B_FONT_STYLE_LENGTH + 1];

// Masks for BView::SetFont(): which attributes of the font to take over.
enum {
	B_FONT_FAMILY_AND_STYLE = 0x00000001,
	B_FONT_SIZE = 0x00000002,
	B_FONT_SHEAR = 0x00000004,
	B_FONT_ROTATION = 0x00000008,
	B_FONT_SPACING = 0x00000010,
	B_FONT_ENCODING = 0x00000020,
	B_FONT_FACE = 0x00000040,
	B_FONT_FLAGS = 0x00000080,
	B_FONT_ALL = 0x000000FF,
};

// Faces.
enum {
	B_ITALIC_FACE = 0x0001,
	B_UNDERSCORE_FACE = 0x0002,
	B_NEGATIVE_FACE = 0x0004,
	B_OUTLINED_FACE = 0x0008,
	B_STRIKEOUT_FACE = 0x0010,
	B_BOLD_FACE = 0x0020,
	B_REGULAR_FACE = 0x0040,
};

enum {
	B_CHAR_SPACING = 0,
	B_STRING_SPACING = 1,
	B_BITMAP_SPACING = 2,
	B_FIXED_SPACING = 3,
};

namespace BPrivate {
class FontAccess;
}

struct font_height
{
	float ascent;
	float descent;
	float leading;
};

class BFont
{
public:
	// The plain system font.
	BFont();
	BFont(const BFont& font);
	BFont(const BFont* font);

	BFont& operator=(const BFont& font);
	bool operator==(const BFont& font) const;
	bool operator!=(const BFont& font) const;

	// An empty or unknown family falls back to the system's sans-serif
	// family; the style "Bold" or "Italic" (or both) sets the face.
	status_t SetFamilyAndStyle(const font_family family, const font_style style);
	status_t SetFamilyAndFace(const font_family family, uint16 face);
	void GetFamilyAndStyle(font_family* family, font_style* style) const;

	void SetSize(float size);
	float Size() const;
	void SetFace(uint16 face);
	uint16 Face() const;
	void SetShear(float shear);
	float Shear() const;
	void SetRotation(float rotation);
	float Rotation() const;
	void SetSpacing(uint8 spacing);
	uint8 Spacing() const;
	void SetEncoding(uint8 encoding);
	uint8 Encoding() const;
	void SetFlags(uint32 flags);
	uint32 Flags() const;

	// Width in pixels of UTF-8 text; length in bytes.
	float StringWidth(const char* string) const;
	float StringWidth(const char* string, int32 length) const;
	void GetHeight(font_height* height) const;

	// Whether the font is the fixed-width system font.
	bool IsFixed() const;

private:
	friend class BPrivate::FontAccess;

	font_family mFamily;
	font_style mStyle;
	float mSize;
	float mShear;
	float mRotation;
	uint32 mFlags;
	uint16 mFace;
	uint8 mSpacing;
	uint8 mEncoding;
};

// 12 pixels each: plain, bold, and a fixed-width font.
extern const BFont* be_plain_font;
extern const BFont* be_bold_font;
extern const BFont* be_fixed_font;

#endif // _FONT_H
