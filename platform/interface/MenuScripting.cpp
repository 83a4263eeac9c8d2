// The menu suite: menus and their items by index or label, an item's label,
// mark and enabled state, and executing an item as choosing it does.
//
// Submenus are not views of the window (they open as pop-ups), so the
// looper cannot hand a request on to them; the menu that resolves the first
// "Menu" or "MenuItem" walks the rest of the chain itself and answers on the
// window's thread.
#include <cstring>

#include "Menu.h"
#include "MenuItem.h"
#include "Message.h"
#include "PropertyInfo.h"
#include "PropertyRows.h"
#include "ScriptingReplies.h"

namespace {

const char* kMenuSuite = "suite/vnd.Be-menu";

property_info sMenuProperties[] = {
    BPrivate::element_row("Menu", "a submenu, by the index or label of its item"),
    BPrivate::element_row("MenuItem", "an item, by index or label; B_EXECUTE_PROPERTY chooses it"),
    BPrivate::count_row("MenuItem", "how many items the menu has"),
    BPrivate::get_set_row("Label", B_STRING_TYPE,
                          "the label of the menu (of the item that opens it) or of an item"),
    BPrivate::get_set_row("Marked", B_BOOL_TYPE, "whether an item is marked"),
    BPrivate::get_set_row("Enabled", B_BOOL_TYPE, "whether the menu or an item can be chosen"),
    {},
};

struct Current
{
	bool present = false;
	int32 form = B_NO_SPECIFIER;
	const char* property = nullptr;
	BMessage specifier;
};

Current current_of(BMessage* message)
{
	Current current;
	current.present = BPrivate::current_specifier(message, &current.form, &current.property,
	                                              &current.specifier) &&
	                  current.property != nullptr;
	return current;
}

bool is(const Current& current, const char* property)
{
	return current.present && strcmp(current.property, property) == 0;
}

bool is_item_form(int32 form)
{
	return form == B_INDEX_SPECIFIER || form == B_REVERSE_INDEX_SPECIFIER ||
	       form == B_NAME_SPECIFIER;
}

// The item a "Menu" or "MenuItem" specifier names, or nullptr after the error
// reply.
BMenuItem* find_item(BMenu* menu, BMessage* message, const Current& current, bool needSubmenu)
{
	BMenuItem* item = nullptr;
	if (current.form == B_NAME_SPECIFIER) {
		const char* label = nullptr;
		if (current.specifier.FindString("name", &label) == B_OK && label != nullptr) {
			for (int32 i = 0; i < menu->CountItems() && item == nullptr; i++) {
				BMenuItem* candidate = menu->ItemAt(i);
				if (strcmp(candidate->Label(), label) == 0 &&
				    (!needSubmenu || candidate->Submenu() != nullptr))
					item = candidate;
			}
		}
		if (item == nullptr)
			BPrivate::send_not_understood(message, B_NAME_NOT_FOUND, "No menu item of that label");
		return item;
	}
	int32 index = -1;
	if (current.specifier.FindInt32("index", &index) == B_OK &&
	    BPrivate::element_position(current.form, index, menu->CountItems(), &index))
		item = menu->ItemAt(index);
	if (item != nullptr && needSubmenu && item->Submenu() == nullptr)
		item = nullptr;
	if (item == nullptr)
		BPrivate::send_not_understood(message, B_BAD_INDEX, "No menu item at that index");
	return item;
}

void reply_string(BMessage* message, const char* value)
{
	BMessage reply(B_REPLY);
	reply.AddString("result", value);
	BPrivate::send_scripting_reply(message, &reply, B_OK);
}

void reply_bool(BMessage* message, bool value)
{
	BMessage reply(B_REPLY);
	reply.AddBool("result", value);
	BPrivate::send_scripting_reply(message, &reply, B_OK);
}

// Label, Marked and Enabled of an item, get or set.
void answer_item_property(BMenuItem* item, BMessage* message, const char* property)
{
	const bool set = message->what == B_SET_PROPERTY;
	if (!set && message->what != B_GET_PROPERTY) {
		BPrivate::send_not_understood(message, B_BAD_SCRIPT_SYNTAX);
		return;
	}
	status_t status = B_OK;
	if (strcmp(property, "Label") == 0) {
		const char* label = nullptr;
		if (!set)
			return reply_string(message, item->Label());
		if ((status = message->FindString("data", &label)) == B_OK)
			item->SetLabel(label);
	} else if (strcmp(property, "Marked") == 0 || strcmp(property, "Enabled") == 0) {
		const bool marked = property[0] == 'M';
		bool value = false;
		if (!set)
			return reply_bool(message, marked ? item->IsMarked() : item->IsEnabled());
		if ((status = message->FindBool("data", &value)) == B_OK) {
			if (marked)
				item->SetMarked(value);
			else
				item->SetEnabled(value);
		}
	}
	BPrivate::send_scripting_reply(message, nullptr, status == B_OK ? B_OK : B_BAD_VALUE);
}

// What is left after "MenuItem": nothing (execute), a property of the item,
// or more of the chain inside its submenu. Returns the submenu to go on
// in, or nullptr when the request is answered.
BMenu* answer_item(BMenuItem* item, BMessage* message)
{
	Current current = current_of(message);
	if (!current.present) {
		if (message->what != B_EXECUTE_PROPERTY) {
			BPrivate::send_not_understood(message, B_BAD_SCRIPT_SYNTAX);
			return nullptr;
		}
		if (!item->IsEnabled()) {
			BPrivate::send_scripting_reply(message, nullptr, B_NOT_ALLOWED);
			return nullptr;
		}
		// As choosing it with the mouse does: a radio menu marks it first.
		BMenu* menu = item->Menu();
		if (menu != nullptr && menu->IsRadioMode())
			item->SetMarked(true);
		BPrivate::send_scripting_reply(message, nullptr, item->Invoke());
		return nullptr;
	}
	if (current.form == B_DIRECT_SPECIFIER &&
	    (is(current, "Label") || is(current, "Marked") || is(current, "Enabled"))) {
		answer_item_property(item, message, current.property);
		return nullptr;
	}
	if (item->Submenu() != nullptr)
		return item->Submenu();
	BPrivate::send_not_understood(message, B_BAD_SCRIPT_SYNTAX);
	return nullptr;
}

// Answers the menu's own properties; false when the request is none of
// them.
bool answer_menu_property(BMenu* menu, BMessage* message, const Current& current)
{
	if (current.form != B_DIRECT_SPECIFIER)
		return false;
	if (is(current, "MenuItem") && message->what == B_COUNT_PROPERTIES) {
		BMessage reply(B_REPLY);
		reply.AddInt32("result", menu->CountItems());
		BPrivate::send_scripting_reply(message, &reply, B_OK);
		return true;
	}
	if (!is(current, "Label") && !is(current, "Enabled"))
		return false;
	BMenuItem* super = menu->Superitem();
	if (is(current, "Label") && super != nullptr) {
		answer_item_property(super, message, "Label");
		return true;
	}
	const bool set = message->what == B_SET_PROPERTY;
	if (is(current, "Label")) {
		if (set)
			return false; // a menu bar has no label to change
		reply_string(message, menu->Name());
		return true;
	}
	if (!set) {
		reply_bool(message, menu->IsEnabled());
		return true;
	}
	bool enabled = false;
	status_t status = message->FindBool("data", &enabled);
	if (status == B_OK)
		menu->SetEnabled(enabled);
	BPrivate::send_scripting_reply(message, nullptr, status == B_OK ? B_OK : B_BAD_VALUE);
	return true;
}

} // namespace

