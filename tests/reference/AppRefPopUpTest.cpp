// The pop-up of running locale applications, with real second processes on
// the session bus: what it lists, in which order, with which icon, and how
// launches and quits change it.

#include "ReferenceTestSupport.h"

#include <AppDefs.h>
#include <Bitmap.h>
#include <Entry.h>
#include <List.h>
#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Node.h>
#include <OS.h>
#include <Path.h>
#include <PopUpMenu.h>
#include <Roster.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "EditorMessages.h"
#include "LocaleEditorApplication.h"
#include "ReferenceFetcher.h"
#include "ZTBitmapMenuItem.h"

namespace fs = std::filesystem;

namespace {

const char* const kPeerSignature = "application/x-vnd.test-localepeer";

std::string OwnLeafName()
{
	return fs::read_symlink("/proc/self/exe").filename().string();
}

int CountOf(const std::vector<std::string>& values, const std::string& value)
{
	return static_cast<int>(std::count(values.begin(), values.end(), value));
}

std::string MiniIconAttribute(const std::string& path)
{
	std::string bytes(256, '\0');
	BNode node(path.c_str());
	ssize_t read = node.ReadAttr("BEOS:M:STD_ICON", 0, 0, bytes.data(), bytes.size());
	return read == 256 ? bytes : std::string();
}

std::string BitmapBytes(const BBitmap* bitmap)
{
	if (bitmap == nullptr)
		return std::string();
	std::string bytes;
	const uint8* bits = static_cast<const uint8*>(bitmap->Bits());
	for (int32 row = 0; row < 16; row++)
		bytes.append(reinterpret_cast<const char*>(bits + row * bitmap->BytesPerRow()), 16);
	return bytes;
}

} // namespace

class AppRefPopUp : public ReferenceWindowTest
{
protected:
	const ZTBitmapMenuItem* ItemLabelled(const std::string& label)
	{
		BPopUpMenu* menu = PopUp();
		for (int32 i = 0; menu != nullptr && i < menu->CountItems(); i++) {
			if (label == menu->ItemAt(i)->Label())
				return dynamic_cast<const ZTBitmapMenuItem*>(menu->ItemAt(i));
		}
		return nullptr;
	}

	// Puts a label no rebuild would make on the first item.
	void MarkCurrentItems()
	{
		ASSERT_GT(PopUp()->CountItems(), 0);
		PopUp()->ItemAt(0)->SetLabel("not rebuilt");
	}
	bool WasRebuilt() { return CountOf(Labels(), "not rebuilt") == 0; }

	// Waits until the window has handled the roster's notice for team.
	bool WaitForNotice(uint32 what, team_id team)
	{
		bool seen = WaitFor([&] { return mWindow->CountHandledFor(what, team) > 0; });
		SettleSurvey();
		return seen;
	}

	// Stops child and waits until the window has handled its quit notice.
	bool StopAndWaitForQuit(ChildProcess& child)
	{
		const team_id team = child.Team();
		child.Stop();
		return WaitForNotice(B_SOME_APP_QUIT, team);
	}
};

TEST_F(AppRefPopUp, ListsTheEditorItselfRightAfterStartUnderItsTitle)
{
	BPopUpMenu* menu = PopUp();
	ASSERT_NE(menu, nullptr);
	EXPECT_STREQ(menu->Name(), "Application Reference");
	EXPECT_FALSE(menu->IsRadioMode());
	EXPECT_TRUE(menu->IsLabelFromMarked());

	std::vector<std::string> labels = Labels();
	ASSERT_EQ(CountOf(labels, OwnLeafName()), 1);
	size_t own = std::find(labels.begin(), labels.end(), OwnLeafName()) - labels.begin();
	EXPECT_EQ(Signatures()[own], kAppSignature);
	EXPECT_EQ(menu->ItemAt(own)->Message()->what, static_cast<uint32>('gref'));
	// The item names the application as it shows it, for "Asking ...".
	const char* name = nullptr;
	ASSERT_EQ(menu->ItemAt(own)->Message()->FindString("name", &name), B_OK);
	EXPECT_EQ(name, OwnLeafName());
	// The test program carries no icon: an empty (transparent) one, not none.
	const ZTBitmapMenuItem* item = ItemLabelled(OwnLeafName());
	ASSERT_NE(item, nullptr);
	ASSERT_NE(item->Bitmap(), nullptr);
	EXPECT_EQ(BitmapBytes(item->Bitmap()), std::string(256, '\xff'));
}

