// The application object in this process, started through its test seam: an
// application folder of the test's choosing and, instead of the editor
// window, a looper that records what would reach the window.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include <Alert.h>
#include <AlertTesting.h>
#include <AppDefs.h>
#include <Entry.h>
#include <Looper.h>
#include <Message.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Path.h>

#include "EditorMessages.h"
#include "InterfaceTexts.h"
#include "LocaleEditorApplication.h"
#include "LocaleFile.h"
#include "MessageRecorder.h"
#include "Preferences.h"
#include "ZTLocale.h"

namespace {

using namespace std::chrono_literals;

class TestApplication : public LocaleEditorApplication
{
public:
	TestApplication(const char* appFolder, const BMessenger& fileTarget)
	    : LocaleEditorApplication(appFolder, fileTarget)
	{
	}
};

// One application per process, made before any test runs.
class ApplicationEnvironment : public testing::Environment
{
public:
	void SetUp() override
	{
		char pattern[] = "/tmp/shell-app-XXXXXX";
		ASSERT_NE(mkdtemp(pattern), nullptr);
		sFolder = pattern;
		// The locale folder's parent does not exist yet: start-up makes both.
		sAppFolder = sFolder + "/nested/app";
		// The journal of unsaved work stays in this test's folder.
		setenv("XDG_STATE_HOME", (sFolder + "/state").c_str(), 1);
		sRecorder = new MessageRecorder("recorder");
		sRecorder->Run();
		sApp = new TestApplication(sAppFolder.c_str(), BMessenger(sRecorder));
	}
	void TearDown() override
	{
		if (sRecorder->Lock())
			sRecorder->Quit();
		delete sApp;
		std::error_code error;
		std::filesystem::remove_all(sFolder, error);
	}

	static std::string sFolder;
	static std::string sAppFolder;
	static MessageRecorder* sRecorder;
	static TestApplication* sApp;
};

std::string ApplicationEnvironment::sFolder;
std::string ApplicationEnvironment::sAppFolder;
MessageRecorder* ApplicationEnvironment::sRecorder = nullptr;
TestApplication* ApplicationEnvironment::sApp = nullptr;

testing::Environment* const gEnvironment =
    testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

LocaleEditorApplication* App()
{
	return ApplicationEnvironment::sApp;
}

std::string WriteFile(const char* leaf, const std::vector<uint8_t>& bytes, const char* type)
{
	std::string path = ApplicationEnvironment::sFolder + "/" + leaf;
	std::ofstream(path, std::ios::binary)
	    .write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
	if (type != nullptr) {
		BNode node(path.c_str());
		BNodeInfo info(&node);
		info.SetType(type);
	}
	return path;
}

std::vector<uint8_t> LocaleBody()
{
	const char* texts[] = {"Gut"};
	BMessage message;
	LocaleFile::Build(&message, "01.00", kLocaleAppID, "Deutsch", texts, 1);
	std::vector<uint8_t> bytes(message.FlattenedSize());
	message.Flatten(reinterpret_cast<char*>(bytes.data()), (ssize_t)bytes.size());
	return bytes;
}

entry_ref RefFor(const std::string& path)
{
	entry_ref ref;
	get_ref_for_path(path.c_str(), &ref);
	return ref;
}

BMessage RefsMessage(std::vector<std::string> paths)
{
	BMessage message(B_REFS_RECEIVED);
	for (const std::string& path : paths) {
		entry_ref ref = RefFor(path);
		message.AddRef("refs", &ref);
	}
	return message;
}

// Hands each message to RefsReceived, then a good locale file as a marker.
// Messages reach the recorder in the order they were posted, so when the
// marker's arrives first, none of the others was forwarded.
void ExpectNoneForwarded(std::vector<BMessage> messages)
{
	ApplicationEnvironment::sRecorder->TakeAll();
	for (BMessage& message : messages)
		App()->RefsReceived(&message);
	std::string marker = WriteFile("marker.locale", LocaleBody(), kLocaleMimeType);
	BMessage markerMessage = RefsMessage({marker});
	App()->RefsReceived(&markerMessage);

	ASSERT_TRUE(ApplicationEnvironment::sRecorder->WaitForCount(1, 5s));
	std::vector<BMessage> forwarded = ApplicationEnvironment::sRecorder->TakeAll();
	ASSERT_FALSE(forwarded.empty());
	entry_ref ref;
	ASSERT_EQ(forwarded[0].FindRef("refs", &ref), B_OK);
	EXPECT_EQ(ref, RefFor(marker));
	EXPECT_EQ(forwarded.size(), 1u);
}

} // namespace

TEST(ApplicationStartUp, RegistersTheTextsAndMakesTheLocaleFolder)
{
	ZTLocale* locale = ZTLocale::GetInstance();
	EXPECT_STREQ(locale->AppID(), "korvane localeeditor locale");
	EXPECT_STREQ(locale->DefaultLanguage(), "English");
	EXPECT_EQ(locale->CountTexts(), kInterfaceTextCount);
	EXPECT_EQ(locale->Text(kTextNoAppID), mText[kTextNoAppID]);
	EXPECT_TRUE(std::filesystem::is_directory(ApplicationEnvironment::sAppFolder + "/locale"));

	// First start: defaults in memory, nothing written yet.
	Preferences* prefs = App()->Prefs();
	ASSERT_NE(prefs, nullptr);
	BRect frame = prefs->GetRect("ZT_MAINWINPOS");
	EXPECT_EQ(frame.left, 50);
	EXPECT_EQ(frame.top, 50);
	EXPECT_EQ(frame.right, 500);
	EXPECT_EQ(frame.bottom, 400);
	EXPECT_EQ(prefs->GetInt8("ZT_AUTOPREFS", 0), 1);
	EXPECT_STREQ(prefs->GetString("ZT_LANGUAGE", nullptr), "English");
	EXPECT_FALSE(
	    std::filesystem::exists(ApplicationEnvironment::sAppFolder + "/LocaleEditor.prefs"));
}

