// The view suite: a view's frame, whether it is hidden, and its children.
#include "ViewScripting.h"

#include <cstring>

#include "Message.h"
#include "PropertyInfo.h"
#include "ScriptingReplies.h"
#include "View.h"

namespace {

const char* kViewSuite = "suite/vnd.Be-view";

property_info sViewProperties[] = {
    {"Frame",
     {B_GET_PROPERTY, B_SET_PROPERTY},
     {B_DIRECT_SPECIFIER},
     "the view's frame, in its parent's coordinates",
     0,
     {B_RECT_TYPE},
     {},
     {}},
    {"Hidden",
     {B_GET_PROPERTY, B_SET_PROPERTY},
     {B_DIRECT_SPECIFIER},
     "whether the view is hidden",
     0,
     {B_BOOL_TYPE},
     {},
     {}},
    {"View",
     {B_COUNT_PROPERTIES},
     {B_DIRECT_SPECIFIER},
     "how many children the view has",
     0,
     {B_INT32_TYPE},
     {},
     {}},
    {"View",
     {},
     {B_INDEX_SPECIFIER, B_REVERSE_INDEX_SPECIFIER, B_NAME_SPECIFIER},
     "the view's children; a name is looked for at any depth",
     0,
     {},
     {},
     {}},
    {},
};

} // namespace

namespace BPrivate {

const char* direct_property(BMessage* message)
{
	int32 form;
	const char* property = nullptr;
	if (!current_specifier(message, &form, &property) || form != B_DIRECT_SPECIFIER)
		return nullptr;
	return property;
}

BView* resolve_child_view(BView* parent, BMessage* message, BMessage* specifier, int32 form)
{
	BView* view = nullptr;
	if (form == B_NAME_SPECIFIER) {
		const char* name = nullptr;
		if (specifier->FindString("name", &name) == B_OK && name != nullptr)
			view = parent->FindView(name);
		if (view == parent)
			view = nullptr; // a view is not its own child
		if (view == nullptr) {
			send_not_understood(message, B_NAME_NOT_FOUND, "No view of that name");
			return nullptr;
		}
	} else {
		int32 index = -1;
		if (specifier->FindInt32("index", &index) == B_OK) {
			if (form == B_REVERSE_INDEX_SPECIFIER)
				index = parent->CountChildren() - index;
			view = parent->ChildAt(index);
		}
		if (view == nullptr) {
			send_not_understood(message, B_BAD_INDEX, "No view at that index");
			return nullptr;
		}
	}
	message->PopSpecifier();
	return view;
}

bool answer_view_scripting(BView* view, BMessage* message)
{
	const char* property = direct_property(message);
	if (property == nullptr)
		return false;
	BMessage reply(B_REPLY);
	if (strcmp(property, "Frame") == 0) {
		if (message->what == B_GET_PROPERTY) {
			reply.AddRect("result", view->Frame());
			send_scripting_reply(message, &reply, B_OK);
			return true;
		}
		if (message->what == B_SET_PROPERTY) {
			BRect frame;
			status_t status = message->FindRect("data", &frame);
			if (status == B_OK) {
				view->MoveTo(frame.LeftTop());
				view->ResizeTo(frame.Width(), frame.Height());
			}
			send_scripting_reply(message, nullptr, status == B_OK ? B_OK : B_BAD_VALUE);
			return true;
		}
	} else if (strcmp(property, "Hidden") == 0) {
		if (message->what == B_GET_PROPERTY) {
			reply.AddBool("result", view->IsHidden());
			send_scripting_reply(message, &reply, B_OK);
			return true;
		}
		if (message->what == B_SET_PROPERTY) {
			bool hidden = false;
			status_t status = message->FindBool("data", &hidden);
			// Hide and Show nest: change only what differs.
			if (status == B_OK && hidden != view->IsHidden()) {
				if (hidden)
					view->Hide();
				else
					view->Show();
			}
			send_scripting_reply(message, nullptr, status == B_OK ? B_OK : B_BAD_VALUE);
			return true;
		}
	} else if (strcmp(property, "View") == 0 && message->what == B_COUNT_PROPERTIES) {
		reply.AddInt32("result", view->CountChildren());
		send_scripting_reply(message, &reply, B_OK);
		return true;
	}
	return false;
}

} // namespace BPrivate

void BView::MessageReceived(BMessage* message)
{
	if (!BPrivate::answer_view_scripting(this, message))
		BHandler::MessageReceived(message);
}

BHandler* BView::ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier, int32 form,
                                  const char* property)
{
	BPropertyInfo info(sViewProperties);
	if (property == nullptr || info.FindMatch(message, index, specifier, form, property) < 0)
		return BHandler::ResolveSpecifier(message, index, specifier, form, property);
	if (strcmp(property, "View") == 0 && form != B_DIRECT_SPECIFIER)
		return BPrivate::resolve_child_view(this, message, specifier, form);
	return this;
}

status_t BView::GetSupportedSuites(BMessage* data)
{
	const status_t status = BPrivate::add_suite(data, kViewSuite, sViewProperties);
	return status == B_OK ? BHandler::GetSupportedSuites(data) : status;
}
