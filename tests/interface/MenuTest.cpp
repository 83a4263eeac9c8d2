// Menus: item lists, radio mode, label from marked, invoking and targets,
// and Ctrl shortcuts.
#include <QAction>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "InterfaceTestSupport.h"
#include "Menu.h"
#include "MenuBar.h"
#include "MenuField.h"
#include "MenuItem.h"
#include "MenuPrivate.h"
#include "PopUpMenu.h"
#include "TextControl.h"
#include "TextView.h"
#include "ViewPrivate.h"

using namespace interfacetest;
using BPrivate::MenuAccess;

namespace {

BMenuItem* item(const char* label, uint32 what = 'item', char shortcut = 0)
{
	return new BMenuItem(label, new BMessage(what), shortcut);
}

// A window with a menu bar: File (New, Help Ctrl-H, Quit Ctrl-Q to the
// application) and Edit (Copy Ctrl-C), and a text control.
struct MenuWindow
{
	MenuWindow()
	{
		window = new RecordingWindow(BRect(60, 60, 510, 410), "menus");
		bar = new BMenuBar(BRect(0, 0, 1000, 15), "MB");
		file = new BMenu("File");
		file->AddItem(item("New", 'newd'));
		file->AddItem(help = item("Help", 'hlps', 'H'));
		file->AddSeparatorItem();
		file->AddItem(quit = new BMenuItem("Quit", new BMessage('tqut'), 'Q', B_COMMAND_KEY));
		quit->SetTarget(be_app);
		BMenu* edit = new BMenu("Edit");
		edit->AddItem(copy = item("Copy", B_COPY, 'C'));
		bar->AddItem(file);
		bar->AddItem(edit);
		window->AddChild(bar);
		field = new BTextControl(BRect(10, 40, 300, 65), "field", "Field:", "", nullptr);
		window->AddChild(field);
		window->Show();
	}
	~MenuWindow() { close_window(window); }

	RecordingWindow* window;
	BMenuBar* bar;
	BMenu* file;
	BMenuItem* help;
	BMenuItem* quit;
	BMenuItem* copy;
	BTextControl* field;
};

QMenuBar* qt_bar(BMenuBar* bar)
{
	return static_cast<QMenuBar*>(BPrivate::ViewAccess::Widget(bar));
}

// Opens the menu as a pop-up and clicks the row of the item.
void click_item(BMenu* menu, BMenuItem* target)
{
	QMenu* qmenu = MenuAccess::QtMenu(menu);
	qmenu->popup(QPoint(20, 20));
	ASSERT_TRUE(wait_until([&] { return qmenu->isVisible(); }));
	QWidget* row = MenuAccess::ItemWidget(target);
	ASSERT_NE(row, nullptr);
	ASSERT_TRUE(wait_until([&] { return row->isVisible(); }));
	QTest::mouseClick(row, Qt::LeftButton, Qt::NoModifier, row->rect().center());
}

} // namespace

TEST(Menu, ItemsAreAddedAndRemovedAtTheirPlace)
{
	BMenu menu("menu");
	BMenuItem* a = item("a");
	BMenuItem* b = item("b");
	BMenuItem* c = item("c");
	EXPECT_TRUE(menu.AddItem(a));
	EXPECT_TRUE(menu.AddItem(c));
	EXPECT_TRUE(menu.AddItem(b, 1));
	EXPECT_EQ(menu.CountItems(), 3);
	EXPECT_EQ(menu.ItemAt(1), b);
	EXPECT_EQ(menu.IndexOf(c), 2);
	EXPECT_EQ(b->Menu(), &menu);

	EXPECT_EQ(menu.RemoveItem(0), a);
	EXPECT_EQ(a->Menu(), nullptr);
	EXPECT_EQ(menu.IndexOf(a), -1);
	EXPECT_EQ(menu.ItemAt(0), b);
	EXPECT_EQ(menu.RemoveItem(5), nullptr);
	EXPECT_EQ(menu.RemoveItem(-1), nullptr);

	// Bad places and items that belong elsewhere are refused.
	EXPECT_FALSE(menu.AddItem(a, 7));
	EXPECT_FALSE(menu.AddItem(a, -1));
	EXPECT_FALSE(menu.AddItem(b));
	EXPECT_FALSE(menu.AddItem((BMenuItem*)nullptr));
	EXPECT_TRUE(menu.AddItem(a, 2));
	EXPECT_EQ(menu.ItemAt(2), a);

	BMenu* sub = new BMenu("sub");
	sub->AddItem(item("deep"));
	EXPECT_TRUE(menu.AddItem(sub));
	EXPECT_EQ(menu.ItemAt(3)->Submenu(), sub);
	EXPECT_STREQ(menu.ItemAt(3)->Label(), "sub");
	EXPECT_EQ(sub->Supermenu(), &menu);
	EXPECT_NE(menu.FindItem("deep"), nullptr);
	EXPECT_EQ(menu.FindItem("nothing"), nullptr);
	EXPECT_EQ(menu.FindItem('item'), b);

	// Emptying from the front, as a pop-up rebuild does.
	while (BMenuItem* removed = menu.RemoveItem((int32)0))
		delete removed;
	EXPECT_EQ(menu.CountItems(), 0);
}

