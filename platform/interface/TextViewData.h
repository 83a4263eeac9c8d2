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
//     doing nothing (hookDepth > 0).
// Colouring never enters the undo history.
#ifndef _TEXT_VIEW_DATA_H
#define _TEXT_VIEW_DATA_H

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QFont>
#include <QPoint>
#include <QString>
#include <QTextLayout>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TextView.h"
#include "TextViewParagraphs.h"
#include "TextViewUndo.h"

namespace BPrivate {

class TextEditWidget;

// A colour with a font, or the view's font when font is -1.
struct TextStyle
{
	rgb_color color;
	int32 font = -1;
};

struct TextViewData
{
	static constexpr qreal kTabStop = 28;

	explicit TextViewData(BTextView* view);
	~TextViewData();

	// Offsets are clamped into the text and moved back to the first byte
	// of their character.
	int32 ClampOffset(int32 offset) const;
	int32 Length() const { return (int32)paragraphs.Bytes() - 1; }
	std::string TextRange(int32 from, int32 to) const;
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

	// A change the user made in the view: from..to becomes text (already
	// clean); the hooks are told afterwards.
	void UserEdit(int32 from, int32 to, const std::string& text);

	void SetColorAndFont(int32 start, int32 end, const BFont* font, uint32 mode,
	                     const rgb_color* color);
	const TextStyle& StyleAt(int32 offset) const;
	QFont FontOf(const TextStyle& style) const;

	// Program scope: nests; the change handler runs once at its end.
	void BeginProgram();
	void EndProgram();
	// User action scope, opened by the widget around an input event.
	void BeginUserAction(EditSource source);
	void EndUserAction();

	void ApplyTextRect();
	// The width visual lines wrap at, or 0 for no wrapping.
	int WrapWidth() const;
	// The base font changed: line heights and counts start again.
	void FontChanged();

	// Bytes the program gives -> the text as stored (valid UTF-8, line
	// feeds kept or, in single-line views, turned into spaces).
	std::string Clean(const char* text, int32 length) const;

	// Bytes the program's Insert already found to be stored as they are;
	// the base hook then takes them without checking again.
	void MarkChecked(const char* text, int32 length) const
	{
		mCheckedText = text;
		mCheckedLength = length;
	}

	// The event loop turned: the next program edit starts a new undo step.
	void EndProgramTurn() { mProgramTurnOpen = false; }

	// Selection and caret (byte offsets); anchor is where it started.
	int32 SelectionStart() const { return std::min(anchor, caret); }
	int32 SelectionEnd() const { return std::max(anchor, caret); }
	void SetSelection(int32 newAnchor, int32 newCaret);

	// A paragraph laid out at the wrap width: lines at y = n * lineHeight.
	// The text is the paragraph's as displayed (same UTF-16 positions).
	void LayOut(const TextParagraph& paragraph, QTextLayout* layout, int width,
	            bool withFormats) const;

	BTextView* view;
	TextEditWidget* widget;
	TextViewParagraphs paragraphs;
	TextViewUndo undo;

	std::vector<TextStyle> styles; // 0 is the view's own colour and font
	std::vector<QFont> fonts;
	std::vector<BFont> bfonts;
	QFont baseFont;
	int lineHeight = 14;

	int32 anchor = 0;
	int32 caret = 0;

	BRect textRect;
	bool wrap = true;
	bool editable = true;
	bool selectable = true;
	bool stylable = false;
	bool doesUndo = true;
	bool singleLine = false;
	bool fontsVary = false; // some range has a font of its own

	int programDepth = 0;
	int hookDepth = 0;
	int editDepth = 0; // inside an editing call of the program
	EditSource userSource = EditSource::kUserAction;
	int userDepth = 0;
	bool undoing = false;
	uint64 action = 1;

	mutable std::string textCache;
	mutable bool textCacheValid = false;

	std::function<void()> enterHandler;
	std::function<void()> changeHandler;

private:
	// from..to becomes text, in style for the new bytes; keeps the
	// selection where it belongs.
	void _Replace(int32 from, int32 to, const std::string& text, uint16 style);
	void _Record(int32 offset, std::string removed, std::string inserted, EditSource source);
	void _CountLines(TextParagraph& paragraph);
	// Line starts of text at width if it is of simple scripts only.
	bool _SimpleBreaks(std::string_view text, int width, std::vector<int32>* starts) const;
	// The advance of the simple character at text[i] and its length in
	// bytes, or -1 when it is not of a simple script.
	qreal _SimpleAdvance(std::string_view text, size_t i, size_t* length) const;
	// The advances of the base font's characters, measured when first
	// needed (a text field may never need them).
	void _MeasureFont() const;
	uint16 _StyleIndex(const TextStyle& style);
	uint16 _TypingStyle(int32 offset) const;
	void _TakeFont(BFont* target, const BFont& source, uint32 mode);

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

// The widget: lays out and paints the visible paragraphs and turns the
// user's input into edits of the view.
class TextEditWidget : public QAbstractScrollArea
{
public:
	explicit TextEditWidget(TextViewData* data);

