// BView's appearance: its colours, its font and its tooltip.
#include "View.h"

#include <QVariant>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Message.h"
#include "ViewData.h"
#include "ViewPrivate.h"
#include "ViewWidget.h"
#include "Window.h"
#include "WindowPrivate.h"

namespace {

void apply_view_color(BPrivate::ViewData* data)
{
	if (!data->widget)
		return;
	if (BPrivate::is_plain_widget(data->widget)) {
		data->widget->update();
		return;
	}
	// Widgets of their own show the view colour as their background.
	QPalette palette = data->widget->palette();
	QColor color = BPrivate::to_qcolor(data->viewColor);
	palette.setColor(QPalette::Window, color);
	palette.setColor(QPalette::Base, color);
	data->widget->setPalette(palette);
}

} // namespace

void BView::SetViewColor(rgb_color color)
{
	mData->viewColor = color;
	apply_view_color(mData.get());
}

void BView::SetViewColor(uint8 red, uint8 green, uint8 blue, uint8 alpha)
{
	SetViewColor(make_color(red, green, blue, alpha));
}

void BView::SetToolTip(const char* text)
{
	mData->toolTip = text != nullptr ? text : "";
	if (mData->widget)
		mData->widget->setToolTip(QString::fromStdString(mData->toolTip));
}

const char* BView::ToolTipText() const
{
	return mData->toolTip.c_str();
}

rgb_color BView::ViewColor() const
{
	return mData->viewColor;
}

void BView::SetHighColor(rgb_color color)
{
	mData->highColor = color;
}

void BView::SetHighColor(uint8 red, uint8 green, uint8 blue, uint8 alpha)
{
	SetHighColor(make_color(red, green, blue, alpha));
}

rgb_color BView::HighColor() const
{
	return mData->highColor;
}

void BView::SetLowColor(rgb_color color)
{
	mData->lowColor = color;
}

void BView::SetLowColor(uint8 red, uint8 green, uint8 blue, uint8 alpha)
{
	SetLowColor(make_color(red, green, blue, alpha));
}

rgb_color BView::LowColor() const
{
	return mData->lowColor;
}

void BView::SetFont(const BFont* font, uint32 mask)
{
	if (font == nullptr)
		return;
	BFont& own = mData->font;
	if ((mask & B_FONT_FAMILY_AND_STYLE) != 0)
		BPrivate::FontAccess::CopyFamilyAndStyle(own, *font);
	if ((mask & B_FONT_SIZE) != 0)
		own.SetSize(font->Size());
	if ((mask & B_FONT_FACE) != 0)
		own.SetFace(font->Face());
	if ((mask & B_FONT_SHEAR) != 0)
		own.SetShear(font->Shear());
	if ((mask & B_FONT_ROTATION) != 0)
		own.SetRotation(font->Rotation());
	if ((mask & B_FONT_SPACING) != 0)
		own.SetSpacing(font->Spacing());
	if ((mask & B_FONT_ENCODING) != 0)
		own.SetEncoding(font->Encoding());
	if ((mask & B_FONT_FLAGS) != 0)
		own.SetFlags(font->Flags());
	if (mData->widget) {
		mData->widget->setFont(BPrivate::to_qfont(own));
		mData->widget->update();
	}
}

void BView::SetFontSize(float size)
{
	BFont font;
	font.SetSize(size);
	SetFont(&font, B_FONT_SIZE);
}

void BView::GetFont(BFont* font) const
{
	if (font != nullptr)
		*font = mData->font;
}

void BView::GetFontHeight(font_height* height) const
{
	mData->font.GetHeight(height);
}

float BView::StringWidth(const char* string) const
{
	return mData->font.StringWidth(string);
}

float BView::StringWidth(const char* string, int32 length) const
{
	return mData->font.StringWidth(string, length);
}
