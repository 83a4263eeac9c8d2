// The text view's undo history: steps of byte-offset edits, with redo.
//
// Typing at one place grows one step (a new step starts after a line feed
// or when typing jumps elsewhere); the changes of one user action (a paste,
// a drop) or of one turn of the program form one step each.
#ifndef _TEXT_VIEW_UNDO_H
#define _TEXT_VIEW_UNDO_H

#include <cstdint>
#include <string>
#include <vector>

namespace BPrivate {

// At offset, removed was replaced by inserted.
struct TextEdit
{
	int32_t offset = 0;
	std::string removed;
	std::string inserted;
};

enum class EditSource { kTyping, kUserAction, kProgram };

struct UndoStep
{
	std::vector<TextEdit> edits; // in the order they were made
	EditSource source = EditSource::kProgram;
	uint64_t action = 0; // edits of one action share a step
};

class TextViewUndo
{
public:
	// Older steps are dropped once the history holds more bytes than this.
	explicit TextViewUndo(size_t byteLimit = 64 * 1024 * 1024);

	// Records an edit made by source within the given action; clears redo.
	void Record(TextEdit edit, EditSource source, uint64_t action);
	// The next edit starts a new step whatever its source.
	void Seal();
	void Clear();

	bool CanUndo() const { return !mUndo.empty(); }
	bool CanRedo() const { return !mRedo.empty(); }
	// The step to revert / to make again; it moves to the other list.
	UndoStep TakeUndo();
	UndoStep TakeRedo();
	size_t Bytes() const { return mBytes; }

private:
	static bool _MergeTyping(TextEdit& last, const TextEdit& edit);
	static size_t _Size(const UndoStep& step);
	void _Trim();

	std::vector<UndoStep> mUndo;
	std::vector<UndoStep> mRedo;
	size_t mByteLimit;
	size_t mBytes = 0; // in mUndo and mRedo
	bool mSealed = true;
};

} // namespace BPrivate

#endif // _TEXT_VIEW_UNDO_H
