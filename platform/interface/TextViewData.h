// The state behind a BTextView and the way changes reach its hooks.
//
// The view keeps its text itself: an index of paragraphs
// (TextViewParagraphs) holding each paragraph's UTF-8 bytes, its colour and
// font runs and its count of visual lines, so that byte offsets and visual
// lines are found in O(log n) and an edit costs the paragraphs it touches.
// The widget (TextEditWidget) lays out and paints only the paragraphs on
// screen, with one QTextLayout each.
//
// Every change goes through Replace():
//   - a change the program asked for (Insert, Delete, SetText, Undo, Redo)
//     is made by the base hook; the undo history takes the edit;
//   - a change the user made (typing, input methods, paste, drop, cut) is
//     made by UserEdit(), which then calls the hooks with the base hooks
//     doing nothing (inside a HookScope).
// Colouring never enters the undo history.
#ifndef _TEXT_VIEW_DATA_H
#define _TEXT_VIEW_DATA_H

#include <QFont>
#include <QTextLayout>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "TextView.h"
#include "TextViewParagraphs.h"
#include "TextViewText.h"
#include "TextViewUndo.h"

namespace BPrivate {

class TextEditWidget;

// A colour with a font, or the view's font when font is -1.
struct TextStyle
{
	rgb_color color;
	int32 font = -1;
};

// What the program allows in the view (BTextView's Make... and Set...).
struct TextViewModes
{
	bool wrap = true;
	bool editable = true;
	bool selectable = true;
	bool stylable = false;
	bool doesUndo = true;
	bool singleLine = false;
};

// The part of a paragraph a layout holds: its bytes from byte to end,
// which are its visual lines from firstLine on.
struct LineWindow
{
	int32 firstLine = 0;
	size_t byte = 0;
	size_t end = std::string::npos; // npos: to the end of the paragraph
};

class TextViewData
{
public:
	static constexpr qreal kTabStop = 28;
	// Paragraphs up to this size are laid out whole.
	static constexpr size_t kWindowBytes = 4096;

	explicit TextViewData(BTextView* view);
	~TextViewData();
	TextViewData(const TextViewData&) = delete;
	TextViewData& operator=(const TextViewData&) = delete;

	BTextView* View() const { return mView; }
	TextEditWidget* Widget() const { return mWidget; }
	const TextViewParagraphs& Paragraphs() const { return mParagraphs; }
	TextViewUndo& History() { return mUndo; }
	const TextViewUndo& History() const { return mUndo; }
	const TextViewModes& Modes() const { return mModes; }

	// Offsets are clamped into the text and moved back to the first byte
	// of their character.
	int32 ClampOffset(int32 offset) const;
	int32 Length() const { return (int32)mParagraphs.Bytes() - 1; }
	std::string TextRange(int32 from, int32 to) const;
	// The whole text in one piece, kept until the next change.
	const std::string& WholeText() const;
	char ByteAt(int32 offset) const;
	// length bytes from offset on (both inside the text) into buffer.
	void CopyText(int32 offset, int32 length, char* buffer) const;
	// Characters (UTF-16 units) before a byte offset, and the byte offset
	// of a character position; both walk the text before it.
	int64 Utf16Before(int32 offset) const;
	int32 ByteAtUtf16(int64 characters) const;

	// Visual lines; these bring the line counts up to date first.
	int32 CountLines();
	int32 LineAt(int32 offset);
	int32 OffsetAt(int32 line);
	void FlushLines();

	// The program's changes; both go through the view's hooks.
	void ProgramInsert(int32 offset, const char* text, int32 length, const text_run_array* runs);
	void PerformInsert(int32 offset, const char* text, int32 length, const text_run_array* runs);
	void PerformDelete(int32 from, int32 to);
	void ApplyStep(const UndoStep& step, bool undo);
	// Whether the hooks are being told of a change already made (their
	// base versions then do nothing).
	bool InsideHooks() const { return mHookDepth > 0; }

	// A change the user made in the view: from..to becomes text (already
	// clean); the hooks are told afterwards.
	void UserEdit(int32 from, int32 to, const std::string& text);

	void SetColorAndFont(int32 start, int32 end, const BFont* font, uint32 mode,
	                     const rgb_color* color);
	// The colour of the whole text and of text added later.
	void SetBaseColor(const rgb_color& color);
	const TextStyle& StyleAt(int32 offset) const;
	QFont FontOf(const TextStyle& style) const;
	// The font of a style as the program gave it; false for the view's own.
	bool GetStyleFont(const TextStyle& style, BFont* font) const;
	const QFont& BaseFont() const { return mBaseFont; }
	int LineHeight() const { return mLineHeight; }
	bool FontsVary() const { return mFontsVary; }

