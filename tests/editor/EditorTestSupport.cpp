#include "EditorTestSupport.h"

#include "ZTLEStatusView.h"

#include <QApplication>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include <AppDefs.h>
#include <Application.h>
#include <Messenger.h>
#include <TextControl.h>
#include <TextView.h>
#include <View.h>

#include "EditorViewNames.h"
#include "InterfaceTexts.h"
#include "ZTLETextView.h"
#include "ZTLocale.h"

namespace {

const char* const kCopyVariable = "LE_EDITOR_TEST_FOLDER";

std::string gAppFolder;

std::atomic<int32> gQuitRequests{0};

// Keeps quit requests from ending the test run; each one is counted.
class TestApplication : public BApplication
{
public:
	TestApplication() : BApplication("application/x-vnd.vessmor-localeeditor-test") {}
	void DispatchMessage(BMessage* message, BHandler* handler) override
	{
		if (message->what == B_QUIT_REQUESTED) {
			gQuitRequests++;
			return;
		}
		BApplication::DispatchMessage(message, handler);
	}
};

// Runs this executable again from a copy in a fresh folder, so that the
// window's application folder is private to the run. Returns only in the
// copy.
void RunFromPrivateCopy(char** argv)
{
	if (const char* folder = getenv(kCopyVariable)) {
		gAppFolder = folder;
		return;
	}
	char pattern[] = "/tmp/le-editor-test-XXXXXX";
	if (mkdtemp(pattern) == nullptr) {
		perror("mkdtemp");
		exit(2);
	}
	std::string folder = std::filesystem::canonical(pattern).string();
	std::string copy = folder + "/test_editor";
	std::error_code error;
	std::filesystem::copy_file("/proc/self/exe", copy, error);
	if (!error)
		std::filesystem::permissions(copy, std::filesystem::perms::owner_all, error);
	if (error) {
		fprintf(stderr, "cannot copy the test to %s: %s\n", copy.c_str(), error.message().c_str());
		exit(2);
	}
	setenv(kCopyVariable, folder.c_str(), 1);
	execv(copy.c_str(), argv);
	perror("execv");
	exit(2);
}

} // namespace

int32 ApplicationQuitRequests()
{
	return gQuitRequests.load();
}

const std::string& AppFolder()
{
	return gAppFolder;
}

std::string EditorWindowTest::PrefsPath() const
{
	return AppFolder() + "/LocaleEditor.prefs";
}

void EditorWindowTest::SetUp()
{
	std::filesystem::remove(PrefsPath());
	std::filesystem::create_directories(AppFolder() + "/locale");
	mPrefs = std::make_unique<Preferences>(PrefsPath().c_str(), "ZTLOCALE");
	mPrefs->Set("ZT_MAINWINPOS", BRect(50, 50, 500, 400));
	mPrefs->Set("ZT_AUTOPREFS", (int8)1);
	BPrivate::clear_shown_alerts();
	std::shared_ptr<int32> answer = mAnswer;
	mResponder = std::make_unique<BPrivate::ScopedAlertResponder>(
	    [answer](const BPrivate::shown_alert&) { return *answer; });
	OpenWindow(mPrefs.get());
}

void EditorWindowTest::TearDown()
{
	CloseWindow();
	mResponder.reset();
	mPrefs.reset();
}

BView* EditorWindowTest::View(const char* name)
{
	return mWindow->FindView(name);
}

std::string EditorWindowTest::ControlText(const char* name)
{
	BTextControl* control = Control(name);
	return control != nullptr && control->Text() != nullptr ? control->Text() : "";
}

void EditorWindowTest::SetControlText(const char* name, const char* text)
{
	BTextControl* control = Control(name);
	ASSERT_NE(control, nullptr) << name;
	control->SetText(text);
}

static BTextView* TextViewOf(BWindow* window)
{
	return dynamic_cast<ZTLETextView*>(window->FindView(kLocaleTextView));
}

BTextView* EditorWindowTest::TextView()
{
	return TextViewOf(mWindow);
}

std::string EditorWindowTest::Text()
{
	BTextView* view = TextViewOf(mWindow);
	if (view == nullptr || view->Text() == nullptr)
		return "";
	return std::string(view->Text(), view->TextLength());
}

void EditorWindowTest::SetText(const std::string& text)
{
	BTextView* view = TextViewOf(mWindow);
	ASSERT_NE(view, nullptr);
	view->SetText(text.data(), (int32)text.size());
}

BRect EditorWindowTest::FrameInBackground(BView* view)
{
	BRect frame = view->Frame();
	for (BView* parent = view->Parent(); parent != nullptr && parent->Name() != nullptr &&
	                                     std::string(parent->Name()) != "bkg_view";
	     parent = parent->Parent())
		frame = parent->ConvertToParent(frame);
	return frame;
}

int main(int argc, char** argv)
{
	RunFromPrivateCopy(argv);
	::testing::InitGoogleTest(&argc, argv);

	TestApplication* app = new TestApplication();
	// The application's own thread runs as in the program; the test body
	// keeps the main thread and runs the GUI through WaitFor.
	app->Lock();
	app->BLooper::Run();
	ZTLocale* locale = ZTLocale::GetInstance();
	locale->SetAppID("korvane localeeditor locale");
	locale->SetDefaultText(mText, kInterfaceTextCount, "English");

	int result = RUN_ALL_TESTS();

	if (app->Lock())
		app->Quit();
	// Only the private copy's own folder goes.
	std::error_code ignored;
	if (gAppFolder.rfind("/tmp/le-editor-test-", 0) == 0)
		std::filesystem::remove_all(gAppFolder, ignored);
	return result;
}

std::string EditorWindowTest::Title()
{
	if (!mWindow->Lock())
		return "<no lock>";
	std::string title = mWindow->Title();
	mWindow->Unlock();
	return title;
}

std::string EditorWindowTest::Status()
{
	if (!mWindow->Lock())
		return "<no lock>";
	std::string status = mWindow->StatusView()->Text();
	mWindow->Unlock();
	return status;
}