TEST(Menu, RadioModeMarksOnlyThePickedItem)
{
	BPopUpMenu menu("choose", true, false);
	BMenuItem* a = item("a");
	BMenuItem* b = item("b");
	BMenuItem* c = item("c");
	menu.AddItem(a);
	menu.AddItem(b);
	menu.AddItem(c);
	a->SetMarked(true);

	MenuAccess::ItemPicked(b);
	EXPECT_FALSE(a->IsMarked());
	EXPECT_TRUE(b->IsMarked());
	EXPECT_EQ(menu.FindMarked(), b);

	c->SetMarked(true);
	EXPECT_FALSE(b->IsMarked());
	EXPECT_EQ(menu.FindMarked(), c);

	// Without radio mode picking marks nothing and marks stay independent.
	BPopUpMenu plain("plain", false, false);
	BMenuItem* x = item("x");
	BMenuItem* y = item("y");
	plain.AddItem(x);
	plain.AddItem(y);
	MenuAccess::ItemPicked(x);
	EXPECT_FALSE(x->IsMarked());
	x->SetMarked(true);
	y->SetMarked(true);
	EXPECT_TRUE(x->IsMarked());
}

TEST(Menu, FieldShowsTheTitleOrTheMarkedLabel)
{
	RecordingWindow* window = new RecordingWindow;
	BPopUpMenu* follows = new BPopUpMenu("Pick one");
	BMenuItem* first = item("First");
	BMenuItem* second = item("Second");
	follows->AddItem(first);
	follows->AddItem(second);
	BMenuField* field = new BMenuField(BRect(10, 10, 200, 35), "field", "Label:", follows);
	window->AddChild(field);
	QPushButton* button =
	    qobject_cast<QPushButton*>(BPrivate::ViewAccess::Widget(field->MenuBar()));
	ASSERT_NE(button, nullptr);
	EXPECT_EQ(button->text(), QString("Pick one"));
	EXPECT_EQ(button->menu(), MenuAccess::QtMenu(follows));

	MenuAccess::ItemPicked(second);
	EXPECT_TRUE(second->IsMarked());
	EXPECT_STREQ(follows->Superitem()->Label(), "Second");
	EXPECT_EQ(button->text(), QString("Second"));
	EXPECT_EQ(field->Menu(), follows);
	field->SetEnabled(false);
	EXPECT_FALSE(button->isEnabled());
	EXPECT_FALSE(second->IsEnabled());
	field->SetEnabled(true);
	EXPECT_TRUE(button->isEnabled());

	// The reference pop-up's kind: no radio mode, so the title stays.
	BPopUpMenu* titled = new BPopUpMenu("Application Reference", false, true);
	BMenuItem* app = item("app");
	titled->AddItem(app);
	BMenuField* other = new BMenuField(BRect(10, 40, 200, 65), "other", " ", titled);
	other->SetDivider(0);
	window->AddChild(other);
	MenuAccess::ItemPicked(app);
	EXPECT_FALSE(app->IsMarked());
	EXPECT_STREQ(titled->Superitem()->Label(), "Application Reference");
	EXPECT_FLOAT_EQ(other->MenuBar()->Frame().left, 0);
	EXPECT_FLOAT_EQ(other->MenuBar()->Frame().right, 190);

	// The fields' bars show on their buttons and make no Qt menu bar; a
	// bar made after them still gets one.
	EXPECT_TRUE(BPrivate::ViewAccess::Widget(field)->findChildren<QMenuBar*>().isEmpty());
	BMenuBar* plainBar = new BMenuBar(BRect(0, 0, 100, 15), "plain");
	EXPECT_NE(qobject_cast<QMenuBar*>(BPrivate::ViewAccess::Widget(plainBar)), nullptr);
	delete plainBar;
	close_window(window);
}

