// BFont: a value; measuring goes through Qt's font metrics.
#include "Font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "ApplicationWarmUp.h"
#include "ViewPrivate.h"

namespace {

void copy_name(char* target, const char* source)
{
	std::strncpy(target, source, B_FONT_FAMILY_LENGTH);
	target[B_FONT_FAMILY_LENGTH] = '\0';
}

uint16 face_for_style(const char* style)
{
	uint16 face = 0;
	if (std::strstr(style, "Bold") != nullptr)
		face |= B_BOLD_FACE;
	if (std::strstr(style, "Italic") != nullptr || std::strstr(style, "Oblique") != nullptr)
		face |= B_ITALIC_FACE;
	return face == 0 ? (uint16)B_REGULAR_FACE : face;
}

const char* style_for_face(uint16 face)
{
	bool bold = (face & B_BOLD_FACE) != 0;
	bool italic = (face & B_ITALIC_FACE) != 0;
	if (bold && italic)
		return "Bold Italic";
	if (bold)
		return "Bold";
	if (italic)
		return "Italic";
	return "Regular";
}

BFont make_font(uint16 face, uint8 spacing)
{
	BFont font;
	font.SetFace(face);
	font.SetSpacing(spacing);
	return font;
}

const BFont kPlainFont = make_font(B_REGULAR_FACE, B_CHAR_SPACING);
const BFont kBoldFont = make_font(B_BOLD_FACE, B_CHAR_SPACING);
const BFont kFixedFont = make_font(B_REGULAR_FACE, B_FIXED_SPACING);

} // namespace

const BFont* be_plain_font = &kPlainFont;
const BFont* be_bold_font = &kBoldFont;
const BFont* be_fixed_font = &kFixedFont;

namespace BPrivate {

QFont to_qfont(const BFont& font)
{
	QFont result;
	if (font.IsFixed())
		result = QFontDatabase::systemFont(QFontDatabase::FixedFont);
	const char* family = FontAccess::RawFamily(font);
	if (family[0] != '\0')
		result.setFamily(QString::fromUtf8(family));
	result.setPixelSize(std::max(1, (int)std::lround(font.Size())));
	uint16 face = font.Face();
	result.setBold((face & B_BOLD_FACE) != 0);
	result.setItalic((face & B_ITALIC_FACE) != 0);
	result.setUnderline((face & B_UNDERSCORE_FACE) != 0);
	result.setStrikeOut((face & B_STRIKEOUT_FACE) != 0);
	return result;
}

const char* FontAccess::RawFamily(const BFont& font)
{
	return font.mFamily;
}

void FontAccess::CopyFamilyAndStyle(BFont& target, const BFont& source)
{
	std::memcpy(target.mFamily, source.mFamily, sizeof(target.mFamily));
	target.SetFace(source.mFace);
	target.SetSpacing(source.mSpacing);
}

} // namespace BPrivate

BFont::BFont()
    : mSize(12.0f), mShear(90.0f), mRotation(0.0f), mFlags(0), mFace(B_REGULAR_FACE),
      mSpacing(B_CHAR_SPACING), mEncoding(0)
{
	mFamily[0] = '\0';
	copy_name(mStyle, "Regular");
}

BFont::BFont(const BFont& font) = default;

BFont::BFont(const BFont* font) : BFont()
{
	if (font != nullptr)
		*this = *font;
}

BFont& BFont::operator=(const BFont& font) = default;

bool BFont::operator==(const BFont& font) const
{
	return std::strcmp(mFamily, font.mFamily) == 0 && mFace == font.mFace && mSize == font.mSize &&
	       mShear == font.mShear && mRotation == font.mRotation && mSpacing == font.mSpacing &&
	       mFlags == font.mFlags && mEncoding == font.mEncoding;
}

bool BFont::operator!=(const BFont& font) const
{
	return !(*this == font);
}

status_t BFont::SetFamilyAndStyle(const font_family family, const font_style style)
{
	if (family != nullptr && family[0] != '\0' && qGuiApp != nullptr &&
	    !QFontDatabase::families().contains(QString::fromUtf8(family))) {
		return B_NAME_NOT_FOUND;
	}
	if (family != nullptr)
		copy_name(mFamily, family);
	if (style != nullptr && style[0] != '\0')
		SetFace(face_for_style(style));
	return B_OK;
}

status_t BFont::SetFamilyAndFace(const font_family family, uint16 face)
{
	status_t status = SetFamilyAndStyle(family, nullptr);
	if (status == B_OK)
		SetFace(face);
	return status;
}

void BFont::GetFamilyAndStyle(font_family* family, font_style* style) const
{
	if (family != nullptr) {
		if (mFamily[0] == '\0' && qGuiApp != nullptr) {
			QFontInfo info(BPrivate::to_qfont(*this));
			copy_name(*family, info.family().toUtf8().constData());
		} else
			copy_name(*family, mFamily);
	}
	if (style != nullptr)
		copy_name(*style, mStyle);
}

void BFont::SetSize(float size)
{
	if (size > 0 && std::isfinite(size))
		mSize = size;
}

float BFont::Size() const
{
	return mSize;
}

void BFont::SetFace(uint16 face)
{
	if (face == 0)
		face = B_REGULAR_FACE;
	mFace = face;
	copy_name(mStyle, style_for_face(face));
}

uint16 BFont::Face() const
{
	return mFace;
}

void BFont::SetShear(float shear)
{
	mShear = std::clamp(shear, 45.0f, 135.0f);
}

float BFont::Shear() const
{
	return mShear;
}

void BFont::SetRotation(float rotation)
{
	mRotation = rotation;
}

float BFont::Rotation() const
{
	return mRotation;
}

void BFont::SetSpacing(uint8 spacing)
{
	mSpacing = spacing;
}

uint8 BFont::Spacing() const
{
	return mSpacing;
}

void BFont::SetEncoding(uint8 encoding)
{
	mEncoding = encoding;
}

uint8 BFont::Encoding() const
{
	return mEncoding;
}

void BFont::SetFlags(uint32 flags)
{
	mFlags = flags;
}

uint32 BFont::Flags() const
{
	return mFlags;
}

bool BFont::IsFixed() const
{
	return mSpacing == B_FIXED_SPACING;
}

float BFont::StringWidth(const char* string) const
{
	return string == nullptr ? 0.0f : StringWidth(string, (int32)std::strlen(string));
}

float BFont::StringWidth(const char* string, int32 length) const
{
	if (string == nullptr || length <= 0)
		return 0.0f;
	// Without the GUI there are no metrics; an estimate keeps layout code
	// from dividing by zero.
	if (qGuiApp == nullptr)
		return mSize * 0.6f * (float)length;
	BPrivate::ApplicationWarmUp::WaitForFontConfiguration();
	QFontMetricsF metrics(BPrivate::to_qfont(*this));
	return (float)metrics.horizontalAdvance(QString::fromUtf8(string, length));
}

void BFont::GetHeight(font_height* height) const
{
	if (height == nullptr)
		return;
	if (qGuiApp == nullptr) {
		height->ascent = mSize * 0.8f;
		height->descent = mSize * 0.2f;
		height->leading = 0.0f;
		return;
	}
	BPrivate::ApplicationWarmUp::WaitForFontConfiguration();
	QFontMetricsF metrics(BPrivate::to_qfont(*this));
	height->ascent = (float)metrics.ascent();
	height->descent = (float)metrics.descent();
	height->leading = (float)metrics.leading();
}
