// Text view speed, each figure against a baseline measured in the same run:
//   - a keystroke (type one byte, then erase it) at the end of a 1,000- and
//     a 100,000-line text in the locale text view, recoloured, against the
//     same two edits in a bare QTextDocument holding the same text;
//   - the same typed as key events (type, backspace), against a bare editor
//     widget given the same key events;
//   - inserting a 30,000-line text with comments into the locale text view
//     (coloured) against a plain text view (not coloured);
//   - walking a text line by line with LineAt/NextLineOffset/ByteAt, per
//     line, for 1,000 and 100,000 lines (should not grow with the text);
//   - opening one text of 10 MB (set, counted into lines, painted) against
//     the same bytes as 100,000 short paragraphs, and a keystroke (typed
//     and erased as key events, then painted) inside a paragraph of 1 MB
//     against one inside a short paragraph of a text as large, in a plain
//     view and in the locale view.
#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "BenchLocaleView.h"
#include "ViewPrivate.h"
#include "ZTLETextView.h"

namespace {

// Reference blocks and translations, as the editor shows them.
std::string locale_text(int lines)
{
	std::string text;
	text.reserve((size_t)lines * 32);
	for (int i = 0; i < lines; i++) {
		switch (i % 3) {
		case 0:
			text += "; #ID" + std::to_string(i / 3 + 1) + ":\n";
			break;
		case 1:
			text += "; Reference text number " + std::to_string(i) + "\n";
			break;
		default:
			text += "Translation " + std::to_string(i) + "\n";
			break;
		}
	}
	return text;
}

void BM_KeystrokeLocaleView(benchmark::State& state)
{
	std::unique_ptr<ZTLETextView> view = MakeLocaleView();
	view->SetText(locale_text((int)state.range(0)).c_str());
	view->CountLines();
	for (auto _ : state) {
		const int32 end = view->TextLength();
		view->Insert(end, "x", 1);
		view->Delete(end, end + 1);
	}
	// The undo history grows with the run; it is part of the cost.
}
BENCHMARK(BM_KeystrokeLocaleView)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// A character typed at the end of document and taken back, per iteration.
void keystroke_at_end(benchmark::State& state, QTextDocument* document)
{
	QTextCursor cursor(document);
	for (auto _ : state) {
		cursor.movePosition(QTextCursor::End);
		cursor.insertText(QStringLiteral("x"));
		cursor.deletePreviousChar();
	}
}

void BM_KeystrokeQTextDocument(benchmark::State& state)
{
	QTextDocument document;
	document.setPlainText(QString::fromStdString(locale_text((int)state.range(0))));
	keystroke_at_end(state, &document);
}
BENCHMARK(BM_KeystrokeQTextDocument)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The same two edits in the document of a bare editor widget, which lays
// out the changed paragraph as the text view's widget does.
void BM_KeystrokeQPlainTextEdit(benchmark::State& state)
{
	QPlainTextEdit editor;
	editor.resize(600, 400);
	editor.setPlainText(QString::fromStdString(locale_text((int)state.range(0))));
	keystroke_at_end(state, editor.document());
}
BENCHMARK(BM_KeystrokeQPlainTextEdit)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_TypingLocaleView(benchmark::State& state)
{
	std::unique_ptr<ZTLETextView> view = MakeLocaleView();
	view->SetText(locale_text((int)state.range(0)).c_str());
	view->Select(view->TextLength(), view->TextLength());
	QWidget* widget = BPrivate::ViewAccess::Widget(view.get());
	for (auto _ : state) {
		QTest::keyClick(widget, Qt::Key_X);
		QTest::keyClick(widget, Qt::Key_Backspace);
	}
}
BENCHMARK(BM_TypingLocaleView)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_TypingQPlainTextEdit(benchmark::State& state)
{
	QPlainTextEdit editor;
	editor.resize(600, 400);
	editor.setPlainText(QString::fromStdString(locale_text((int)state.range(0))));
	editor.moveCursor(QTextCursor::End);
	for (auto _ : state) {
		QTest::keyClick(&editor, Qt::Key_X);
		QTest::keyClick(&editor, Qt::Key_Backspace);
	}
}
BENCHMARK(BM_TypingQPlainTextEdit)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// Inserting a whole text into a fresh view from make() and counting its
// lines; making and deleting the view are not timed.
template <typename Make> void insert_whole_text(benchmark::State& state, Make make)
{
	const std::string text = locale_text(30000);
	for (auto _ : state) {
		state.PauseTiming();
		auto view = make();
		state.ResumeTiming();
		view->Insert(0, text.c_str(), (int32)text.size());
		view->CountLines();
		state.PauseTiming();
		view.reset();
		state.ResumeTiming();
	}
}

void BM_InsertColoured(benchmark::State& state)
{
	insert_whole_text(state, MakeLocaleView);
}
BENCHMARK(BM_InsertColoured)->Unit(benchmark::kMillisecond);

void BM_InsertPlain(benchmark::State& state)
{
	const BRect frame(0, 0, 599, 399);
	insert_whole_text(state, [&frame] {
		return std::make_unique<BTextView>(frame, nullptr, frame.InsetByCopy(3, 3),
		                                   B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
	});
}
BENCHMARK(BM_InsertPlain)->Unit(benchmark::kMillisecond);

// The walk of the editor's save: per line LineAt, NextLineOffset, ByteAt.
void BM_WalkLines(benchmark::State& state)
{
	std::unique_ptr<ZTLETextView> view = MakeLocaleView();
	view->SetText(locale_text((int)state.range(0)).c_str());
	// A change, so that nothing is served from a whole-text copy.
	view->Insert(0, "x", 1);
	const int32 length = view->TextLength();
	int32 offset = 0;
	int64_t lines = 0;
	for (auto _ : state) {
		if (offset >= length)
			offset = 0;
		const int32 next = view->NextLineOffset(view->LineAt(offset));
		benchmark::DoNotOptimize(view->ByteAt(next - 1));
		offset = next;
		lines++;
	}
	state.SetItemsProcessed(lines);
}
BENCHMARK(BM_WalkLines)->Arg(1000)->Arg(100000);

// A whole reference applied with few large edits to a 100,000-line text.
void BM_LargeEdits(benchmark::State& state)
{
	std::unique_ptr<ZTLETextView> view = MakeLocaleView();
	const std::string text = locale_text(100000);
	view->SetText(text.c_str());
	const std::string block = locale_text(3000);
	for (auto _ : state) {
		const int32 middle = view->OffsetAt(view->CountLines() / 2);
		view->Insert(middle, block.c_str(), (int32)block.size());
		view->Delete(middle, middle + (int32)block.size());
	}
}
BENCHMARK(BM_LargeEdits)->Unit(benchmark::kMillisecond);

// Words of simple scripts with accents, in paragraphs of about
// paragraphBytes each (one paragraph when it is as large as the text).
std::string words_text(size_t bytes, size_t paragraphBytes)
{
	static const char* const kWords[] = {
	    "lorem",        "ipsum", "d\xC3\xA9j\xC3\xA0", "vu", "longer-compound-word",
	    "na\xC3\xAFve", "words"};
	std::string text;
	text.reserve(bytes + 32);
	size_t paragraph = 0;
	for (size_t i = 0; text.size() < bytes; i++) {
		text += kWords[(i * 5 + i / 3) % 7];
		paragraph += 8;
		if (paragraph >= paragraphBytes) {
			text += '\n';
			paragraph = 0;
		} else {
			text += ' ';
		}
	}
	return text;
}

std::unique_ptr<BTextView> make_shown_view()
{
	const BRect frame(0, 0, 599, 399);
	std::unique_ptr<BTextView> view(
	    new BTextView(frame, nullptr, frame.InsetByCopy(3, 3), B_FOLLOW_ALL_SIDES, B_WILL_DRAW));
	QWidget* widget = BPrivate::ViewAccess::Widget(view.get());
	widget->resize(600, 400);
	widget->show();
	return view;
}

// Opening: the text set, its lines counted and the first screen painted.
void BM_OpenText(benchmark::State& state)
{
	const size_t bytes = 10u << 20;
	const std::string text = words_text(bytes, state.range(0) == 0 ? bytes : 100);
	for (auto _ : state) {
		state.PauseTiming();
		std::unique_ptr<BTextView> view = make_shown_view();
		state.ResumeTiming();
		view->SetText(text.c_str(), (int32)text.size());
		benchmark::DoNotOptimize(view->CountLines());
		BPrivate::ViewAccess::Widget(view.get())->repaint();
		state.PauseTiming();
		view.reset();
		state.ResumeTiming();
	}
}
// 0: one paragraph of 10 MB; 1: the same bytes as 100,000 paragraphs.
BENCHMARK(BM_OpenText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A keystroke in the middle of a 1 MB text: its one paragraph, or a short
// one among many; in a plain view, or in the locale view, which colours
// the line as it is typed in.
void BM_KeystrokeInParagraph(benchmark::State& state)
{
	const size_t bytes = 1u << 20;
	const std::string text = words_text(bytes, state.range(0) == 0 ? bytes : 100);
	std::unique_ptr<BTextView> view;
	if (state.range(1) == 0) {
		view = make_shown_view();
	} else {
		view = MakeLocaleView();
		QWidget* widget = BPrivate::ViewAccess::Widget(view.get());
		widget->resize(600, 400);
		widget->show();
	}
	view->SetText(text.c_str(), (int32)text.size());
	QWidget* widget = BPrivate::ViewAccess::Widget(view.get());
	widget->setFocus();
	int32 middle = (int32)(bytes / 2);
	while (middle > 0 && ((unsigned char)text[(size_t)middle] & 0xC0) == 0x80)
		middle--;
	view->Select(middle, middle);
	widget->repaint();
	for (auto _ : state) {
		QTest::keyClick(widget, Qt::Key_X);
		QTest::keyClick(widget, Qt::Key_Backspace);
		widget->repaint();
	}
}
// First 0: inside the 1 MB paragraph; 1: inside a short paragraph.
// Second 0: a plain view; 1: the locale view.
BENCHMARK(BM_KeystrokeInParagraph)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMicrosecond);

} // namespace
