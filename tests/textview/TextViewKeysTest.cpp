// The keys the text view acts on are the keys it claims before shortcuts:
// a key it would handle must never go to a menu or window shortcut first,
// and a key it claims must do something.
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "TextViewTestSupport.h"
#include "ViewPrivate.h"

namespace {

// The last standard key Qt 6 defines.
constexpr int kLastStandardKey = QKeySequence::Cancel;

struct KeyResult
{
	bool claimed;
	bool handled;
};

KeyResult press(QWidget* widget, QKeyCombination combination)
{
	const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
	const int key = combination.key();
	// The text a keyboard would send with the key; none with Ctrl, Alt or
	// Meta held, as the view types nothing then.
	QString text;
	if (!(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
		if (key == Qt::Key_Tab)
			text = QStringLiteral("\t");
		else if (key == Qt::Key_Return || key == Qt::Key_Enter)
			text = QStringLiteral("\r");
		else if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde)
			text = QChar(key).toLower();
	}
	QKeyEvent override(QEvent::ShortcutOverride, key, modifiers, text);
	override.ignore();
	QApplication::sendEvent(widget, &override);
	QKeyEvent keyPress(QEvent::KeyPress, key, modifiers, text);
	keyPress.ignore();
	QApplication::sendEvent(widget, &keyPress);
	return KeyResult{override.isAccepted(), keyPress.isAccepted()};
}

std::set<std::pair<int, int>> keys_to_try()
{
	std::set<std::pair<int, int>> keys;
	for (int standard = 1; standard <= kLastStandardKey; standard++) {
		for (const QKeySequence& sequence :
		     QKeySequence::keyBindings((QKeySequence::StandardKey)standard)) {
			if (sequence.count() == 1)
				keys.insert({sequence[0].key(), (int)sequence[0].keyboardModifiers()});
		}
	}
	// Keys without a standard key of their own, and typing.
	const int modifiers[] = {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier,
	                         Qt::AltModifier, Qt::ControlModifier | Qt::ShiftModifier};
	for (int key :
	     {(int)Qt::Key_Backspace, (int)Qt::Key_Return, (int)Qt::Key_Enter, (int)Qt::Key_Tab,
	      (int)Qt::Key_Z, (int)Qt::Key_K, (int)Qt::Key_A, (int)Qt::Key_Space}) {
		for (int modifier : modifiers)
			keys.insert({key, modifier});
	}
	return keys;
}

} // namespace

TEST(TextViewKeys, EveryKeyTheViewActsOnIsClaimedAndNoOther)
{
	const std::set<std::pair<int, int>> keys = keys_to_try();
	ASSERT_GT(keys.size(), 40u);
	for (const auto& [key, modifiers] : keys) {
		RecordingTextView view;
		view.SetText("alpha beta gamma\ndelta epsilon zeta\neta theta");
		view.Select(20, 20);
		QWidget* widget = BPrivate::ViewAccess::Widget(&view);
		const QKeyCombination combination((Qt::KeyboardModifiers)modifiers, (Qt::Key)key);
		const KeyResult result = press(widget, combination);
		EXPECT_EQ(result.claimed, result.handled)
		    << QKeySequence(combination).toString().toStdString()
		    << (result.handled ? " is handled but not claimed" : " is claimed but not handled");
	}
}

// The two line deletions were handled but went to shortcuts first.
TEST(TextViewKeys, LineDeletionsAreClaimedAndDelete)
{
	const std::pair<QKeySequence::StandardKey, const char*> cases[] = {
	    {QKeySequence::DeleteEndOfLine, "alpha beta gamma\ndelta \neta theta"},
	    {QKeySequence::DeleteCompleteLine, "alpha beta gamma\neta theta"},
	};
	int tried = 0;
	for (const auto& [standard, expected] : cases) {
		for (const QKeySequence& sequence : QKeySequence::keyBindings(standard)) {
			RecordingTextView view;
			view.SetText("alpha beta gamma\ndelta epsilon zeta\neta theta");
			view.Select(23, 23);
			QWidget* widget = BPrivate::ViewAccess::Widget(&view);
			const KeyResult result = press(widget, sequence[0]);
			EXPECT_TRUE(result.claimed) << sequence.toString().toStdString();
			EXPECT_TRUE(result.handled) << sequence.toString().toStdString();
			EXPECT_EQ(view.Content(), expected) << sequence.toString().toStdString();
			tried++;
		}
	}
	if (tried == 0)
		GTEST_SKIP() << "the platform's key scheme binds neither line deletion";
}
