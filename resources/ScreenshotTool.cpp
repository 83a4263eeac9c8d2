// Build tool: the editor's window as software centres show it. Starts the
// editor's application in this process (offscreen), shows it at work (a
// German locale file half translated against the editor's own English texts,
// one entry with a check warning, the caret on it so the status line says
// so), saves a picture of the window and quits.
//
// usage: le_screenshot_tool --output=PNG
// (an option, not a file name: the application opens the files it is given)

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include <AppDefs.h>
#include <Application.h>
#include <Entry.h>
#include <Message.h>

#include "EditorMessages.h"
#include "InterfaceTexts.h"
#include "LocaleEditorApplication.h"
#include "LocaleFile.h"
#include "LocaleSuiteClient.h"
#include "TextFormat.h"
#include "ZTLEStatusView.h"
#include "ZTLEWindow.h"

namespace {

// Gives up when no window is shown (or the file is not shown loaded)
// within this many checks.
const int kChecksMax = 250;
const float kWidth = 760;
const float kHeight = 540;

// The translator's work so far: the first texts in German; the last one
// forgets the file name's placeholder, which the check warns of.
const char* const kGerman[] = {
    "Ok",
    "Abbrechen",
    "Weiter",
    "Ja",
    "Nein",
    "Alle",
    "Leeren",
    "Alles auswählen",
    "Alles leeren",
    "Datei",
    "Über",
    "Hilfe",
    "Laden",
    "Auswahl",
    "Beenden",
    "Einstellungen",
    "Automatisch sichern",
    "Speichern",
    "Sprache",
    "Referenz",
    "Anwendungskennung",
    "Version",
    "Die Hilfedatei kann nicht geladen werden!",
};
const long kWarnedEntry = (long)std::size(kGerman);

ZTLEWindow* EditorWindow()
{
	for (int32 i = 0; be_app != nullptr && i < be_app->CountWindows(); i++) {
		if (ZTLEWindow* window = dynamic_cast<ZTLEWindow*>(be_app->WindowAt(i)))
			return window;
	}
	return nullptr;
}

// The editor window's widget once it is shown (an alert would be another).
QWidget* ShownWindow(const char* title)
{
	for (QWidget* widget : QApplication::topLevelWidgets()) {
		if (widget->isVisible() && widget->width() > 1 && widget->height() > 1 &&
		    title != nullptr && widget->windowTitle() == QString::fromUtf8(title))
			return widget;
	}
	return nullptr;
}

// Whether the status line tells the warned entry's findings ("entry 23:
// %s missing").
bool ShowsFindings(ZTLEWindow* window)
{
	const std::string entry =
	    FillPlaceholders(mText[kTextProgressEntry], "%d", {std::to_string(kWarnedEntry)}) + ": ";
	return window->StatusView() != nullptr &&
	       window->StatusView()->Text().find(entry) != std::string::npos;
}

// The German file as the translator last saved it: every entry of the
// editor's table, the untranslated ones empty.
bool WriteGermanFile(const std::string& path)
{
	std::vector<const char*> texts(kInterfaceTextCount, "");
	for (size_t i = 0; i < std::size(kGerman); i++)
		texts[i] = kGerman[i];
	BMessage locale;
	LocaleFile::Build(&locale, "01.00", kLocaleAppID, "Deutsch", texts.data(), (long)texts.size());
	return LocaleFile::Write(path.c_str(), locale, "Deutsch") == B_OK;
}

// The editor's own English texts as a reference from a running application
// gives them.
BMessage EnglishReference()
{
	BMessage reference;
	reference.AddString(kLocaleFieldLanguage, kInterfaceTextLanguage);
	reference.AddString(kLocaleFieldAppID, kLocaleAppID);
	for (long i = 0; i < kInterfaceTextCount; i++)
		reference.AddString(kLocaleFieldText,
		                    LocaleSuiteClient::EscapeReferenceText(mText[i]).c_str());
	return reference;
}

} // namespace

int main(int argc, char** argv)
{
	const std::string option = "--output=";
	if (argc != 2 || std::string(argv[1]).rfind(option, 0) != 0) {
		std::fprintf(stderr, "usage: le_screenshot_tool --output=PNG\n");
		return 2;
	}
	QString output = QString::fromLocal8Bit(argv[1] + option.size());
	auto* app = new LocaleEditorApplication;
	QTemporaryDir scratch;
	const std::string file = scratch.path().toStdString() + "/Deutsch.locale";
	int result = 1;
	int checks = 0;
	enum { kWaitForWindow, kWaitForFile, kWaitForStatus } step = kWaitForWindow;
	QTimer timer;
	timer.setInterval(20);
	auto fail = [&](const char* why) {
		timer.stop();
		std::fprintf(stderr, "le_screenshot_tool: %s\n", why);
		be_app->PostMessage(B_QUIT_REQUESTED);
	};
	QObject::connect(&timer, &QTimer::timeout, [&] {
		if (++checks >= kChecksMax)
			return fail("the window did not show the work in time");
		ZTLEWindow* window = EditorWindow();
		if (window == nullptr || !window->Lock())
			return;
		if (ShownWindow(window->Title()) == nullptr) {
			window->Unlock();
			return;
		}
		switch (step) {
		case kWaitForWindow: {
			entry_ref ref;
			if (!scratch.isValid() || !WriteGermanFile(file) ||
			    get_ref_for_path(file.c_str(), &ref) != B_OK) {
				window->Unlock();
				return fail("could not write the German file");
			}
			window->ResizeTo(kWidth, kHeight);
			// As the Open panel hands it over.
			BMessage load(kMsgLoadFile);
			load.AddRef("refs", &ref);
			window->PostMessage(&load);
			step = kWaitForFile;
			break;
		}
		case kWaitForFile:
			if (window->CurrentFile() == file) {
				BMessage reference = EnglishReference();
				window->ReferenceSet(&reference);
				// Scrolled on a little first, so that untranslated entries
				// show under the warned one.
				window->GoToEntry(kWarnedEntry + 5);
				window->GoToEntry(kWarnedEntry);
				window->UpdateStatus();
				step = kWaitForStatus;
			}
			break;
		case kWaitForStatus:
			// Once a tick of the status line has passed, the warning marks
			// and the entry's findings show: the picture waits for them.
			if (ShowsFindings(window)) {
				QWidget* shown = ShownWindow(window->Title());
				timer.stop();
				if (shown != nullptr && QDir().mkpath(QFileInfo(output).absolutePath()) &&
				    shown->grab().save(output, "PNG"))
					result = 0;
				else
					std::fprintf(stderr, "le_screenshot_tool: no picture of the window\n");
				be_app->PostMessage(B_QUIT_REQUESTED);
			}
			break;
		}
		window->Unlock();
	});
	timer.start();
	app->Run();
	delete app;
	return result;
}
