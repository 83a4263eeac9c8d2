#include "TextViewUndo.h"

#include <utility>

namespace BPrivate {

TextViewUndo::TextViewUndo(size_t byteLimit) : mByteLimit(byteLimit) {}

void TextViewUndo::Record(TextEdit edit, EditSource source, uint64_t action)
{
	if (edit.removed.empty() && edit.inserted.empty())
		return;
	for (const UndoStep& step : mRedo)
		mBytes -= _Size(step);
	mRedo.clear();

	mBytes += edit.removed.size() + edit.inserted.size();
	if (!mSealed && !mUndo.empty()) {
		UndoStep& last = mUndo.back();
		if (last.source == source) {
			if (source == EditSource::kTyping) {
				if (_MergeTyping(last.edits.back(), edit))
					return;
			} else if (last.action == action) {
				last.edits.push_back(std::move(edit));
				return;
			}
		}
	}
	UndoStep step;
	step.source = source;
	step.action = action;
	step.edits.push_back(std::move(edit));
	mUndo.push_back(std::move(step));
	mSealed = false;
	_Trim();
}

bool TextViewUndo::_MergeTyping(TextEdit& last, const TextEdit& edit)
{
	const int32_t lastEnd = last.offset + (int32_t)last.inserted.size();
	const bool afterLineFeed = !last.inserted.empty() && last.inserted.back() == '\n';
	if (edit.removed.empty()) {
		// More typing right behind what was typed.
		if (edit.offset != lastEnd || afterLineFeed)
			return false;
		last.inserted += edit.inserted;
		return true;
	}
	if (!edit.inserted.empty())
		return false;
	const int32_t removedEnd = edit.offset + (int32_t)edit.removed.size();
	if (removedEnd == lastEnd && edit.removed.size() <= last.inserted.size()) {
		// Backspace over what was just typed.
		last.inserted.resize(last.inserted.size() - edit.removed.size());
		return true;
	}
	if (!last.inserted.empty())
		return false;
	if (removedEnd == last.offset) {
		// A run of backspaces.
		last.offset = edit.offset;
		last.removed.insert(0, edit.removed);
		return true;
	}
	if (edit.offset == last.offset) {
		// A run of forward deletes.
		last.removed += edit.removed;
		return true;
	}
	return false;
}

void TextViewUndo::Seal()
{
	mSealed = true;
}

void TextViewUndo::Clear()
{
	mUndo.clear();
	mRedo.clear();
	mBytes = 0;
	mSealed = true;
}

UndoStep TextViewUndo::TakeUndo()
{
	UndoStep step = std::move(mUndo.back());
	mUndo.pop_back();
	mRedo.push_back(step);
	mSealed = true;
	return step;
}

UndoStep TextViewUndo::TakeRedo()
{
	UndoStep step = std::move(mRedo.back());
	mRedo.pop_back();
	mUndo.push_back(step);
	mSealed = true;
	return step;
}

size_t TextViewUndo::_Size(const UndoStep& step)
{
	size_t size = 0;
	for (const TextEdit& edit : step.edits)
		size += edit.removed.size() + edit.inserted.size();
	return size;
}

void TextViewUndo::_Trim()
{
	// Keep at least the newest step, however large.
	size_t drop = 0;
	while (mBytes > mByteLimit && drop + 1 < mUndo.size()) {
		mBytes -= _Size(mUndo[drop]);
		drop++;
	}
	if (drop > 0)
		mUndo.erase(mUndo.begin(), mUndo.begin() + drop);
}

} // namespace BPrivate
