#include "ReferenceTestSupport.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>

#include <AppDefs.h>
#include <Application.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Messenger.h>
#include <PopUpMenu.h>
#include <Roster.h>
#include <TextControl.h>
#include <TextView.h>

#include "EditorViewNames.h"
#include "LocaleEditorApplication.h"
#include "LocaleSuiteClient.h"

namespace fs = std::filesystem;

namespace {

std::string gAppFolder;

// The editor's application object, started up in a scratch folder and
// without its own window: each test makes the window it needs. Quit
// requests (a closing window sends one) must not end the test run.
class TestEditorApplication : public LocaleEditorApplication
{
public:
	TestEditorApplication(const char* folder) : LocaleEditorApplication(folder, BMessenger()) {}
	void DispatchMessage(BMessage* message, BHandler* handler) override
	{
		if (message->what == B_QUIT_REQUESTED)
			return;
		LocaleEditorApplication::DispatchMessage(message, handler);
	}
};

} // namespace

const std::string& AppFolder()
{
	return gAppFolder;
}

std::string EditorExecutable()
{
	return BuildFolder() + "/LocaleEditor";
}

std::string PeerExecutable(const char* name)
{
	return BuildFolder() + "/tests/" + name;
}

void CopyWithAttributes(const std::string& from, const std::string& to)
{
	fs::copy_file(from, to, fs::copy_options::overwrite_existing);
	fs::permissions(to, fs::perms::owner_all);
	char names[4096];
	ssize_t length = listxattr(from.c_str(), names, sizeof(names));
	for (ssize_t at = 0; at < length; at += strlen(names + at) + 1) {
		std::vector<char> value(65536);
		ssize_t size = getxattr(from.c_str(), names + at, value.data(), value.size());
		if (size >= 0)
			setxattr(to.c_str(), names + at, value.data(), size, 0);
	}
}

ChildProcess::ChildProcess(const std::string& executable, std::vector<std::string> arguments,
                           const std::map<std::string, std::string>& environment)
    : EditorHarness(executable, std::move(arguments), environment)
{
}

ChildProcess::~ChildProcess()
{
	Stop();
}

bool ChildProcess::WaitUntilRegistered(std::chrono::milliseconds timeout)
{
	const team_id team = Pid();
	return WaitUntilAnswering(timeout, [team] {
		app_info info;
		return be_roster->GetRunningAppInfo(team, &info) == B_OK;
	});
}

void ReferenceWindowTest::SetUp()
{
	auto* app = dynamic_cast<LocaleEditorApplication*>(be_app);
	ASSERT_NE(app, nullptr);
	OpenWindow(app->Prefs());
}

void ReferenceWindowTest::TearDown()
{
	CloseWindow();
}

std::string ReferenceWindowTest::ControlText(const char* name)
{
	BTextControl* control = Control(name);
	return control != nullptr && control->Text() != nullptr ? control->Text() : "<none>";
}

BTextView* ReferenceWindowTest::TextView()
{
	return dynamic_cast<BTextView*>(mWindow->FindView(kLocaleTextView));
}

std::string ReferenceWindowTest::Text()
{
	BTextView* view = TextView();
	return view != nullptr ? std::string(view->Text(), view->TextLength()) : "<none>";
}

void ReferenceWindowTest::SetText(const std::string& text)
{
	BTextView* view = TextView();
	ASSERT_NE(view, nullptr);
	view->SetText(text.data(), static_cast<int32>(text.size()));
}

BPopUpMenu* ReferenceWindowTest::PopUp()
{
	auto* field = dynamic_cast<BMenuField*>(mWindow->FindView("mnu_refget"));
	return field != nullptr ? dynamic_cast<BPopUpMenu*>(field->Menu()) : nullptr;
}

std::vector<std::string> ReferenceWindowTest::Labels()
{
	std::vector<std::string> labels;
	BPopUpMenu* menu = PopUp();
	for (int32 i = 0; menu != nullptr && i < menu->CountItems(); i++)
		labels.push_back(menu->ItemAt(i)->Label() != nullptr ? menu->ItemAt(i)->Label() : "");
	return labels;
}

std::vector<std::string> ReferenceWindowTest::Signatures()
{
	std::vector<std::string> signatures;
	BPopUpMenu* menu = PopUp();
	for (int32 i = 0; menu != nullptr && i < menu->CountItems(); i++) {
		const char* signature = nullptr;
		BMessage* message = menu->ItemAt(i)->Message();
		signatures.push_back(
		    message != nullptr && message->FindString("signature", &signature) == B_OK ? signature
		                                                                               : "<none>");
	}
	return signatures;
}

namespace {

// The pop-up lists every application on the session bus, so these tests
// run on a bus of their own: other test programs running at the same time
// would otherwise come and go in it. Returns only on the private bus (or
// when no private bus can be had).
void RunOnPrivateBus(int argc, char** argv)
{
	const char* const kMarker = "LE_REFERENCE_TEST_BUS";
	if (getenv(kMarker) != nullptr)
		return;
	setenv(kMarker, "1", 1);
	std::string self = fs::read_symlink("/proc/self/exe").string();
	std::vector<char*> arguments;
	arguments.push_back(const_cast<char*>("dbus-run-session"));
	arguments.push_back(const_cast<char*>("--"));
	arguments.push_back(self.data());
	for (int i = 1; i < argc; i++)
		arguments.push_back(argv[i]);
	arguments.push_back(nullptr);
	execvp("dbus-run-session", arguments.data());
	fprintf(stderr, "dbus-run-session not found: running on the current session bus\n");
}

} // namespace

int main(int argc, char** argv)
{
	RunOnPrivateBus(argc, argv);
	::testing::InitGoogleTest(&argc, argv);

	ScratchFolder folder;
	gAppFolder = folder.Path();
	// Short waits for programs that never answer, so those tests take
	// seconds rather than the program's time-outs.
	LocaleSuiteClient::SetDefaultTimeouts(500000, 1500000);

	TestEditorApplication* app = new TestEditorApplication(gAppFolder.c_str());
	// The application's own thread runs as in the program and answers the
	// suite; the test body keeps the main thread and runs the GUI.
	app->Lock();
	app->BLooper::Run();

	int result = RUN_ALL_TESTS();

	if (app->Lock())
		app->Quit();
	return result;
}
