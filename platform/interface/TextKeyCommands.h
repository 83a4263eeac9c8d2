// The keys the text view acts on, in one table: the widget claims exactly
// these before any shortcut sees them, and its key handler does what the
// table says.
#ifndef _TEXT_KEY_COMMANDS_H
#define _TEXT_KEY_COMMANDS_H

#include <QString>

class QKeyEvent;

namespace BPrivate {

enum class KeyCommand {
	kNone,
	kUndo,
	kRedo,
	kEnter,
	kCopy,
	kCut,
	kPaste,
	kSelectAll,
	kDeletePrevious,
	kDeleteNext,
	kDeleteStartOfWord,
	kDeleteEndOfWord,
	kDeleteEndOfLine,
	kDeleteLine,
	kNextChar,
	kPreviousChar,
	kNextWord,
	kPreviousWord,
	kNextLine,
	kPreviousLine,
	kStartOfLine,
	kEndOfLine,
	kStartOfParagraph,
	kEndOfParagraph,
	kStartOfText,
	kEndOfText,
	kNextPage,
	kPreviousPage,
};

struct KeyAction
{
	KeyCommand command = KeyCommand::kNone;
	bool extend = false; // a move that extends the selection
};

// What the key asks of the view, by the first entry of the table that
// matches it.
KeyAction key_action(const QKeyEvent* event);

// Text a key press types, or an empty string.
QString typed_text(const QKeyEvent* event);

// Whether the key is the view's rather than a shortcut's: it types or it
// has a command.
bool is_text_view_key(const QKeyEvent* event);

} // namespace BPrivate

#endif // _TEXT_KEY_COMMANDS_H
