#include <QScrollBar>

#include "TextViewData.h"
#include "TextViewPrivate.h"

namespace BPrivate {

BTextView* TextViewAccess::CreateSingleLine(BRect frame, const char* name)
{
	BRect textRect = frame;
	textRect.OffsetTo(0, 0);
	BTextView* view = new BTextView(frame, name, textRect, 0, 0);
	MakeSingleLine(view);
	return view;
}

void TextViewAccess::MakeSingleLine(BTextView* view)
{
	TextViewData* data = view->mText;
	data->singleLine = true;
	data->wrap = false;
	data->widget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
	data->widget->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
	data->ApplyTextRect();
	data->widget->TextChanged();
	// Line feeds already in the text become spaces too.
	const std::string text(view->Text(), (size_t)view->TextLength());
	if (text.find('\n') != std::string::npos)
		view->SetText(text.c_str(), (int32)text.size());
}

bool TextViewAccess::IsSingleLine(const BTextView* view)
{
	return view->mText->singleLine;
}

void TextViewAccess::SetEnterHandler(BTextView* view, std::function<void()> handler)
{
	view->mText->enterHandler = std::move(handler);
}

void TextViewAccess::SetChangeHandler(BTextView* view, std::function<void()> handler)
{
	view->mText->changeHandler = std::move(handler);
}

void TextViewAccess::SetScrollBars(BTextView* view, bool horizontal, bool vertical)
{
	TextViewData* data = view->mText;
	if (data->singleLine)
		return;
	data->widget->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded
	                                                      : Qt::ScrollBarAlwaysOff);
	data->widget->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn
	                                                  : Qt::ScrollBarAlwaysOff);
}

} // namespace BPrivate
