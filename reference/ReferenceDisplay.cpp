#include "ReferenceDisplay.h"

#include "EditableEntries.h"
#include "LocaleFile.h"
#include "LocaleMerge.h"
#include "ReferenceWalk.h"
#include "TextEscapes.h"

#include <TextControl.h>
#include <TextView.h>
#include <Window.h>

#include <cstring>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A single space, not an empty text, stands for "no reference": the field
// then still shows that something was asked.
const char* const kNoValue = " ";

void ShowField(BWindow* window, const char* viewName, const BMessage* reference, const char* field)
{
	if (window == nullptr)
		return;
	BTextControl* control = dynamic_cast<BTextControl*>(window->FindView(viewName));
	if (control == nullptr)
		return;
	const char* value = nullptr;
	if (reference == nullptr || reference->FindString(field, 0, &value) != B_OK || value == nullptr)
		value = kNoValue;
	// Shown as a loaded file's fields are: what a field cannot hold as "\xNN".
	std::string shown;
	EscapeBytes(value, false, &shown);
	control->SetText(shown.c_str());
}

} // namespace

void ShowReference(BWindow* window, BTextView* textView, const BMessage* reference)
{
	ShowField(window, kReferenceControl, reference, kLocaleFieldLanguage);
	ShowField(window, kAppIDControl, reference, kLocaleFieldAppID);
	ApplyReferenceTexts(textView, reference);
}

bool ApplyReferenceTexts(BTextView* textView, const BMessage* reference)
{
	if (textView == nullptr || reference == nullptr)
		return false;

	// The strings stay inside the message, which outlives the walk; a text
	// that would break its comment line over two is kept as one line, as
	// loaded entries are.
	std::vector<std::string_view> texts;
	std::deque<std::string> oneLine;
	const char* text = nullptr;
	for (int32 index = 0; reference->FindString(kLocaleFieldText, index, &text) == B_OK; index++) {
		if (text == nullptr || *text == '\0')
			break;
		if (strpbrk(text, "\n\r") != nullptr)
			texts.emplace_back(oneLine.emplace_back(EditableText(text)));
		else
			texts.emplace_back(text);
	}
	if (texts.empty())
		return false;

	std::string_view current(textView->Text(), textView->TextLength());
	// A text with markers keeps every translation with its number; the
	// walk by position is for texts typed without them.
	ReferenceReplacement change = LocaleMerge::HasMarkers(current)
	                                  ? ReferenceWalkByMarkers(current, texts)
	                                  : ReferenceWalk(current, texts);
	if (!change.Changes())
		return false;

	// One deletion and one insertion: the view's hooks (colouring) see the
	// changed span once, however many blocks it holds.
	if (change.to > change.from)
		textView->Delete(static_cast<int32>(change.from), static_cast<int32>(change.to));
	if (!change.text.empty()) {
		textView->Insert(static_cast<int32>(change.from), change.text.data(),
		                 static_cast<int32>(change.text.size()));
	}
	return true;
}