	BRect TextRect() const { return mTextRect; }
	void SetTextRect(BRect rect);
	void ApplyTextRect();
	// The width visual lines wrap at, or 0 for no wrapping.
	int WrapWidth() const;
	// The base font changed: line heights and counts start again.
	void FontChanged();

	void SetWrap(bool wrap);
	void SetEditable(bool editable) { mModes.editable = editable; }
	void SetSelectable(bool selectable);
	void SetStylable(bool stylable) { mModes.stylable = stylable; }
	void SetDoesUndo(bool doesUndo);
	// One line, no wrapping, no scroll bars (a text control's field).
	void MakeSingleLine();

	// Bytes the program gives -> the text as stored (valid UTF-8, line
	// feeds kept or, in single-line views, turned into spaces).
	std::string Clean(const char* text, int32 length) const;
	// Text from the clipboard, a drop or an input method, as stored; a
	// field takes any line break, CR LF included, as one space.
	std::string FromOutside(QString text) const;

	// Bytes the program's Insert already found to be stored as they are;
	// the base hook then takes them without checking again.
	void MarkChecked(const char* text, int32 length) const
	{
		mCheckedText = text;
		mCheckedLength = length;
	}

	// The event loop turned: the next program edit starts a new undo step.
	void EndProgramTurn() { mProgramTurnOpen = false; }

	// Selection and caret (byte offsets); the anchor is where it started.
	int32 Anchor() const { return mAnchor; }
	int32 Caret() const { return mCaret; }
	int32 SelectionStart() const { return std::min(mAnchor, mCaret); }
	int32 SelectionEnd() const { return std::max(mAnchor, mCaret); }
	void SetSelection(int32 newAnchor, int32 newCaret);

	// The lines first .. first + count - 1 of a paragraph, or the whole
	// paragraph where that is as cheap: a long paragraph is laid out only
	// where it is seen, never whole per paint or per caret move.
	LineWindow WindowOf(const TextParagraph& paragraph, int64 first, int64 count) const;

	// A paragraph (or a window of it) laid out at the wrap width: lines at
	// y = n * lineHeight from the window's first line. The text is the
	// paragraph's as displayed (same UTF-16 positions, counted from the
	// window's first byte).
	void LayOut(const TextParagraph& paragraph, QTextLayout* layout, int width, bool withFormats,
	            const LineWindow& window = LineWindow()) const;

	void SetEnterHandler(std::function<void()> handler) { mEnterHandler = std::move(handler); }
	void SetChangeHandler(std::function<void()> handler) { mChangeHandler = std::move(handler); }
	// Enter in a single-line view: told to whoever asked.
	void ReportEnter() const
	{
		if (mEnterHandler)
			mEnterHandler();
	}

	// A change of the program's (a call of BTextView): nests; the view
	// reports the change once, when the outermost scope ends.
	class ProgramScope
	{
	public:
		explicit ProgramScope(TextViewData* data);
		~ProgramScope();
		ProgramScope(const ProgramScope&) = delete;
		ProgramScope& operator=(const ProgramScope&) = delete;

	private:
		TextViewData* mData;
	};

	// One editing call of the program at a time: calls made from inside
	// the hooks (while a change is being made or reported) are refused.
	class EditCall
	{
	public:
		explicit EditCall(TextViewData* data);
		~EditCall();
		EditCall(const EditCall&) = delete;
		EditCall& operator=(const EditCall&) = delete;
		bool Allowed() const { return mAllowed; }

	private:
		TextViewData* mData;
		bool mAllowed;
	};

	// An input event of the user's: its changes make one undo action, of
	// the source the outermost scope names.
	class UserActionScope
	{
	public:
		UserActionScope(TextViewData* data, EditSource source);
		~UserActionScope();
		UserActionScope(const UserActionScope&) = delete;
		UserActionScope& operator=(const UserActionScope&) = delete;

	private:
		TextViewData* mData;
	};

	// Changes made meanwhile stay out of the undo history (undoing and
	// redoing, or a new text).
	class UnrecordedScope
	{
	public:
		explicit UnrecordedScope(TextViewData* data);
		~UnrecordedScope();
		UnrecordedScope(const UnrecordedScope&) = delete;
		UnrecordedScope& operator=(const UnrecordedScope&) = delete;

	private:
		TextViewData* mData;
		bool mWas;
	};

private:
	// The hooks are told of a change the view made already.
	class HookScope
	{
	public:
		explicit HookScope(TextViewData* data) : mData(data) { mData->mHookDepth++; }
		~HookScope() { mData->mHookDepth--; }
		HookScope(const HookScope&) = delete;
		HookScope& operator=(const HookScope&) = delete;

	private:
		TextViewData* mData;
	};

