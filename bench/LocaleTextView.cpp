#include "LocaleTextView.h"

#include <TextControl.h>
#include <TextView.h>
#include <Window.h>

BTextView* LocaleTextView(BWindow* window)
{
	BView* background = window->FindView("bkg_view");
	for (int32 i = 0; background != nullptr && i < background->CountChildren(); i++) {
		BView* child = background->ChildAt(i);
		if (dynamic_cast<BTextControl*>(child) != nullptr)
			continue;
		for (int32 j = 0; j < child->CountChildren(); j++) {
			if (auto* text = dynamic_cast<BTextView*>(child->ChildAt(j)))
				return text;
		}
	}
	return nullptr;
}