TEST_F(AppRefPopUp, AnotherEditorIsAddedWithItsFileNameAndIcon)
{
	ScratchFolder folder;
	CopyWithAttributes(EditorExecutable(), folder / "LocaleEditor");
	std::string icon = MiniIconAttribute(EditorExecutable());
	ASSERT_EQ(icon.size(), 256u) << "the build stores the editor's icon on it";

	ChildProcess editor(folder / "LocaleEditor");
	ASSERT_TRUE(editor.WaitUntilRegistered());
	ASSERT_TRUE(WaitFor([&] { return CountOf(Labels(), "LocaleEditor") == 1; }));

	const ZTBitmapMenuItem* item = ItemLabelled("LocaleEditor");
	ASSERT_NE(item, nullptr);
	EXPECT_EQ(BitmapBytes(item->Bitmap()), icon);
	// The same program as this one: both under the editor's signature.
	EXPECT_EQ(CountOf(Signatures(), kAppSignature), 2);
}

TEST_F(AppRefPopUp, ALaunchWithoutTheSuiteChangesNothingALaunchWithItAddsAtTheEnd)
{
	MarkCurrentItems();
	size_t before = Labels().size();

	ChildProcess plain(PeerExecutable("plain_peer"));
	ASSERT_TRUE(plain.WaitUntilRegistered());
	ASSERT_TRUE(WaitForNotice(B_SOME_APP_LAUNCHED, plain.Team()));
	EXPECT_FALSE(WasRebuilt());
	EXPECT_EQ(Labels().size(), before);

	ChildProcess peer(PeerExecutable("locale_peer"));
	ASSERT_TRUE(peer.WaitUntilRegistered());
	ASSERT_TRUE(WaitForNotice(B_SOME_APP_LAUNCHED, peer.Team()));
	EXPECT_TRUE(WasRebuilt());
	ASSERT_EQ(Labels().size(), before + 1);
	// The roster lists applications in the order they registered.
	EXPECT_EQ(Labels().back(), "locale_peer");
	EXPECT_EQ(Signatures().back(), kPeerSignature);
}

TEST_F(AppRefPopUp, QuittingAnyProgramRebuildsTheList)
{
	ChildProcess peer(PeerExecutable("locale_peer"));
	ChildProcess plain(PeerExecutable("plain_peer"));
	ASSERT_TRUE(peer.WaitUntilRegistered());
	ASSERT_TRUE(plain.WaitUntilRegistered());
	ASSERT_TRUE(WaitFor([&] { return CountOf(Labels(), "locale_peer") == 1; }));

	MarkCurrentItems();
	ASSERT_TRUE(StopAndWaitForQuit(plain));
	EXPECT_TRUE(WasRebuilt());
	EXPECT_EQ(CountOf(Labels(), "locale_peer"), 1);

	ASSERT_TRUE(StopAndWaitForQuit(peer));
	EXPECT_EQ(CountOf(Labels(), "locale_peer"), 0);
	EXPECT_EQ(CountOf(Labels(), OwnLeafName()), 1);
}

TEST_F(AppRefPopUp, TwoInstancesGiveTwoItemsWithTheSameSignature)
{
	ChildProcess first(PeerExecutable("locale_peer"));
	ChildProcess second(PeerExecutable("locale_peer"));
	ASSERT_TRUE(first.WaitUntilRegistered());
	ASSERT_TRUE(second.WaitUntilRegistered());
	ASSERT_TRUE(WaitFor([&] { return CountOf(Labels(), "locale_peer") == 2; }));
	EXPECT_EQ(CountOf(Signatures(), kPeerSignature), 2);

	// The roster tells the two apart: each with its own team, the same
	// executable and the same signature.
	BList teams(20);
	be_roster->GetAppList(kPeerSignature, &teams);
	ASSERT_EQ(teams.CountItems(), 2);
	std::string executable = fs::canonical(PeerExecutable("locale_peer")).string();
	for (team_id team : {first.Team(), second.Team()}) {
		EXPECT_TRUE(teams.HasItem(reinterpret_cast<void*>(static_cast<addr_t>(team))));
		app_info info;
		ASSERT_EQ(be_roster->GetRunningAppInfo(team, &info), B_OK);
		EXPECT_EQ(info.team, team);
		EXPECT_STREQ(info.signature, kPeerSignature);
		BPath path(&info.ref);
		EXPECT_EQ(std::string(path.Path() != nullptr ? path.Path() : ""), executable);
	}
}