	// from..to becomes text, in style for the new bytes; keeps the
	// selection where it belongs.
	void _Replace(int32 from, int32 to, const std::string& text, uint16 style);
	// One replacement, worked out before the index changes: the paragraphs
	// it touches, what of them is kept, and how its lines are counted and
	// painted. The kept bytes point into the index and are valid only
	// until it changes.
	struct ReplacePlan
	{
		int32 from = 0;
		int32 to = 0;
		std::string_view text;
		uint16 style = 0;
		ParagraphPlace first;
		ParagraphPlace last;
		std::string_view head; // of the first paragraph, before from
		std::string_view tail; // of the last paragraph, from to on
		std::vector<StyleRun> headRuns;
		std::vector<StyleRun> tailRuns; // from the tail's start
		size_t made = 1;                // paragraphs the replacement makes
		// One long paragraph stays one: edited where its bytes lie, and
		// counted only around the change (recount).
		bool inPlace = false;
		bool countNow = false;
		bool recount = false;
		int32 oldLines = -1; // when one paragraph stays one, its lines before
		int32 firstLine = 0; // the first visual line to paint again
	};
	ReplacePlan _PlanReplace(int32 from, int32 to, std::string_view text, uint16 style);
	// The runs of a made paragraph of piece bytes of the new text, after
	// the kept head and before the kept tail when it has them.
	static std::vector<StyleRun> _MadeRuns(const ReplacePlan& plan, bool withHead, size_t piece,
	                                       bool withTail);
	// Edits one long paragraph where its bytes lie; false when the index
	// cannot, with nothing changed.
	bool _ReplaceInPlace(const ReplacePlan& plan);
	// Replaces the paragraphs touched by the paragraphs made.
	void _ReplaceParagraphs(const ReplacePlan& plan);
	// Has what the replacement changed painted again.
	void _DamageReplaced(const ReplacePlan& plan);
	// from..to became inserted bytes: the selection stays on its text.
	void _ShiftSelection(int32 from, int32 to, int32 inserted);
	// The lines from one offset to another are to be painted again.
	void _DamageSpan(int32 from, int32 to);
	void _Record(int32 offset, std::string removed, std::string inserted, EditSource source);
	void _CountLines(TextParagraph& paragraph);
	// Counts a long paragraph again after bytes at..at + removed became
	// inserted bytes, from the lines it had before: from two lines before
	// the change until its breaks meet the old ones again.
	// The old starts may be the paragraph's own, as an edit in place leaves
	// them.
	void _RecountLines(TextParagraph& paragraph, const int32* oldStarts, size_t oldCount, size_t at,
	                   size_t removed, size_t inserted);
	// Line starts of text at width if it is of simple scripts only.
	// From from on (a line start) when given; stop, given a new line start,
	// may end the walk early by answering true.
	bool _SimpleBreaks(std::string_view text, int width, std::vector<int32>* starts,
	                   size_t from = 0, const std::function<bool(size_t)>& stop = nullptr) const;
	// The advance of the simple character at text[i] and its length in
	// bytes, or -1 when it is not of a simple script.
	qreal _SimpleAdvance(std::string_view text, size_t i, size_t* length) const;
	// The advances of the base font's characters, measured when first
	// needed (a text field may never need them).
	void _MeasureFont() const;
	uint16 _StyleIndex(const TextStyle& style);
	uint16 _TypingStyle(int32 offset) const;
	void _TakeFont(BFont* target, const BFont& source, uint32 mode);
	void _DropTextCache();

	BTextView* mView;
	TextEditWidget* mWidget;
	TextViewParagraphs mParagraphs;
	TextViewUndo mUndo;
	TextViewModes mModes;

	std::vector<TextStyle> mStyles; // 0 is the view's own colour and font
	std::vector<QFont> mFonts;
	std::vector<BFont> mBFonts;
	QFont mBaseFont;
	int mLineHeight = 14;
	bool mFontsVary = false; // some range has a font of its own

	int32 mAnchor = 0;
	int32 mCaret = 0;
	BRect mTextRect;

	int mProgramDepth = 0;
	int mHookDepth = 0;
	int mEditDepth = 0; // inside an editing call of the program
	EditSource mUserSource = EditSource::kUserAction;
	int mUserDepth = 0;
	bool mUndoing = false;
	uint64 mAction = 1;

	mutable std::string mTextCache;
	mutable bool mTextCacheValid = false;

	std::function<void()> mEnterHandler;
	std::function<void()> mChangeHandler;

	mutable const char* mCheckedText = nullptr;
	mutable int32 mCheckedLength = 0;
	bool mProgramChanged = false;
	bool mProgramTurnOpen = false;
	uint64 mProgramAction = 0;

	int mCountWidth = -1;
	mutable qreal mAsciiAdvance[128] = {};
	mutable bool mFontMeasured = false;
	// Advances of simple characters from U+00A0 on, -1 until measured.
	mutable std::vector<float> mAdvance;
};

} // namespace BPrivate

#endif // _TEXT_VIEW_DATA_H
