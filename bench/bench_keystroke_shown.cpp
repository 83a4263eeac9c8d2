// A keystroke end to end: the view shown, the key event delivered, the event
// loop run until the paint is done. The locale text view (coloured) against
// a bare editor widget with a syntax highlighter colouring the same
// comments, holding the same text, at 1,000, 10,000 and 100,000 entries
// (three lines each). Read the figures as ratios of the two.
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>
#include <QTest>

#include <Application.h>
#include <Messenger.h>
#include <TextView.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "BenchLocaleView.h"
#include "LocaleEntriesText.h"
#include "LocaleTextView.h"
#include "Preferences.h"
#include "ViewPrivate.h"
#include "ZTLETextView.h"
#include "ZTLEWindow.h"

namespace {

class CommentHighlighter : public QSyntaxHighlighter
{
public:
	using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
	void highlightBlock(const QString& text) override
	{
		const int at = text.indexOf(QLatin1Char(';'));
		QTextCharFormat black, red;
		black.setForeground(Qt::black);
		red.setForeground(Qt::red);
		if (at < 0) {
			setFormat(0, (int)text.size(), black);
			return;
		}
		setFormat(0, at, black);
		setFormat(at, (int)text.size() - at, red);
	}
};

// One key in and out, each followed by the event loop until idle, so the
// paint it asked for is done.
void type_and_erase(QWidget* widget)
{
	QTest::keyClick(widget, Qt::Key_X);
	QCoreApplication::processEvents();
	QTest::keyClick(widget, Qt::Key_Backspace);
	QCoreApplication::processEvents();
}

void BM_ShownKeystrokeLocaleView(benchmark::State& state)
{
	std::unique_ptr<ZTLETextView> view = MakeLocaleView();
	view->SetText(locale_entries_text((int)state.range(0)).c_str());
	QWidget* widget = BPrivate::ViewAccess::Widget(view.get());
	widget->resize(600, 400);
	widget->show();
	if (!QTest::qWaitForWindowExposed(widget))
		state.SkipWithError("not exposed");
	// In the middle of the text, on a translation line.
	const int32 middle = view->OffsetAt(view->CountLines() / 2 + 1) - 1;
	view->Select(middle, middle);
	view->ScrollToSelection();
	widget->setFocus();
	QCoreApplication::processEvents();
	for (auto _ : state)
		type_and_erase(widget);
	widget->hide();
}
BENCHMARK(BM_ShownKeystrokeLocaleView)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);

void BM_ShownKeystrokeHighlightedEdit(benchmark::State& state)
{
	QPlainTextEdit editor;
	new CommentHighlighter(editor.document());
	editor.resize(600, 400);
	editor.setPlainText(QString::fromStdString(locale_entries_text((int)state.range(0))));
	editor.show();
	if (!QTest::qWaitForWindowExposed(&editor))
		state.SkipWithError("not exposed");
	QTextCursor cursor(editor.document()->findBlockByNumber(editor.document()->blockCount() / 2));
	cursor.movePosition(QTextCursor::EndOfBlock);
	editor.setTextCursor(cursor);
	editor.ensureCursorVisible();
	editor.setFocus();
	QCoreApplication::processEvents();
	for (auto _ : state)
		type_and_erase(&editor);
}
BENCHMARK(BM_ShownKeystrokeHighlightedEdit)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);

// The same keystroke in the editor's window, with its status line, its
// checks and its unsaved mark following the text as they do for a user.
void BM_ShownKeystrokeEditorWindow(benchmark::State& state)
{
	char folder[] = "/tmp/le-bench-keys-XXXXXX";
	if (mkdtemp(folder) == nullptr) {
		state.SkipWithError("no scratch folder");
		return;
	}
	const std::string prefsPath = std::string(folder) + "/LocaleEditor.prefs";
	BApplication* app = new BApplication("application/x-vnd.vessmor-localeeditor-bench");
	app->Lock();
	app->BLooper::Run();
	{
		Preferences prefs(prefsPath.c_str(), "ZTLOCALE");
		prefs.Set("ZT_MAINWINPOS", BRect(50, 50, 650, 500));
		ZTLEWindow* window = new ZTLEWindow("Korvane Locale Editor", &prefs, B_TITLED_WINDOW_LOOK,
		                                    B_NORMAL_WINDOW_FEEL, 0);
		window->Show();
		QCoreApplication::processEvents();
		BTextView* view = LocaleTextView(window);
		window->Lock();
		view->SetText(locale_entries_text((int)state.range(0)).c_str());
		const int32 middle = view->OffsetAt(view->CountLines() / 2 + 1) - 1;
		view->Select(middle, middle);
		view->ScrollToSelection();
		view->MakeFocus(true);
		window->Unlock();
		QWidget* widget = BPrivate::ViewAccess::Widget(view);
		if (!QTest::qWaitForWindowExposed(widget->window()))
			state.SkipWithError("not exposed");
		QCoreApplication::processEvents();
		for (auto _ : state)
			type_and_erase(widget);
		BMessenger gone(window);
		if (window->Lock())
			window->Quit();
		QElapsedTimer waited;
		waited.start();
		while (gone.IsValid() && waited.elapsed() < 10000)
			QCoreApplication::processEvents();
	}
	if (app->Lock())
		app->Quit();
	std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ShownKeystrokeEditorWindow)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);

} // namespace