TEST(ApplicationSetDefaults, OnlyAFrameWithoutWidthIsReplaced)
{
	std::string path = ApplicationEnvironment::sFolder + "/defaults.prefs";
	struct Case
	{
		BRect stored;
		bool replaced;
	};
	const Case cases[] = {
	    {BRect(0, 0, 0, 0), true},          {BRect(200, 30, 200, 90), true},
	    {BRect(10, 10, 300, 10), false},   // no height, but a width
	    {BRect(300, 10, 100, 200), false}, // negative width
	    {BRect(-5, -5, 2000, 3000), false},
	};
	for (const Case& test : cases) {
		Preferences prefs(path.c_str(), "ZTLOCALE");
		prefs.Set("ZT_MAINWINPOS", test.stored);
		prefs.Set("ZT_AUTOPREFS", (int8)0);
		App()->SetDefaults(&prefs);
		BRect frame = prefs.GetRect("ZT_MAINWINPOS");
		BRect expected = test.replaced ? BRect(50, 50, 500, 400) : test.stored;
		EXPECT_EQ(frame.left, expected.left);
		EXPECT_EQ(frame.top, expected.top);
		EXPECT_EQ(frame.right, expected.right);
		EXPECT_EQ(frame.bottom, expected.bottom);
		EXPECT_EQ(prefs.GetInt8("ZT_AUTOPREFS", 0), test.replaced ? 1 : 0);
	}
	// Memory only: no file appears.
	EXPECT_FALSE(std::filesystem::exists(path));

	// A store without the key at all, as a loaded file may be.
	Preferences empty(path.c_str(), "ZTLOCALE");
	empty.Reset();
	App()->SetDefaults(&empty);
	EXPECT_EQ(empty.GetRect("ZT_MAINWINPOS").right, 500);
}

TEST(ApplicationRefs, ForwardsTheFirstFileWhateverItIsToTheWindow)
{
	// The window, not the application, judges the file, so that one it
	// cannot load is said in an alert instead of leaving an empty window.
	const std::string paths[] = {
	    WriteFile("first.locale", LocaleBody(), kLocaleMimeType),
	    WriteFile("typeless", LocaleBody(), nullptr),
	    WriteFile("notes.txt", {'h', 'i', '\n'}, nullptr),
	    WriteFile("empty.locale", {}, nullptr),
	    WriteFile("longer.locale", LocaleBody(), "locale/x-vnd.vessmor-locale-extra"),
	    ApplicationEnvironment::sFolder + "/missing.locale",
	};
	for (const std::string& path : paths) {
		ApplicationEnvironment::sRecorder->TakeAll();
		// Only the first ref counts: the editor holds one document.
		BMessage message = RefsMessage({path, paths[0]});
		App()->RefsReceived(&message);
		ASSERT_TRUE(ApplicationEnvironment::sRecorder->WaitForCount(1, 5s)) << path;
		std::vector<BMessage> forwarded = ApplicationEnvironment::sRecorder->TakeAll();
		ASSERT_EQ(forwarded.size(), 1u) << path;
		EXPECT_EQ(forwarded[0].what, kMsgLoadFile);
		entry_ref ref;
		ASSERT_EQ(forwarded[0].FindRef("refs", 0, &ref), B_OK);
		EXPECT_EQ(ref, RefFor(path)) << path;
		EXPECT_NE(forwarded[0].FindRef("refs", 1, &ref), B_OK);
	}
}

TEST(ApplicationRefs, IgnoresMessagesWithoutAFile)
{
	std::string good = WriteFile("good.locale", LocaleBody(), kLocaleMimeType);
	std::vector<BMessage> messages;
	messages.push_back(RefsMessage({}));
	BMessage wrongType(B_REFS_RECEIVED);
	wrongType.AddString("refs", good.c_str());
	messages.push_back(wrongType);
	ExpectNoneForwarded(messages);
}

TEST(ApplicationAbout, ShowsTheProgramsOwnCreditsWithOneButton)
{
	BPrivate::clear_shown_alerts();
	{
		BPrivate::ScopedAlertResponder answer([](const BPrivate::shown_alert&) { return 0; });
		App()->AboutRequested();
	}
	std::vector<BPrivate::shown_alert> shown = BPrivate::shown_alerts();
	ASSERT_EQ(shown.size(), 1u);
	EXPECT_EQ(shown[0].title, "About...");
	EXPECT_EQ(shown[0].buttons, std::vector<std::string>{"OK"});
	EXPECT_EQ(shown[0].type, (int32)B_INFO_ALERT);
	EXPECT_NE(shown[0].text.find("Korvane Locale Editor"), std::string::npos);
	EXPECT_NE(shown[0].text.find("1.0.0"), std::string::npos);
	// Every credit line ends in a line feed.
	EXPECT_EQ(shown[0].text.back(), '\n');
}
