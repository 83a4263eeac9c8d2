// The application suite: its windows by index, reverse index or title, its
// name, and how many windows it has.
#include <cstring>
#include <string>

#include "Application.h"
#include "BusWire.h"
#include "Message.h"
#include "OS.h"
#include "PropertyInfo.h"
#include "PropertyRows.h"
#include "ScriptingReplies.h"
#include "WindowList.h"

namespace {

const char* kApplicationSuite = "suite/vnd.Be-application";

property_info sApplicationProperties[] = {
    BPrivate::element_row("Window", "the application's windows, by index or by title"),
    BPrivate::count_row("Window", "how many windows the application has"),
    BPrivate::get_row("Name", B_STRING_TYPE, "the name of the application's executable"),
    {},
};

} // namespace

namespace BPrivate {

bool answer_application_scripting(BApplication* app, BMessage* message)
{
	int32 form;
	const char* property = nullptr;
	if (!current_specifier(message, &form, &property) || form != B_DIRECT_SPECIFIER ||
	    property == nullptr)
		return false;
	BMessage reply(B_REPLY);
	if (message->what == B_COUNT_PROPERTIES && strcmp(property, "Window") == 0) {
		reply.AddInt32("result", app->CountWindows());
		send_scripting_reply(message, &reply, B_OK);
		return true;
	}
	if (message->what == B_GET_PROPERTY && strcmp(property, "Name") == 0) {
		std::string executable = executable_of(current_team());
		size_t slash = executable.rfind('/');
		std::string name = slash == std::string::npos ? executable : executable.substr(slash + 1);
		reply.AddString("result", name.c_str());
		send_scripting_reply(message, &reply, B_OK);
		return true;
	}
	return false;
}

} // namespace BPrivate

BHandler* BApplication::ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier,
                                         int32 form, const char* property)
{
	if (!BPrivate::suite_matches(sApplicationProperties, message, index, specifier, form, property))
		return BLooper::ResolveSpecifier(message, index, specifier, form, property);
	if (strcmp(property, "Window") != 0 || form == B_DIRECT_SPECIFIER)
		return this;

	BLooper* window = nullptr;
	int32 windowIndex = -1;
	const char* title = nullptr;
	if (form == B_NAME_SPECIFIER) {
		if (specifier->FindString("name", &title) == B_OK)
			window = BPrivate::window_looper_titled(title);
		if (window == nullptr) {
			BPrivate::send_not_understood(message, B_NAME_NOT_FOUND, "No window of that title");
			return nullptr;
		}
	} else if (specifier->FindInt32("index", &windowIndex) == B_OK &&
	           BPrivate::element_position(form, windowIndex, CountWindows(), &windowIndex)) {
		window = BPrivate::window_looper_at(windowIndex);
	}
	if (window == nullptr) {
		BPrivate::send_not_understood(message, B_BAD_INDEX, "No window at that index");
		return nullptr;
	}
	message->PopSpecifier();
	return window;
}

status_t BApplication::GetSupportedSuites(BMessage* data)
{
	const status_t status = BPrivate::add_suite(data, kApplicationSuite, sApplicationProperties);
	return status == B_OK ? BLooper::GetSupportedSuites(data) : status;
}
