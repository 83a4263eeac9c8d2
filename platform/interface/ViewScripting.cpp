// The view suite: a view's frame, whether it is hidden, and its children.
#include "ViewScripting.h"

#include <cstring>

#include "Message.h"
#include "PropertyInfo.h"
#include "PropertyRows.h"
#include "ScriptingReplies.h"
#include "View.h"

namespace {

const char* kViewSuite = "suite/vnd.Be-view";

property_info sViewProperties[] = {
    BPrivate::get_set_row("Frame", B_RECT_TYPE, "the view's frame, in its parent's coordinates"),
    BPrivate::get_set_row("Hidden", B_BOOL_TYPE, "whether the view is hidden"),
    BPrivate::count_row("View", "how many children the view has"),
    BPrivate::element_row("View", "the view's children; a name is looked for at any depth"),
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
		if (specifier->FindInt32("index", &index) == B_OK &&
		    element_position(form, index, parent->CountChildren(), &index))
			view = parent->ChildAt(index);
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
	return property != nullptr && answer_frame_hidden_views(view, message, property);
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
	if (!BPrivate::suite_matches(sViewProperties, message, index, specifier, form, property))
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
