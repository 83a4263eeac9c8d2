// The window suite: title, frame, visibility, activation, the kind of
// window, its menu bar and its views.
#include <cstring>

#include "Menu.h"
#include "MenuBar.h"
#include "Message.h"
#include "PropertyInfo.h"
#include "ScriptingReplies.h"
#include "ViewScripting.h"
#include "Window.h"
#include "WindowPrivate.h"

namespace {

const char* kWindowSuite = "suite/vnd.Be-window";

property_info sWindowProperties[] = {
    {"Title",
     {B_GET_PROPERTY, B_SET_PROPERTY},
     {B_DIRECT_SPECIFIER},
     "the window's title",
     0,
     {B_STRING_TYPE},
     {},
     {}},
    {"Frame",
     {B_GET_PROPERTY, B_SET_PROPERTY},
     {B_DIRECT_SPECIFIER},
     "the content area in screen coordinates",
     0,
     {B_RECT_TYPE},
     {},
     {}},
    {"Hidden",
     {B_GET_PROPERTY, B_SET_PROPERTY},
     {B_DIRECT_SPECIFIER},
     "whether the window is hidden",
     0,
     {B_BOOL_TYPE},
     {},
     {}},
    {"Active",
     {B_GET_PROPERTY, B_SET_PROPERTY},
     {B_DIRECT_SPECIFIER},
     "whether the window is the active one; true activates it",
     0,
     {B_BOOL_TYPE},
     {},
     {}},
    {"Look",
     {B_GET_PROPERTY},
     {B_DIRECT_SPECIFIER},
     "the window's look",
     0,
     {B_INT32_TYPE},
     {},
     {}},
    {"Feel",
     {B_GET_PROPERTY},
     {B_DIRECT_SPECIFIER},
     "the window's feel",
     0,
     {B_INT32_TYPE},
     {},
     {}},
    {"Flags",
     {B_GET_PROPERTY},
     {B_DIRECT_SPECIFIER},
     "the window's flags",
     0,
     {B_INT32_TYPE},
     {},
     {}},
    {"MenuBar", {}, {B_DIRECT_SPECIFIER}, "the window's key menu bar", 0, {}, {}, {}},
    {"View",
     {B_COUNT_PROPERTIES},
     {B_DIRECT_SPECIFIER},
     "how many views the top view holds",
     0,
     {B_INT32_TYPE},
     {},
     {}},
    {"View",
     {},
     {B_INDEX_SPECIFIER, B_REVERSE_INDEX_SPECIFIER, B_NAME_SPECIFIER},
     "the top view's children; a name is looked for at any depth",
     0,
     {},
     {},
     {}},
    {},
};

// Answers a get of a value that only reads.
bool reply_int32(BMessage* message, int32 value)
{
	if (message->what != B_GET_PROPERTY)
		return false;
	BMessage reply(B_REPLY);
	reply.AddInt32("result", value);
	BPrivate::send_scripting_reply(message, &reply, B_OK);
	return true;
}

bool reply_bool(BMessage* message, bool value)
{
	if (message->what != B_GET_PROPERTY)
		return false;
	BMessage reply(B_REPLY);
	reply.AddBool("result", value);
	BPrivate::send_scripting_reply(message, &reply, B_OK);
	return true;
}

bool answer_window_property(BWindow* window, BMessage* message, const char* property)
{
	const bool set = message->what == B_SET_PROPERTY;
	if (strcmp(property, "Title") == 0) {
		if (set) {
			const char* title = nullptr;
			status_t status = message->FindString("data", &title);
			if (status == B_OK)
				window->SetTitle(title);
			BPrivate::send_scripting_reply(message, nullptr, status == B_OK ? B_OK : B_BAD_VALUE);
			return true;
		}
		if (message->what != B_GET_PROPERTY)
			return false;
		BMessage reply(B_REPLY);
		reply.AddString("result", window->Title());
		BPrivate::send_scripting_reply(message, &reply, B_OK);
		return true;
	}
	if (strcmp(property, "Frame") == 0) {
		if (set) {
			BRect frame;
			status_t status = message->FindRect("data", &frame);
			if (status == B_OK) {
				window->MoveTo(frame.LeftTop());
				window->ResizeTo(frame.Width(), frame.Height());
			}
			BPrivate::send_scripting_reply(message, nullptr, status == B_OK ? B_OK : B_BAD_VALUE);
			return true;
		}
		if (message->what != B_GET_PROPERTY)
			return false;
		BMessage reply(B_REPLY);
		reply.AddRect("result", window->Frame());
		BPrivate::send_scripting_reply(message, &reply, B_OK);
		return true;
	}
	if (strcmp(property, "Hidden") == 0 || strcmp(property, "Active") == 0) {
		const bool hidden = property[0] == 'H';
		if (!set)
			return reply_bool(message, hidden ? window->IsHidden() : window->IsActive());
		bool value = false;
		status_t status = message->FindBool("data", &value);
		if (status == B_OK && hidden && value != window->IsHidden()) {
			if (value)
				window->Hide();
			else
				window->Show();
		} else if (status == B_OK && !hidden && value) {
			window->Activate(true);
		}
		BPrivate::send_scripting_reply(message, nullptr, status == B_OK ? B_OK : B_BAD_VALUE);
		return true;
	}
	if (strcmp(property, "Look") == 0)
		return reply_int32(message, window->Look());
	if (strcmp(property, "Feel") == 0)
		return reply_int32(message, window->Feel());
	if (strcmp(property, "Flags") == 0)
		return reply_int32(message, (int32)window->Flags());
	if (strcmp(property, "View") == 0 && message->what == B_COUNT_PROPERTIES) {
		BMessage reply(B_REPLY);
		reply.AddInt32("result", window->CountChildren());
		BPrivate::send_scripting_reply(message, &reply, B_OK);
		return true;
	}
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
	BPropertyInfo info(sWindowProperties);
	if (property == nullptr || info.FindMatch(message, index, specifier, form, property) < 0)
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
