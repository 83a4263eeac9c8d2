// What the program allows in the view, and the text rectangle.
#include "TextEditWidget.h"
#include "TextViewData.h"

namespace BPrivate {

void TextViewData::SetWrap(bool wrap)
{
	mModes.wrap = wrap && !mModes.singleLine;
	mWidget->TextChanged();
}

void TextViewData::SetSelectable(bool selectable)
{
	mModes.selectable = selectable;
	mWidget->viewport()->setCursor(selectable ? Qt::IBeamCursor : Qt::ArrowCursor);
}

void TextViewData::SetDoesUndo(bool doesUndo)
{
	mModes.doesUndo = doesUndo;
	if (!doesUndo)
		mUndo.Clear();
}

void TextViewData::MakeSingleLine()
{
	mModes.singleLine = true;
	mModes.wrap = false;
	mWidget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
	mWidget->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
	ApplyTextRect();
	mWidget->TextChanged();
}

void TextViewData::SetTextRect(BRect rect)
{
	mTextRect = rect;
	ApplyTextRect();
}

} // namespace BPrivate
