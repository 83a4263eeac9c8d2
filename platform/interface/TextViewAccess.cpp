#include <QScrollBar>

#include "TextEditWidget.h"
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
	view->mText->MakeSingleLine();
	// Line feeds already in the text become spaces too.
	const std::string text(view->Text(), (size_t)view->TextLength());
	if (text.find('\n') != std::string::npos)
		view->SetText(text.c_str(), (int32)text.size());
}

bool TextViewAccess::IsSingleLine(const BTextView* view)
{
	return view->mText->Modes().singleLine;
}

void TextViewAccess::SetEnterHandler(BTextView* view, std::function<void()> handler)
{
	view->mText->SetEnterHandler(std::move(handler));
}

void TextViewAccess::SetChangeHandler(BTextView* view, std::function<void()> handler)
{
	view->mText->SetChangeHandler(std::move(handler));
}

void TextViewAccess::SetScrollBars(BTextView* view, bool horizontal, bool vertical)
{
	TextViewData* data = view->mText;
	if (data->Modes().singleLine)
		return;
	data->Widget()->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded
	                                                        : Qt::ScrollBarAlwaysOff);
	data->Widget()->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn
	                                                    : Qt::ScrollBarAlwaysOff);
}

} // namespace BPrivate
