// The standard scripting suites inside one process: a window's own answers
// come before the layer's, and views, controls and menus (submenus too,
// which are no views of the window) answer as the suites say.
#include <cstring>

#include <gtest/gtest.h>

#include "Button.h"
#include "InterfaceTestSupport.h"
#include "Menu.h"
#include "MenuBar.h"
#include "MenuItem.h"
#include "Messenger.h"
#include "TextControl.h"

using namespace interfacetest;

namespace {

// Answers "Title" itself; everything else is left to the layer.
class OwnTitleWindow : public RecordingWindow
{
public:
	OwnTitleWindow() : RecordingWindow(BRect(80, 80, 480, 380), "layer title") {}

	BHandler* ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier, int32 form,
	                           const char* property) override
	{
		if (strcmp(property, "Title") == 0)
			return this;
		return RecordingWindow::ResolveSpecifier(message, index, specifier, form, property);
	}
	void MessageReceived(BMessage* message) override
	{
		const char* property = nullptr;
		int32 index;
		int32 form;
		BMessage specifier;
		if (message->what == B_GET_PROPERTY &&
		    message->GetCurrentSpecifier(&index, &specifier, &form, &property) == B_OK &&
		    strcmp(property, "Title") == 0) {
			BMessage reply(B_REPLY);
			reply.AddString("result", "the window's own");
			message->SendReply(&reply);
			return;
		}
		RecordingWindow::MessageReceived(message);
	}
};

BMessage Ask(BWindow* window, BMessage request)
{
	BMessage reply;
	EXPECT_EQ(B_OK, BMessenger(window).SendMessage(&request, &reply, 3000000, 3000000));
	return reply;
}

BMessage Request(uint32 what, std::initializer_list<const char*> chain)
{
	// The chain is given outermost last, as it is read: "Label of MenuItem
	// 0 of ..." adds Label first.
	BMessage request(what);
	for (const char* property : chain)
		request.AddSpecifier(property);
	return request;
}

TEST(ScriptingSuites, AWindowsOwnAnswerComesBeforeTheLayers)
{
	Watchdog watchdog(20);
	OwnTitleWindow* window = new OwnTitleWindow;
	window->Show();
	BMessage reply = Ask(window, Request(B_GET_PROPERTY, {"Title"}));
	EXPECT_STREQ("the window's own", reply.GetString("result", ""));
	// What it does not answer itself, the window suite still does.
	reply = Ask(window, Request(B_GET_PROPERTY, {"Frame"}));
	BRect frame;
	ASSERT_EQ(B_OK, reply.FindRect("result", &frame));
	EXPECT_EQ(window->Frame(), frame);
	close_window(window);
}

TEST(ScriptingSuites, ControlsAnswerAndAreInvokedAsAClickDoes)
{
	Watchdog watchdog(20);
	RecordingWindow* window = new RecordingWindow;
	BButton* button = new BButton(BRect(10, 10, 100, 35), "button", "Press", new BMessage('prss'));
	BTextControl* field = new BTextControl(BRect(10, 50, 300, 75), "field", "Field:", "", nullptr);
	window->AddChild(button);
	window->AddChild(field);
	window->Show();

	BMessage press(B_EXECUTE_PROPERTY);
	press.AddSpecifier("View", "button");
	BMessage reply = Ask(window, press);
	EXPECT_EQ(B_OK, reply.GetInt32("error", -1));
	ASSERT_TRUE(window->WaitFor('prss'));
	void* source = nullptr;
	window->Find('prss')->FindPointer("source", &source);
	EXPECT_EQ(static_cast<void*>(button), source);

	BMessage set(B_SET_PROPERTY);
	set.AddSpecifier("Text");
	set.AddSpecifier("View", "field");
	set.AddString("data", "typed ünïcode");
	EXPECT_EQ(B_OK, Ask(window, set).GetInt32("error", -1));
	window->Lock();
	EXPECT_STREQ("typed ünïcode", field->Text());
	window->Unlock();

	BMessage frame(B_SET_PROPERTY);
	frame.AddSpecifier("Frame");
	frame.AddSpecifier("View", (int32)0);
	frame.AddRect("data", BRect(20, 15, 140, 45));
	EXPECT_EQ(B_OK, Ask(window, frame).GetInt32("error", -1));
	window->Lock();
	EXPECT_EQ(BRect(20, 15, 140, 45), button->Frame());
	window->Unlock();
	close_window(window);
}

TEST(ScriptingSuites, SubmenuItemsAreFoundMarkedAndChosen)
{
	Watchdog watchdog(20);
	RecordingWindow* window = new RecordingWindow;
	BMenuBar* bar = new BMenuBar(BRect(0, 0, 1000, 15), "MB");
	BMenu* outer = new BMenu("Outer");
	BMenu* inner = new BMenu("Inner");
	inner->AddItem(new BMenuItem("First", new BMessage('frst')));
	inner->AddItem(new BMenuItem("Second", new BMessage('scnd')));
	outer->AddItem(inner);
	bar->AddItem(outer);
	window->AddChild(bar);
	window->Show();

	BMessage choose(B_EXECUTE_PROPERTY);
	choose.AddSpecifier("MenuItem", "Second");
	choose.AddSpecifier("Menu", "Inner");
	choose.AddSpecifier("Menu", (int32)0);
	choose.AddSpecifier("MenuBar");
	EXPECT_EQ(B_OK, Ask(window, choose).GetInt32("error", -1));
	ASSERT_TRUE(window->WaitFor('scnd'));

	BMessage mark(B_SET_PROPERTY);
	mark.AddSpecifier("Marked");
	mark.AddSpecifier("MenuItem", (int32)0);
	mark.AddSpecifier("Menu", "Inner");
	mark.AddSpecifier("Menu", "Outer");
	mark.AddSpecifier("MenuBar");
	mark.AddBool("data", true);
	EXPECT_EQ(B_OK, Ask(window, mark).GetInt32("error", -1));
	window->Lock();
	EXPECT_TRUE(inner->ItemAt(0)->IsMarked());
	window->Unlock();

	BMessage count(B_COUNT_PROPERTIES);
	count.AddSpecifier("MenuItem");
	count.AddSpecifier("Menu", "Inner");
	count.AddSpecifier("Menu", "Outer");
	count.AddSpecifier("MenuBar");
	EXPECT_EQ(2, Ask(window, count).GetInt32("result", -1));

	// An item that is not there, by index and by label.
	BMessage missing(B_GET_PROPERTY);
	missing.AddSpecifier("Label");
	missing.AddSpecifier("MenuItem", (int32)5);
	missing.AddSpecifier("Menu", "Inner");
	missing.AddSpecifier("Menu", "Outer");
	missing.AddSpecifier("MenuBar");
	BMessage reply = Ask(window, missing);
	EXPECT_EQ((uint32)B_MESSAGE_NOT_UNDERSTOOD, reply.what);
	EXPECT_EQ(B_BAD_INDEX, reply.GetInt32("error", 0));
	close_window(window);
}

} // namespace