TEST(Menu, ClickedItemSendsSourceIndexAndWhenToItsWindow)
{
	MenuWindow setup;
	click_item(setup.file, setup.help);
	ASSERT_TRUE(setup.window->WaitFor('hlps'));
	const BMessage* message = setup.window->Find('hlps');
	void* source = nullptr;
	EXPECT_EQ(message->FindPointer("source", &source), B_OK);
	EXPECT_EQ(source, setup.help);
	int32 index = -1;
	EXPECT_EQ(message->FindInt32("index", &index), B_OK);
	EXPECT_EQ(index, 1);
	int64 when = 0;
	EXPECT_EQ(message->FindInt64("when", &when), B_OK);
	EXPECT_GT(when, 0);
	EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST(Menu, ItemsTargetedAtTheApplicationReachIt)
{
	MenuWindow setup;
	test_app()->ClearReceived();
	BMenuItem* about = new BMenuItem("About", new BMessage('tabr'));
	setup.file->AddItem(about);
	EXPECT_EQ(about->SetTarget(be_app), B_OK);
	MenuAccess::ItemPicked(about);
	EXPECT_TRUE(wait_until([] {
		for (const BMessage& message : test_app()->Received()) {
			if (message.what == 'tabr')
				return true;
		}
		return false;
	}));
	ASSERT_TRUE(setup.window->WaitUntilIdle());
	EXPECT_EQ(setup.window->Find('tabr'), nullptr);

	// SetTargetForItems sends every item of the menu to the given handler.
	BView* handler = new BView(BRect(0, 0, 1, 1), "handler", B_FOLLOW_NONE, 0);
	setup.window->AddChild(handler);
	setup.file->SetTargetForItems(setup.window);
	MenuAccess::ItemPicked(about);
	EXPECT_TRUE(setup.window->WaitFor('tabr'));
}

TEST(Menu, CtrlShortcutsReachTheWindowWhateverHasTheFocus)
{
	MenuWindow setup;
	setup.field->MakeFocus(true);
	QWidget* focused = BPrivate::ViewAccess::Widget(setup.field->TextView());
	ASSERT_TRUE(wait_until([&] { return focused->isVisible(); }));

	QTest::keyClick(focused, Qt::Key_H, Qt::ControlModifier);
	EXPECT_TRUE(setup.window->WaitFor('hlps'));

	// Ctrl-C goes through the Edit menu's item, not the text field's own
	// copy, so the window can pass it on to the focused view.
	QTest::keyClick(focused, Qt::Key_C, Qt::ControlModifier);
	EXPECT_TRUE(setup.window->WaitFor(B_COPY));

	// A disabled item's shortcut does nothing; neither does the key alone.
	setup.window->received.clear();
	setup.help->SetEnabled(false);
	QTest::keyClick(focused, Qt::Key_H, Qt::ControlModifier);
	QTest::keyClick(focused, Qt::Key_H);
	ASSERT_TRUE(setup.window->WaitUntilIdle());
	EXPECT_EQ(setup.window->Find('hlps'), nullptr);
}

TEST(Menu, ShortcutWithCommandModifierPostedAsKeyDownInvokesTheItem)
{
	MenuWindow setup;
	test_app()->ClearReceived();
	BMessage key(B_KEY_DOWN);
	key.AddInt32("modifiers", B_COMMAND_KEY);
	key.AddString("bytes", "q");
	setup.window->PostMessage(&key);
	EXPECT_TRUE(wait_until([] {
		for (const BMessage& message : test_app()->Received()) {
			if (message.what == 'tqut')
				return true;
		}
		return false;
	}));
}

TEST(Menu, KeyboardPicksAnItemInAnOpenMenu)
{
	MenuWindow setup;
	QMenu* qmenu = MenuAccess::QtMenu(setup.file);
	qmenu->popup(QPoint(20, 20));
	ASSERT_TRUE(wait_until([&] { return qmenu->isVisible(); }));
	// Down twice: New, then Help.
	QTest::keyClick(qmenu, Qt::Key_Down);
	QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : qmenu,
	                Qt::Key_Down);
	QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : qmenu;
	QTest::keyClick(target, Qt::Key_Return);
	ASSERT_TRUE(setup.window->WaitFor('hlps'));
	EXPECT_EQ(setup.window->Find('newd'), nullptr);
	EXPECT_TRUE(wait_until([&] { return !qmenu->isVisible(); }));
}

TEST(Menu, BarIsUpToDateWhenMeasuredAndMakesRowsOnlyWhenAMenuOpens)
{
	BMenuBar* bar = new BMenuBar(BRect(0, 0, 1000, 15), "MB");
	BMenu* file = new BMenu("File");
	file->AddItem(item("New"));
	file->AddItem(item("Open"));
	bar->AddItem(file);
	bar->AddItem(new BMenu("Edit"));
	QMenuBar* qbar = qt_bar(bar);

	// Measured before any turn of the event loop, the bar has both menus.
	EXPECT_GT(qbar->sizeHint().height(), 0);
	ASSERT_EQ(qbar->actions().size(), 2);
	EXPECT_EQ(qbar->actions()[0]->text(), QString("File"));
	EXPECT_EQ(qbar->actions()[1]->text(), QString("Edit"));

	// The File menu exists for the bar, its rows not yet; asking for the
	// menu as the layer's callers do builds them.
	QMenu* qfile = qbar->actions()[0]->menu();
	ASSERT_NE(qfile, nullptr);
	EXPECT_TRUE(qfile->actions().isEmpty());
	EXPECT_EQ(MenuAccess::QtMenu(file), qfile);
	EXPECT_EQ(qfile->actions().size(), 2);
	delete bar;
}

