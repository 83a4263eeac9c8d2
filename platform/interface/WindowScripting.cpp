// The window suite: title, frame, visibility, activation, the kind of
// window, its menu bar and its views.
#include <cstring>

#include "Menu.h"
#include "MenuBar.h"
#include "Message.h"
#include "PropertyInfo.h"
#include "PropertyRows.h"
#include "ScriptingReplies.h"
#include "ViewScripting.h"
#include "Window.h"
#include "WindowPrivate.h"

namespace {

const char* kWindowSuite = "suite/vnd.Be-window";

property_info sWindowProperties[] = {
    BPrivate::get_set_row("Title", B_STRING_TYPE, "the window's title"),
    BPrivate::get_set_row("Frame", B_RECT_TYPE, "the content area in screen coordinates"),
    BPrivate::get_set_row("Hidden", B_BOOL_TYPE, "whether the window is hidden"),
    BPrivate::get_set_row("Active", B_BOOL_TYPE,
                          "whether the window is the active one; true activates it"),
    BPrivate::get_row("Look", B_INT32_TYPE, "the window's look"),
    BPrivate::get_row("Feel", B_INT32_TYPE, "the window's feel"),
    BPrivate::get_row("Flags", B_INT32_TYPE, "the window's flags"),
    {"MenuBar", {}, {B_DIRECT_SPECIFIER}, "the window's key menu bar", 0, {}, {}, {}},
    BPrivate::count_row("View", "how many views the top view holds"),
    BPrivate::element_row("View", "the top view's children; a name is looked for at any depth"),
    {},
};

bool answer_window_property(BWindow* window, BMessage* message, const char* property)
{
	if (BPrivate::answer_frame_hidden_views(window, message, property))
		return true;
	const bool set = message->what == B_SET_PROPERTY;
	if (strcmp(property, "Title") == 0) {
		if (!set)
			return BPrivate::answer_get<const char*>(message, &BMessage::AddString,
			                                         window->Title());
		const char* title = nullptr;
		const status_t status = message->FindString("data", &title);
		if (status == B_OK)
			window->SetTitle(title);
		BPrivate::send_set_reply(message, status);
		return true;
	}
	if (strcmp(property, "Active") == 0) {
		if (!set)
			return BPrivate::answer_get(message, &BMessage::AddBool, window->IsActive());
		bool active = false;
		const status_t status = message->FindBool("data", &active);
		// There is no deactivating a window from here: false changes nothing.
		if (status == B_OK && active)
			window->Activate(true);
		BPrivate::send_set_reply(message, status);
		return true;
	}
	if (strcmp(property, "Look") == 0)
		return BPrivate::answer_get(message, &BMessage::AddInt32, window->Look());
	if (strcmp(property, "Feel") == 0)
		return BPrivate::answer_get(message, &BMessage::AddInt32, window->Feel());
	if (strcmp(property, "Flags") == 0)
		return BPrivate::answer_get(message, &BMessage::AddInt32, (int32)window->Flags());
	return false;
}

} // namespace

void BWindow::MessageReceived(BMessage* message)
{
	const char* property = BPrivate::direct_property(message);
	if (property != nullptr && answer_window_property(this, message, property))
		return;
	BLooper::MessageReceived(message);
}

BHandler* BWindow::ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier, int32 form,
                                    const char* property)
{
	if (!BPrivate::suite_matches(sWindowProperties, message, index, specifier, form, property))
		return BLooper::ResolveSpecifier(message, index, specifier, form, property);
	if (strcmp(property, "View") == 0 && form != B_DIRECT_SPECIFIER) {
		return BPrivate::resolve_child_view(BPrivate::WindowAccess::TopView(this), message,
		                                    specifier, form);
	}
	if (strcmp(property, "MenuBar") == 0) {
		BMenuBar* bar = KeyMenuBar();
		if (bar == nullptr) {
			BPrivate::send_not_understood(message, B_NAME_NOT_FOUND, "The window has no menu bar");
			return nullptr;
		}
		message->PopSpecifier();
		return bar;
	}
	return this;
}

status_t BWindow::GetSupportedSuites(BMessage* data)
{
	const status_t status = BPrivate::add_suite(data, kWindowSuite, sWindowProperties);
	return status == B_OK ? BLooper::GetSupportedSuites(data) : status;
}
