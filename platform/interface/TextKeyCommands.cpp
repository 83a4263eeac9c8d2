#include "TextKeyCommands.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace BPrivate {

namespace {

// A standard key of the platform's scheme, or, for the keys that have none,
// a key with the modifiers it needs (those in ignored may be held or not).
struct KeyBinding
{
	QKeySequence::StandardKey standard;
	int key;
	Qt::KeyboardModifiers required;
	Qt::KeyboardModifiers ignored;
	KeyAction action;
};

constexpr Qt::KeyboardModifiers kNoModifier = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kAnyModifier = Qt::KeyboardModifierMask;

constexpr KeyBinding standard(QKeySequence::StandardKey key, KeyCommand command,
                              bool extend = false)
{
	return KeyBinding{key, 0, kNoModifier, kNoModifier, KeyAction{command, extend}};
}

constexpr KeyBinding plain(int key, Qt::KeyboardModifiers required, Qt::KeyboardModifiers ignored,
                           KeyCommand command)
{
	return KeyBinding{QKeySequence::UnknownKey, key, required, ignored, KeyAction{command, false}};
}

// In the order they are tried: where the platform binds one key to two
// commands, the earlier wins.
const KeyBinding kBindings[] = {
    standard(QKeySequence::Undo, KeyCommand::kUndo),
    standard(QKeySequence::Redo, KeyCommand::kRedo),
    plain(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, Qt::KeypadModifier,
          KeyCommand::kRedo),
    plain(Qt::Key_Return, kNoModifier, kAnyModifier, KeyCommand::kEnter),
    plain(Qt::Key_Enter, kNoModifier, kAnyModifier, KeyCommand::kEnter),
    standard(QKeySequence::Copy, KeyCommand::kCopy),
    standard(QKeySequence::Cut, KeyCommand::kCut),
    standard(QKeySequence::Paste, KeyCommand::kPaste),
    standard(QKeySequence::SelectAll, KeyCommand::kSelectAll),
    plain(Qt::Key_Backspace, kNoModifier, Qt::ShiftModifier | Qt::KeypadModifier,
          KeyCommand::kDeletePrevious),
    standard(QKeySequence::Delete, KeyCommand::kDeleteNext),
    standard(QKeySequence::DeleteStartOfWord, KeyCommand::kDeleteStartOfWord),
    standard(QKeySequence::DeleteEndOfWord, KeyCommand::kDeleteEndOfWord),
    standard(QKeySequence::DeleteEndOfLine, KeyCommand::kDeleteEndOfLine),
    standard(QKeySequence::DeleteCompleteLine, KeyCommand::kDeleteLine),
    standard(QKeySequence::MoveToNextChar, KeyCommand::kNextChar),
    standard(QKeySequence::SelectNextChar, KeyCommand::kNextChar, true),
    standard(QKeySequence::MoveToPreviousChar, KeyCommand::kPreviousChar),
    standard(QKeySequence::SelectPreviousChar, KeyCommand::kPreviousChar, true),
    standard(QKeySequence::MoveToNextWord, KeyCommand::kNextWord),
    standard(QKeySequence::SelectNextWord, KeyCommand::kNextWord, true),
    standard(QKeySequence::MoveToPreviousWord, KeyCommand::kPreviousWord),
    standard(QKeySequence::SelectPreviousWord, KeyCommand::kPreviousWord, true),
    standard(QKeySequence::MoveToNextLine, KeyCommand::kNextLine),
    standard(QKeySequence::SelectNextLine, KeyCommand::kNextLine, true),
    standard(QKeySequence::MoveToPreviousLine, KeyCommand::kPreviousLine),
    standard(QKeySequence::SelectPreviousLine, KeyCommand::kPreviousLine, true),
    standard(QKeySequence::MoveToStartOfLine, KeyCommand::kStartOfLine),
    standard(QKeySequence::SelectStartOfLine, KeyCommand::kStartOfLine, true),
    standard(QKeySequence::MoveToEndOfLine, KeyCommand::kEndOfLine),
    standard(QKeySequence::SelectEndOfLine, KeyCommand::kEndOfLine, true),
    standard(QKeySequence::MoveToStartOfBlock, KeyCommand::kStartOfParagraph),
    standard(QKeySequence::SelectStartOfBlock, KeyCommand::kStartOfParagraph, true),
    standard(QKeySequence::MoveToEndOfBlock, KeyCommand::kEndOfParagraph),
    standard(QKeySequence::SelectEndOfBlock, KeyCommand::kEndOfParagraph, true),
    standard(QKeySequence::MoveToStartOfDocument, KeyCommand::kStartOfText),
    standard(QKeySequence::SelectStartOfDocument, KeyCommand::kStartOfText, true),
    standard(QKeySequence::MoveToEndOfDocument, KeyCommand::kEndOfText),
    standard(QKeySequence::SelectEndOfDocument, KeyCommand::kEndOfText, true),
    standard(QKeySequence::MoveToNextPage, KeyCommand::kNextPage),
    standard(QKeySequence::SelectNextPage, KeyCommand::kNextPage, true),
    standard(QKeySequence::MoveToPreviousPage, KeyCommand::kPreviousPage),
    standard(QKeySequence::SelectPreviousPage, KeyCommand::kPreviousPage, true),
};

bool matches(const KeyBinding& binding, const QKeyEvent* event)
{
	if (binding.standard != QKeySequence::UnknownKey)
		return event->matches(binding.standard);
	return event->key() == binding.key &&
	       (event->modifiers() & ~binding.ignored) == binding.required;
}

} // namespace

KeyAction key_action(const QKeyEvent* event)
{
	for (const KeyBinding& binding : kBindings) {
		if (matches(binding, event))
			return binding.action;
	}
	return KeyAction();
}

QString typed_text(const QKeyEvent* event)
{
	const QString text = event->text();
	if (text.isEmpty())
		return QString();
	const Qt::KeyboardModifiers modifiers = event->modifiers();
	// Ctrl alone makes a command; Ctrl+Alt is AltGr on many keyboards.
	if ((modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier))
		return QString();
	for (QChar c : text) {
		if (!c.isPrint() && c != QChar('\t') && !c.isSurrogate())
			return QString();
	}
	return text;
}

bool is_text_view_key(const QKeyEvent* event)
{
	return key_action(event).command != KeyCommand::kNone || !typed_text(event).isEmpty();
}

} // namespace BPrivate
