// An editable, scrollable text with colour runs.
//
// Offsets count bytes of the UTF-8 text from 0; a character is addressed by
// the offset of its first byte. Offsets that fall inside a multi-byte
// character are moved to its first byte; offsets outside the text are pinned
// to 0..TextLength(). Text that is not valid UTF-8 is stored with each bad
// sequence replaced by U+FFFD.
//
// Lines are visual lines, as wrapped on screen at the width of the text
// rectangle: with word wrap on, a long paragraph covers several lines; a
// line includes its terminating line feed. After a final line feed the
// empty last line counts: in "ab\ncd\n" lines start at 0, 3 and 6,
// LineAt(6) is 2 and OffsetAt(3) is 6 (the length).
//
// Changes and hooks: every change of the text, whatever its source (typing,
// input methods, paste, drop, cut, undo, redo, Insert, Delete, SetText),
// passes through the virtual hooks DeleteText() and InsertText(), deletion
// first. An override must call the base version first and may then inspect
// the text or restyle it (SetFontAndColor), but must not call Insert(),
// Delete(), SetText(), Undo() or the clipboard calls: such calls made from a
// hook are ignored.
//   - For program calls (Insert, Delete, SetText, Undo) the base hook
//     performs the change.
//   - For changes the user made in the view (typing, input methods, paste,
//     drop, cut), the change is already in the text when the hooks run; the
//     base hooks then do nothing, and an override cannot alter or veto it.
//
// Undo: many levels, with redo (Ctrl+Shift+Z, Ctrl+Y or B_REDO). Program
// changes made within one turn of the event loop form one step, so that a
// whole file or reference inserted with many Insert/Delete calls undoes at
// once; SetText() starts a fresh history. Colouring is never a step.
//
// Threads: touch the view only on its window's thread (the GUI thread) or
// with the window locked.
#ifndef _TEXT_VIEW_H
#define _TEXT_VIEW_H

#include "View.h"

class BClipboard;
class BMessage;

namespace BPrivate {
class TextViewAccess;
class TextViewData;
} // namespace BPrivate

struct text_run
{
	int32 offset; // where the run starts, relative to the text it styles
	BFont font;
	rgb_color color;
};

struct text_run_array
{
	int32 count;
	text_run runs[1]; // count entries; allocate with room for them
};

class BTextView : public BView
{
public:
	BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode, uint32 flags);
	BTextView(BRect frame, const char* name, BRect textRect, const BFont* initialFont,
	          const rgb_color* initialColor, uint32 resizingMode, uint32 flags);
	virtual ~BTextView();

	// Replaces the whole text; the runs style it (nullptr: the view's font and
	// colour). Starts a fresh undo history.
	void SetText(const char* text, const text_run_array* runs = nullptr);
	void SetText(const char* text, int32 length, const text_run_array* runs = nullptr);
	// The whole text, null-terminated. Valid until the next change of the
	// text; cheap to call again while the text is unchanged.
	const char* Text() const;
	int32 TextLength() const;
	// The byte at offset, or 0 outside the text.
	char ByteAt(int32 offset) const;
	// Copies up to length bytes from offset into buffer and terminates it:
	// buffer needs length + 1 bytes.
	void GetText(int32 offset, int32 length, char* buffer) const;

	// Insert at the selection (replacing it), or at offset.
	void Insert(const char* text, const text_run_array* runs = nullptr);
	void Insert(const char* text, int32 length, const text_run_array* runs = nullptr);
	void Insert(int32 offset, const char* text, int32 length, const text_run_array* runs = nullptr);
	// Delete the selection, or the bytes from start up to finish.
	void Delete();
	void Delete(int32 start, int32 finish);

	// Visual lines (see above).
	int32 CountLines() const;
	int32 CurrentLine() const;
	int32 LineAt(int32 offset) const;
	int32 LineAt(BPoint point) const;
	int32 OffsetAt(int32 line) const;
	int32 OffsetAt(BPoint point) const;
	// Top-left of the character at offset, in view coordinates; the line
	// height in *height when given.
	BPoint PointAt(int32 offset, float* height = nullptr) const;

	void SetTextRect(BRect rect);
	BRect TextRect() const;
	void SetWordWrap(bool wrap);
	bool DoesWordWrap() const;
	void MakeEditable(bool editable = true);
	bool IsEditable() const;
	void MakeSelectable(bool selectable = true);
	bool IsSelectable() const;
	void SetStylable(bool stylable);
	bool IsStylable() const;
	void SetDoesUndo(bool undo);
	bool DoesUndo() const;

	// Undoes the last step; the clipboard argument is not used.
	void Undo(BClipboard* clipboard = nullptr);
	void Redo();
	bool CanUndo() const;
	bool CanRedo() const;

	// The system clipboard; the argument is not used.
	void Cut(BClipboard* clipboard = nullptr);
	void Copy(BClipboard* clipboard = nullptr);
	void Paste(BClipboard* clipboard = nullptr);
	void SelectAll();
	void Select(int32 startOffset, int32 endOffset);
	void GetSelection(int32* startOffset, int32* endOffset) const;
	void ScrollToSelection();

	// Applies to the selection, or to start..end. The mask says which
	// attributes of font to take; a nullptr font or a mask of 0 changes only
	// the colour, a nullptr color only the font. Without SetStylable(true) the
	// whole text takes the font and colour.
	void SetFontAndColor(const BFont* font, uint32 mode = B_FONT_ALL,
	                     const rgb_color* color = nullptr);
	void SetFontAndColor(int32 startOffset, int32 endOffset, const BFont* font,
	                     uint32 mode = B_FONT_ALL, const rgb_color* color = nullptr);
	void GetFontAndColor(int32 offset, BFont* font, rgb_color* color = nullptr) const;

	virtual void SetViewColor(rgb_color color);
	void SetViewColor(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255)
	{
		BView::SetViewColor(red, green, blue, alpha);
	}
	virtual void SetFont(const BFont* font, uint32 mask = B_FONT_ALL);

	// B_UNDO, B_REDO, B_CUT, B_COPY, B_PASTE and B_SELECT_ALL.
	virtual void MessageReceived(BMessage* message);
	virtual void FrameResized(float newWidth, float newHeight);
	virtual void MakeFocus(bool focus = true);

	// Scripting: the text view suite ("suite/vnd.Be-text-view": Text and
	// text_run_array, whole or by range, and Selection), then the view's.
	virtual BHandler* ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier,
	                                   int32 form, const char* property);
	virtual status_t GetSupportedSuites(BMessage* data);

protected:
	// The change hooks (see above).
	virtual void InsertText(const char* text, int32 length, int32 offset,
	                        const text_run_array* runs);
	virtual void DeleteText(int32 fromOffset, int32 toOffset);

private:
	friend class BPrivate::TextViewAccess;
	friend class BPrivate::TextViewData;

	BPrivate::TextViewData* mText;
};

#endif // _TEXT_VIEW_H