TEST_F(AppRefPopUp, AnApplicationWhoseSuitesLackTheLocaleSuiteIsLeftOut)
{
	ChildProcess mute(PeerExecutable("locale_peer"),
	                  {"--no-suite", "--signature=application/x-vnd.test-nosuite"});
	ASSERT_TRUE(mute.WaitUntilRegistered());
	ASSERT_TRUE(WaitForNotice(B_SOME_APP_LAUNCHED, mute.Team()));
	EXPECT_EQ(CountOf(Signatures(), "application/x-vnd.test-nosuite"), 0);
	EXPECT_FALSE(mWindow->IsZTLocaleApp(mute.Team()));

	// The other way round, as a control: the same program with the suite.
	ChildProcess speaking(PeerExecutable("locale_peer"),
	                      {"--signature=application/x-vnd.test-withsuite"});
	ASSERT_TRUE(speaking.WaitUntilRegistered());
	EXPECT_TRUE(mWindow->IsZTLocaleApp(speaking.Team()));
	EXPECT_FALSE(mWindow->IsZTLocaleApp(-1));
}

TEST_F(AppRefPopUp, AProgramThatNeverSaysItsSuitesHoldsUpNeitherTheWindowNorItsClosing)
{
	// Long enough that a window waiting for the program would show.
	LocaleSuiteClient::SetDefaultTimeouts(30000000, 1500000);
	ChildProcess hung(PeerExecutable("locale_peer"),
	                  {"--hold-suites", "--signature=application/x-vnd.test-holdsuites"});
	ASSERT_TRUE(hung.WaitUntilRegistered());
	ASSERT_TRUE(
	    WaitFor([&] { return mWindow->CountHandledFor(B_SOME_APP_LAUNCHED, hung.Team()); }));

	// The survey waits for the program; the window meanwhile runs commands.
	const bigtime_t start = system_time();
	ASSERT_TRUE(mWindow->Lock());
	EXPECT_TRUE(mWindow->IsSurveyingApps());
	mWindow->Unlock();
	Dispatch(BMessage(kMsgNewFile));
	EXPECT_EQ(CountOf(Labels(), "locale_peer"), 0);
	EXPECT_LT(system_time() - start, 5000000) << "the window waited for the program";

	// Closing the window stops the survey at once.
	BMessenger window(mWindow);
	ASSERT_TRUE(mWindow->Lock());
	mWindow->Quit();
	mWindow = nullptr;
	EXPECT_TRUE(WaitFor([&] { return !window.IsValid(); })) << "the window did not go";
	EXPECT_LT(system_time() - start, 5000000) << "closing waited for the program";
	LocaleSuiteClient::SetDefaultTimeouts(500000, 1500000);
}

TEST_F(AppRefPopUp, AProgramWhoseFileIsGoneIsALostFileWithoutIconButKeepsItsSignature)
{
	ScratchFolder folder;
	CopyWithAttributes(PeerExecutable("locale_peer"), folder / "vanishing_peer");
	ChildProcess peer(folder / "vanishing_peer", {"--signature=application/x-vnd.test-vanishing"});
	ASSERT_TRUE(peer.WaitUntilRegistered());
	ASSERT_TRUE(WaitFor([&] { return CountOf(Labels(), "vanishing_peer") == 1; }));

	fs::remove(folder / "vanishing_peer");
	mWindow->Lock();
	mWindow->UpdateAppRefPopUp(PopUp());
	mWindow->Unlock();

	EXPECT_EQ(CountOf(Labels(), "vanishing_peer"), 0);
	const ZTBitmapMenuItem* lost = ItemLabelled("<Lost File>");
	ASSERT_NE(lost, nullptr);
	EXPECT_EQ(lost->Bitmap(), nullptr);
	const char* signature = nullptr;
	ASSERT_EQ(const_cast<ZTBitmapMenuItem*>(lost)->Message()->FindString("signature", &signature),
	          B_OK);
	EXPECT_STREQ(signature, "application/x-vnd.test-vanishing");
}

TEST_F(AppRefPopUp, PickingAnItemMarksNothingAndTheFieldKeepsShowingTheTitle)
{
	std::vector<std::string> signatures = Signatures();
	size_t own =
	    std::find(signatures.begin(), signatures.end(), kAppSignature) - signatures.begin();
	ASSERT_LT(own, signatures.size());
	PopUp()->ItemAt(own)->Invoke();
	// The answer comes to the window later, as a message of its own.
	Settle();
	ASSERT_TRUE(WaitFor([&] { return mWindow->CountHandled(kMsgReferenceFetched) == 1; }));
	Settle();
	for (int32 i = 0; i < PopUp()->CountItems(); i++)
		EXPECT_FALSE(PopUp()->ItemAt(i)->IsMarked());
	auto* field = dynamic_cast<BMenuField*>(mWindow->FindView("mnu_refget"));
	ASSERT_NE(field, nullptr);
	ASSERT_NE(field->MenuBar(), nullptr);
	ASSERT_GT(field->MenuBar()->CountItems(), 0);
	EXPECT_STREQ(field->MenuBar()->ItemAt(0)->Label(), "Application Reference");
	// The pick did fetch: the editor's own language arrived.
	EXPECT_EQ(ControlText("txtctrl_reference"), "English");
}
