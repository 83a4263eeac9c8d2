// The state behind a BTextView and the way changes reach its hooks.
//
// The Qt document holds the text, its formats and its layout; the view keeps
// its own index of paragraphs (TextViewParagraphs) with their UTF-8 bytes,
// document lengths and visual line counts, so that byte offsets and visual
// lines are found in O(log n) and the hooks can be told exactly which bytes
// changed.
//
// Every change of the document is noticed through contentsChange, compared
// with the index (only the paragraphs in Qt's reported range), and turned
// into one byte-level edit:
//   - a change the program asked for (Insert, Delete, SetText, Undo, Redo)
//     is made by the base hook inside a program scope; the index is brought
//     up to date right after Qt's edit, the undo history takes the edit,
//     and the document's own signal is ignored;
//   - any other change (typing, input methods, paste, drop, cut) is already
//     in the document when the signal comes; the index is brought up to
//     date, the edit recorded, and the hooks are called with the base
//     hooks doing nothing (hookDepth > 0).
// Colouring never enters the undo history: the document's own undo is off
// and the view keeps its own.
#ifndef _TEXT_VIEW_DATA_H
#define _TEXT_VIEW_DATA_H

#include <QFont>
#include <QPlainTextEdit>
#include <QTextCharFormat>

#include <functional>
#include <string>

#include "TextView.h"
#include "TextViewParagraphs.h"
#include "TextViewUndo.h"

class QTextDocument;

namespace BPrivate {

class TextEditWidget;

struct TextViewData {
	explicit TextViewData(BTextView* view);
	~TextViewData();

	// Byte offsets <-> document positions. Offsets are clamped into the
	// text and moved back to the first byte of their character.
	int32 ClampOffset(int32 offset) const;
	int ToChar(int32 offset) const;
	int32 ToByte(int chr) const;
	int32 Length() const { return (int32)paragraphs.Bytes() - 1; }

	// Visual lines; these bring the line counts up to date first.
	int32 CountLines();
	int32 LineAt(int32 offset);
	int32 OffsetAt(int32 line);

	// The program's changes; both go through the view's hooks.
	void ProgramInsert(int32 offset, const std::string& text, const text_run_array* runs);
	void PerformInsert(int32 offset, const char* text, int32 length, const text_run_array* runs);
	void PerformDelete(int32 from, int32 to);
	void ApplyStep(const UndoStep& step, bool undo);

	void SetColorAndFont(int32 start, int32 end, const BFont* font, uint32 mode,
		const rgb_color* color);

	// Program scope: batches Qt's signals and relayout; nests.
	void BeginProgram();
	void EndProgram();
	// User action scope, opened by the widget around an input event.
	void BeginUserAction(EditSource source);
	void EndUserAction();

	void SetEditable(bool editable);
	void SetSelectable(bool selectable);
	void ApplyInteraction();
	void ApplyTextRect();
	// The width visual lines wrap at, or 0 for no wrapping.
	int WrapWidth() const;

	// Bytes the program gives -> the text as stored (valid UTF-8, line
	// feeds kept or, in single-line views, turned into spaces).
	std::string Clean(const char* text, int32 length) const;

	void OnContentsChange(int position, int removed, int added);
	// The event loop turned: the next program edit starts a new undo step.
	void EndProgramTurn() { mProgramTurnOpen = false; }

	BTextView* view;
	TextEditWidget* widget;
	QTextDocument* document;
	TextViewParagraphs paragraphs;
	TextViewUndo undo;

	BRect textRect;
	bool wrap = true;
	bool editable = true;
	bool selectable = true;
	bool stylable = false;
	bool doesUndo = true;
	bool singleLine = false;
	bool fontsVary = false; // some range has a font of its own
	QTextCharFormat baseFormat; // program text without runs
	rgb_color baseColor = {0, 0, 0, 255};

	int programDepth = 0;
	int hookDepth = 0;
	int editDepth = 0; // inside an editing call of the program
	int formatDepth = 0;
	EditSource userSource = EditSource::kUserAction;
	int userDepth = 0;
	bool undoing = false;
	uint64 action = 1;

	mutable std::string textCache;
	mutable bool textCacheValid = false;

	std::function<void()> enterHandler;
	std::function<void()> changeHandler;

private:
	struct Change {
		int32 offset = 0;
		std::string removed;
		std::string inserted;
		bool valid = false;
	};

	Change _Sync(int position, int removed, int added);
	Change _Resync();
	Change _Difference(int64 base, const std::string& before, const std::string& after);
	void _Changed(const Change& change, EditSource source);
	void _CountLines(TextParagraph& paragraph, int32 index);
	void _FlushLines();
	bool _RangeHasColor(int start, int end, const QColor& color) const;
	void _TakeFont(BFont* target, const BFont& source, uint32 mode);

	bool mProgramChanged = false;
	bool mProgramTurnOpen = false;
	uint64 mProgramAction = 0;

	int mCountWidth = -1;
	QFont mCountFont;
	qreal mAsciiAdvance[128] = {};
	qreal mMaxAsciiAdvance = 0;
};

// The widget: a plain-text editor that reports what the user does.
class TextEditWidget : public QPlainTextEdit {
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

protected:
	void keyPressEvent(QKeyEvent* event) override;
	void inputMethodEvent(QInputMethodEvent* event) override;
	void insertFromMimeData(const QMimeData* source) override;
	QMimeData* createMimeDataFromSelection() const override;
	bool canInsertFromMimeData(const QMimeData* source) const override;
	void dropEvent(QDropEvent* event) override;
	void mousePressEvent(QMouseEvent* event) override;
	void resizeEvent(QResizeEvent* event) override;
	void contextMenuEvent(QContextMenuEvent* event) override;

private:
	TextViewData* mData;
};

// Byte text <-> document text. The document cannot hold some characters as
// they are (a carriage return or U+2029 would start a new paragraph); they
// are kept as private-use stand-ins and turned back when read.
QString to_document_text(const char* bytes, size_t length);
std::string from_document_text(const QString& text);
// Document characters (UTF-16 units) in the first bytes of a stored text,
// and the reverse.
int document_length(const std::string& text, size_t bytes);
size_t byte_length(const std::string& text, int characters);

// Whether text[index] continues a UTF-8 character.
inline bool
is_continuation(const std::string& text, size_t index)
{
	return index < text.size() && ((unsigned char)text[index] & 0xC0) == 0x80;
}

} // namespace BPrivate

#endif // _TEXT_VIEW_DATA_H