	// The view's data is going away; input is no longer reported.
	void Detach() { mData = nullptr; }
	TextViewData* Data() const { return mData; }
	QMargins Margins() const { return viewportMargins(); }
	void SetMargins(int left, int top, int right, int bottom)
	{
		setViewportMargins(left, top, right, bottom);
	}

	// The text moved or grew: scroll ranges and painting follow, once per
	// turn of the event loop.
	void TextChanged();
	// The whole visible text is painted again, once however often asked
	// before it is.
	void RequestRepaint();
	void UpdateScrollBars();
	void EnsureCaretVisible();
	void SelectionChanged();

	// Byte offset nearest to a point of the viewport, and back.
	int32 OffsetAtViewport(QPointF point) const;
	QRectF CaretRect(int32 offset) const; // in viewport coordinates

	void Copy() const;
	void Paste(bool selectionClipboard = false);
	void Cut();
	void ShowContextMenu(QPoint globalPos);

protected:
	bool event(QEvent* event) override;
	void paintEvent(QPaintEvent* event) override;
	void keyPressEvent(QKeyEvent* event) override;
	void inputMethodEvent(QInputMethodEvent* event) override;
	QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
	void mousePressEvent(QMouseEvent* event) override;
	void mouseMoveEvent(QMouseEvent* event) override;
	void mouseReleaseEvent(QMouseEvent* event) override;
	void mouseDoubleClickEvent(QMouseEvent* event) override;
	void dragEnterEvent(QDragEnterEvent* event) override;
	void dragMoveEvent(QDragMoveEvent* event) override;
	void dragLeaveEvent(QDragLeaveEvent* event) override;
	void dropEvent(QDropEvent* event) override;
	void focusInEvent(QFocusEvent* event) override;
	void focusOutEvent(QFocusEvent* event) override;
	void resizeEvent(QResizeEvent* event) override;
	void scrollContentsBy(int dx, int dy) override;
	void timerEvent(QTimerEvent* event) override;
	void contextMenuEvent(QContextMenuEvent* event) override;

private:
	bool _HandleKey(QKeyEvent* event);
	void _Move(int32 offset, bool extend);
	int32 _VisualLineMove(int32 offset, int lines);
	int32 _LineEdge(int32 offset, bool end) const;
	int32 _WordEdge(int32 offset, bool forward) const;
	int32 _NextChar(int32 offset, bool forward) const;
	void _SelectWordAt(int32 offset);
	void _SelectParagraphAt(int32 offset);
	void _StartDrag();
	void _RestartBlink();
	// The selection's text for the X11 selection, where there is one.
	void _OfferSelection();
	QPointF _Origin() const; // text origin in viewport coordinates

	TextViewData* mData;
	QString mPreedit;
	QBasicTimer mBlink;
	QBasicTimer mAutoScroll;
	bool mCaretOn = true;
	qreal mGoalX = -1; // kept across up/down moves
	int mWidest = 0;   // widest paragraph seen, without wrapping
	bool mUpdatePending = false;
	bool mRepaintPending = false;

	enum class Press { kNone, kSelecting, kWords, kParagraphs, kMaybeDrag };
	Press mPress = Press::kNone;
	QPoint mPressPoint;
	int32 mWordAnchorStart = 0;
	int32 mWordAnchorEnd = 0;
	qint64 mLastDoubleClick = 0;
	int32 mDropCaret = -1;
};

// Whether the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates), as the view stores its text.
bool is_valid_utf8(const char* text, size_t length);

// Assistive technology (TextViewAccessible.cpp): the interface for the
// widget, installed once, and what it is told of changes while it listens.
void install_text_view_accessibility();
void notify_text_change(TextEditWidget* widget, int32 offset, const std::string& removed,
                        const std::string& inserted);
void notify_caret_move(TextEditWidget* widget);

// Sets a paragraph's style runs, merged and trimmed to its text.
void set_runs(TextParagraph& paragraph, std::vector<StyleRun>&& runs);

// UTF-16 positions in a paragraph's display text <-> byte offsets in it.
int utf16_index(std::string_view text, size_t bytes);
size_t byte_index(std::string_view text, int units);
// The text a layout shows: line breaking characters that are not line
// feeds are shown as spaces, keeping every UTF-16 position.
QString display_text(std::string_view text);

// Whether text[index] continues a UTF-8 character.
inline bool is_continuation(std::string_view text, size_t index)
{
	return index < text.size() && ((unsigned char)text[index] & 0xC0) == 0x80;
}

} // namespace BPrivate

#endif // _TEXT_VIEW_DATA_H
