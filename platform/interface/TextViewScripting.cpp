// The text view suite: the text, whole or a range of bytes, and the
// selection.
#include "TextViewScripting.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "Message.h"
#include "PropertyInfo.h"
#include "ScriptingReplies.h"
#include "TextView.h"

namespace {

const char* kTextViewSuite = "suite/vnd.Be-text-view";

property_info sTextViewProperties[] = {
    {"Text",
     {B_GET_PROPERTY, B_SET_PROPERTY},
     {B_DIRECT_SPECIFIER, B_RANGE_SPECIFIER, B_REVERSE_RANGE_SPECIFIER},
     "the text, whole or a range of bytes (index, range)",
     0,
     {B_STRING_TYPE},
     {},
     {}},
    {"Selection",
     {B_GET_PROPERTY, B_SET_PROPERTY},
     {B_DIRECT_SPECIFIER},
     "the selection as two byte offsets",
     0,
     {B_INT32_TYPE},
     {},
     {}},
    {},
};

// The bytes a range specifier names, clipped to the text; false for a
// specifier without its fields.
bool text_range(const BTextView* view, const BMessage& specifier, int32 form, int32* start,
                int32* end)
{
	int32 index = 0;
	int32 range = 0;
	if (specifier.FindInt32("index", &index) != B_OK)
		return false;
	if (specifier.FindInt32("range", &range) != B_OK)
		range = 1;
	const int32 length = view->TextLength();
	if (form == B_REVERSE_RANGE_SPECIFIER)
		index = length - index;
	*start = std::clamp(index, (int32)0, length);
	*end = std::clamp(index + std::max(range, (int32)0), *start, length);
	return true;
}

bool answer_text(BTextView* view, BMessage* message, const BMessage& specifier, int32 form)
{
	int32 start = 0;
	int32 end = view->TextLength();
	if (form != B_DIRECT_SPECIFIER && !text_range(view, specifier, form, &start, &end)) {
		BPrivate::send_scripting_reply(message, nullptr, B_BAD_VALUE);
		return true;
	}
	if (message->what == B_GET_PROPERTY) {
		BMessage reply(B_REPLY);
		if (form == B_DIRECT_SPECIFIER) {
			reply.AddString("result", view->Text());
		} else {
			std::string bytes(view->Text() + start, (size_t)(end - start));
			reply.AddString("result", bytes.c_str());
		}
		BPrivate::send_scripting_reply(message, &reply, B_OK);
		return true;
	}
	const char* text = nullptr;
	ssize_t size = 0;
	const void* data = nullptr;
	if (message->FindData("data", B_STRING_TYPE, &data, &size) != B_OK || size < 1) {
		BPrivate::send_scripting_reply(message, nullptr, B_BAD_VALUE);
		return true;
	}
	text = static_cast<const char*>(data);
	const int32 length = (int32)strnlen(text, (size_t)size);
	if (form == B_DIRECT_SPECIFIER) {
		view->SetText(text, length);
	} else {
		view->Delete(start, end);
		view->Insert(start, text, length);
	}
	BPrivate::send_scripting_reply(message, nullptr, B_OK);
	return true;
}

bool answer_selection(BTextView* view, BMessage* message)
{
	if (message->what == B_GET_PROPERTY) {
		int32 start = 0;
		int32 end = 0;
		view->GetSelection(&start, &end);
		BMessage reply(B_REPLY);
		reply.AddInt32("result", start);
		reply.AddInt32("result", end);
		BPrivate::send_scripting_reply(message, &reply, B_OK);
		return true;
	}
	int32 start = 0;
	int32 end = 0;
	status_t status = message->FindInt32("data", 0, &start);
	if (status == B_OK)
		status = message->FindInt32("data", 1, &end);
	if (status == B_OK)
		view->Select(start, end);
	BPrivate::send_scripting_reply(message, nullptr, status == B_OK ? B_OK : B_BAD_VALUE);
	return true;
}

} // namespace

namespace BPrivate {

bool answer_text_view_scripting(BTextView* view, BMessage* message)
{
	if (message->what != B_GET_PROPERTY && message->what != B_SET_PROPERTY)
		return false;
	int32 form;
	const char* property = nullptr;
	BMessage specifier;
	if (!current_specifier(message, &form, &property, &specifier) || property == nullptr)
		return false;
	if (strcmp(property, "Text") == 0 && (form == B_DIRECT_SPECIFIER || form == B_RANGE_SPECIFIER ||
	                                      form == B_REVERSE_RANGE_SPECIFIER))
		return answer_text(view, message, specifier, form);
	if (strcmp(property, "Selection") == 0 && form == B_DIRECT_SPECIFIER)
		return answer_selection(view, message);
	return false;
}

} // namespace BPrivate

BHandler* BTextView::ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier,
                                      int32 form, const char* property)
{
	BPropertyInfo info(sTextViewProperties);
	if (property != nullptr && info.FindMatch(message, index, specifier, form, property) >= 0)
		return this;
	return BView::ResolveSpecifier(message, index, specifier, form, property);
}

status_t BTextView::GetSupportedSuites(BMessage* data)
{
	if (data == nullptr)
		return B_BAD_VALUE;
	status_t status = data->AddString("suites", kTextViewSuite);
	if (status != B_OK)
		return status;
	BPropertyInfo info(sTextViewProperties);
	status = data->AddFlat("messages", &info);
	if (status != B_OK)
		return status;
	return BView::GetSupportedSuites(data);
}