TEST(Menu, ItemsAddedToAShownWindowsMenusAppearAndWork)
{
	MenuWindow setup;
	QMenuBar* qbar = qt_bar(setup.bar);
	ASSERT_TRUE(wait_until([&] { return qbar->isVisible() && qbar->actions().size() == 2; }));

	// A menu added to the bar of an open window shows up by itself.
	BMenu* extra = new BMenu("Extra");
	extra->AddItem(item("Extra item", 'xtra'));
	setup.bar->AddItem(extra);
	ASSERT_TRUE(wait_until([&] { return qbar->actions().size() == 3; }));
	EXPECT_EQ(qbar->actions()[2]->text(), QString("Extra"));

	// An item added to a menu after the bar was built is there when the
	// menu opens from the bar, and picking it reaches the window.
	BMenuItem* late = item("Late", 'late');
	setup.file->AddItem(late);
	QMenu* qfile = qbar->actions()[0]->menu();
	ASSERT_NE(qfile, nullptr);
	qfile->popup(QPoint(20, 20));
	ASSERT_TRUE(wait_until([&] { return qfile->isVisible(); }));
	EXPECT_EQ(qfile->actions().size(), 5);
	QWidget* row = MenuAccess::ItemWidget(late);
	ASSERT_NE(row, nullptr);
	ASSERT_TRUE(wait_until([&] { return row->isVisible(); }));
	QTest::mouseClick(row, Qt::LeftButton, Qt::NoModifier, row->rect().center());
	EXPECT_TRUE(setup.window->WaitFor('late'));
}

TEST(Menu, BarDeletedBeforeItsDeferredRebuildLeavesNothingBehind)
{
	// Items added to a bar schedule its rebuild for the next turn of the
	// event loop; a bar gone by then must not be touched.
	BMenuBar* bar = new BMenuBar(BRect(0, 0, 1000, 15), "MB");
	bar->AddItem(new BMenu("File"));
	QPointer<QMenuBar> qbar = qt_bar(bar);
	delete bar;
	EXPECT_TRUE(qbar.isNull());
	settle();

	// The same with a bar whose menu goes first.
	BMenuBar* other = new BMenuBar(BRect(0, 0, 1000, 15), "MB");
	BMenu* menu = new BMenu("Edit");
	other->AddItem(menu);
	delete other->RemoveItem((int32)0);
	EXPECT_EQ(other->CountItems(), 0);
	settle();
	EXPECT_TRUE(qt_bar(other)->actions().isEmpty());
	delete other;
}

TEST(Menu, FieldButtonLooksLikeAButtonWithItsLabelAtTheLeft)
{
	// The look the field had from a style sheet, kept when painting it
	// directly: the same pixels, whatever the button's state.
	RecordingWindow* window = new RecordingWindow;
	BPopUpMenu* menu = new BPopUpMenu("Application Reference", false, true);
	menu->AddItem(item("one"));
	BMenuField* field = new BMenuField(BRect(10, 10, 110, 35), "field", " ", menu);
	field->SetDivider(0);
	window->AddChild(field);
	window->Show();
	QPushButton* button =
	    qobject_cast<QPushButton*>(BPrivate::ViewAccess::Widget(field->MenuBar()));
	ASSERT_NE(button, nullptr);
	ASSERT_TRUE(wait_until([&] { return button->isVisible(); }));

	QPushButton reference;
	reference.setStyleSheet(QStringLiteral("text-align: left; padding-left: 4px;"));
	reference.setFont(button->font());
	reference.setPalette(button->palette());
	reference.setMenu(button->menu());
	reference.setText(button->text());
	reference.resize(button->size());
	auto render = [](QWidget* widget) {
		QImage image(widget->size(), QImage::Format_ARGB32);
		image.fill(Qt::white);
		widget->render(&image);
		return image;
	};
	// Too long for the button: shortened, drawn up to the arrow.
	EXPECT_TRUE(button->text().startsWith(QString("Application")));
	EXPECT_NE(button->text(), QString("Application Reference"));
	EXPECT_EQ(render(button), render(&reference));
	button->setDown(true);
	reference.setDown(true);
	EXPECT_EQ(render(button), render(&reference));
	button->setDown(false);
	reference.setDown(false);
	field->SetEnabled(false);
	reference.setEnabled(false);
	EXPECT_EQ(render(button), render(&reference));
	reference.setMenu(nullptr);
	close_window(window);
}