BHandler* BMenu::ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier, int32 form,
                                  const char* property)
{
	if (!BPrivate::suite_matches(sMenuProperties, message, index, specifier, form, property))
		return BView::ResolveSpecifier(message, index, specifier, form, property);

	BMenu* menu = this;
	// Each step pops one specifier, so the walk ends.
	for (;;) {
		Current current = current_of(message);
		if (!current.present) {
			BPrivate::send_not_understood(message, B_BAD_SCRIPT_SYNTAX);
			return nullptr;
		}
		if (answer_menu_property(menu, message, current))
			return nullptr;
		const bool isMenu = is(current, "Menu");
		if ((!isMenu && !is(current, "MenuItem")) || !is_item_form(current.form)) {
			BPrivate::send_not_understood(message, B_BAD_SCRIPT_SYNTAX);
			return nullptr;
		}
		BMenuItem* item = find_item(menu, message, current, isMenu);
		if (item == nullptr)
			return nullptr;
		message->PopSpecifier();
		menu = isMenu ? item->Submenu() : answer_item(item, message);
		if (menu == nullptr)
			return nullptr;
	}
}

status_t BMenu::GetSupportedSuites(BMessage* data)
{
	const status_t status = BPrivate::add_suite(data, kMenuSuite, sMenuProperties);
	return status == B_OK ? BView::GetSupportedSuites(data) : status;
}
