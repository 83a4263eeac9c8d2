// Fetching a reference from a running application through the window:
// the editor asking itself, escapes, and programs that refuse, hang or are
// gone; the window staying live while it asks, Escape, a newer pick and
// closing the window during a fetch.

#include "ReferenceTestSupport.h"

#include <AppDefs.h>
#include <Looper.h>
#include <Messenger.h>
#include <OS.h>
#include <TextControl.h>
#include <TextView.h>

#include <sstream>

#include "InterfaceDefs.h"
#include "InterfaceTexts.h"
#include "LocaleEditorApplication.h"
#include "LocaleSuiteClient.h"
#include "ReferenceFetcher.h"
#include "ZTLEStatusView.h"

namespace {

BMessage GetReference(const char* signature)
{
	BMessage message('gref');
	message.AddString("signature", signature);
	return message;
}

std::vector<std::string> Lines(const std::string& text)
{
	std::vector<std::string> lines;
	std::istringstream in(text);
	for (std::string line; std::getline(in, line);)
		lines.push_back(line);
	return lines;
}

std::string Escaped(const char* text)
{
	std::string escaped;
	for (const char* p = text; *p != '\0'; p++)
		escaped += *p == '\n' ? std::string("\\n") : std::string(1, *p);
	return escaped;
}

} // namespace

class ReferenceFetch : public ReferenceWindowTest
{
protected:
	// Picks the application and waits until its answer (or its time-out)
	// has been applied.
	void Fetch(const char* signature)
	{
		Dispatch(GetReference(signature));
		ASSERT_TRUE(WaitFor([&] { return !Fetching(); }, std::chrono::seconds(40)))
		    << "no answer came";
		Settle();
	}

	std::string StatusLine()
	{
		EXPECT_TRUE(mWindow->Lock());
		std::string text = mWindow->StatusView()->Text();
		mWindow->Unlock();
		return text;
	}

	bool Fetching()
	{
		EXPECT_TRUE(mWindow->Lock());
		bool fetching = mWindow->IsFetchingReference();
		mWindow->Unlock();
		return fetching;
	}

	// What the translator had before asking an application that then fails
	// to answer; KeptAfterNoAnswer checks every bit of it is still there.
	void TypeFields()
	{
		ASSERT_TRUE(mWindow->Lock());
		Control("txtctrl_reference")->SetText("German");
		Control("txtctrl_appid")->SetText("typed id");
		Control("txtctrl_language")->SetText("Deutsch");
		Control("txtctrl_version")->SetText("02.00");
		mWindow->Unlock();
	}

	void ExpectKeptAfterNoAnswer(const char* name)
	{
		EXPECT_EQ(ControlText("txtctrl_reference"), "German");
		EXPECT_EQ(ControlText("txtctrl_appid"), "typed id");
		EXPECT_EQ(ControlText("txtctrl_language"), "Deutsch");
		EXPECT_EQ(ControlText("txtctrl_version"), "02.00");
		EXPECT_EQ(StatusLine(), std::string(name) + " did not answer; the fields are as they were");
	}

	// Escape pressed in the locale text: a key the text view leaves to the
	// window.
	void PressEscape()
	{
		BMessage key(B_KEY_DOWN);
		key.AddInt32("modifiers", 0);
		key.AddString("bytes", std::string(1, (char)B_ESCAPE).c_str());
		ASSERT_EQ(mWindow->PostMessage(&key, TextView()), B_OK);
		Settle();
	}
};

// A long reference time-out for one test, so that a window that waited for
// the program would show; the run's short one comes back afterwards.
class LongReferenceTimeout
{
public:
	LongReferenceTimeout() { LocaleSuiteClient::SetDefaultTimeouts(500000, 30000000); }
	~LongReferenceTimeout() { LocaleSuiteClient::SetDefaultTimeouts(500000, 1500000); }
};

// What "quickly" means below: far less than the 30 s time-out, with room
// for a slow machine or a sanitizer build.
const bigtime_t kQuickly = 10000000;

TEST_F(ReferenceFetch, TheEditorsOwnItemLoadsItsThirtyEightTextsOneLineEach)
{
	Fetch(kAppSignature);

	EXPECT_EQ(ControlText("txtctrl_reference"), "English");
	EXPECT_EQ(ControlText("txtctrl_appid"), "korvane localeeditor locale");
	std::vector<std::string> lines = Lines(Text());
	// Three lines per block on an empty text: marker, reference, empty line.
	ASSERT_EQ(lines.size(), 3u * kInterfaceTextCount);
	for (long i = 0; i < kInterfaceTextCount; i++) {
		EXPECT_EQ(lines[3 * i], "; #ID" + std::to_string(i + 1) + ":");
		EXPECT_EQ(lines[3 * i + 1], "; " + Escaped(mText[i]));
		EXPECT_EQ(lines[3 * i + 2], "");
	}
	// Entry 32 holds two line feeds of its own; they arrive as backslash-n.
	EXPECT_NE(lines[3 * 32 + 1].find("defined!\\n\\nPlease"), std::string::npos);
}

TEST_F(ReferenceFetch, TabsStayAndBackslashTBecomesATabWhileBackslashNStays)
{
	ChildProcess peer(PeerExecutable("locale_peer"),
	                  {"--signature=application/x-vnd.test-escapes", "--text=a\tb", "--text=c\\td",
	                   "--text=e\\nf", "--text=two\nlines", "--language=Deutsch",
	                   "--app-id=escape id"});
	ASSERT_TRUE(peer.WaitUntilRegistered());
	SetText("eins\nzwei\ndrei\nvier\n");

	Fetch("application/x-vnd.test-escapes");

	EXPECT_EQ(ControlText("txtctrl_reference"), "Deutsch");
	EXPECT_EQ(ControlText("txtctrl_appid"), "escape id");
	EXPECT_EQ(Text(), "; #ID1:\n; a\tb\neins\n"
	                  "; #ID2:\n; c\td\nzwei\n"
	                  "; #ID3:\n; e\\nf\ndrei\n"
	                  "; #ID4:\n; two\\nlines\nvier\n");
}

TEST_F(ReferenceFetch, AProgramThatNeverAnswersCostsOneTimeOutAndLeavesTheText)
{
	// main() sets the reference time-out to 1.5 s for this test run.
	ChildProcess peer(PeerExecutable("locale_peer"),
	                  {"--silent", "--signature=application/x-vnd.test-silent"});
	ASSERT_TRUE(peer.WaitUntilRegistered());
	SetText("Ok\n; mine\nAbbrechen\n");
	TypeFields();

	bigtime_t start = system_time();
	Fetch("application/x-vnd.test-silent");
	bigtime_t elapsed = system_time() - start;

	EXPECT_GE(elapsed, 1400000);
	// Three time-outs would be 4.5 s; the margin is for a busy machine.
	EXPECT_LT(elapsed, 4400000) << "a hung program must cost one time-out, not three";
	EXPECT_EQ(Text(), "Ok\n; mine\nAbbrechen\n");
	ExpectKeptAfterNoAnswer("application/x-vnd.test-silent");

	// The window works on afterwards, and a late answer cannot leak into the
	// next fetch.
	Fetch(kAppSignature);
	EXPECT_EQ(ControlText("txtctrl_reference"), "English");
}

TEST_F(ReferenceFetch, WhileAHungProgramIsAskedTheWindowWorksAndEscapeCancels)
{
	LongReferenceTimeout timeout;
	ChildProcess peer(PeerExecutable("locale_peer"),
	                  {"--silent", "--signature=application/x-vnd.test-hung"});
	ASSERT_TRUE(peer.WaitUntilRegistered());
	SetText("Ok\nAbbrechen\n");
	Control("txtctrl_reference")->SetText("German");
	Control("txtctrl_appid")->SetText("typed id");
	const std::string progress = StatusLine();

	const bigtime_t start = system_time();
	BMessage pick = GetReference("application/x-vnd.test-hung");
	pick.AddString("name", "hung_peer");
	Dispatch(pick);
	EXPECT_TRUE(Fetching());
	EXPECT_EQ(StatusLine(), "Asking hung_peer\u2026");

	// A command of the Edit menu is handled while the program is asked.
	ASSERT_TRUE(mWindow->Lock());
	TextView()->MakeFocus(true);
	TextView()->Select(0, 0);
	mWindow->Unlock();
	Dispatch(BMessage(B_SELECT_ALL));
	Settle();
	int32 from = -1, to = -1;
	ASSERT_TRUE(mWindow->Lock());
	TextView()->GetSelection(&from, &to);
	mWindow->Unlock();
	EXPECT_EQ(from, 0);
	EXPECT_EQ(to, 13) << "Select All ran while the program was asked";
	EXPECT_LT(system_time() - start, kQuickly) << "the window waited for the program";
	EXPECT_TRUE(Fetching());

	// Escape ends the wait; nothing of the reference changes, and the status
	// line shows what it showed before.
	PressEscape();
	EXPECT_FALSE(Fetching());
	EXPECT_LT(system_time() - start, kQuickly) << "cancelling waited for the program";
	Settle();
	EXPECT_EQ(StatusLine(), progress);
	EXPECT_EQ(ControlText("txtctrl_reference"), "German");
	EXPECT_EQ(ControlText("txtctrl_appid"), "typed id");
	EXPECT_EQ(Text(), "Ok\nAbbrechen\n");

	// Escape with nothing to cancel is a key like any other.
	PressEscape();
	EXPECT_EQ(ControlText("txtctrl_reference"), "German");
	EXPECT_EQ(Text(), "Ok\nAbbrechen\n");
}

TEST_F(ReferenceFetch, ANewerPickWinsOverAPendingOne)
{
	LongReferenceTimeout timeout;
	ChildProcess peer(PeerExecutable("locale_peer"),
	                  {"--silent", "--signature=application/x-vnd.test-slow"});
	ASSERT_TRUE(peer.WaitUntilRegistered());
	ChildProcess other(PeerExecutable("locale_peer"),
	                   {"--signature=application/x-vnd.test-newer", "--text=neu",
	                    "--language=Deutsch", "--app-id=newer id"});
	ASSERT_TRUE(other.WaitUntilRegistered());
	SetText("Ok\n");

	const bigtime_t start = system_time();
	Dispatch(GetReference("application/x-vnd.test-slow"));
	EXPECT_TRUE(Fetching());
	Fetch("application/x-vnd.test-newer");
	EXPECT_LT(system_time() - start, kQuickly) << "the newer pick waited for the older";

	EXPECT_FALSE(Fetching());
	EXPECT_EQ(ControlText("txtctrl_reference"), "Deutsch");
	EXPECT_EQ(ControlText("txtctrl_appid"), "newer id");
	EXPECT_EQ(Text(), "; #ID1:\n; neu\nOk\n");
	EXPECT_EQ(StatusLine().find("Asking"), std::string::npos);

	// Whatever the older fetch still sent is dropped: nothing changes.
	Settle();
	EXPECT_EQ(ControlText("txtctrl_reference"), "Deutsch");
	EXPECT_EQ(Text(), "; #ID1:\n; neu\nOk\n");
}

TEST_F(ReferenceFetch, ClosingTheWindowDuringAFetchIsQuickAndClean)
{
	LongReferenceTimeout timeout;
	ChildProcess peer(PeerExecutable("locale_peer"),
	                  {"--silent", "--signature=application/x-vnd.test-closing"});
	ASSERT_TRUE(peer.WaitUntilRegistered());
	Dispatch(GetReference("application/x-vnd.test-closing"));
	ASSERT_TRUE(Fetching());

	const bigtime_t start = system_time();
	BMessenger window(mWindow);
	ASSERT_TRUE(mWindow->Lock());
	mWindow->Quit();
	mWindow = nullptr;
	EXPECT_TRUE(WaitFor([&] { return !window.IsValid(); })) << "the window did not go";
	EXPECT_LT(system_time() - start, kQuickly) << "closing waited for the program";

	// The editor's application still answers afterwards: nothing hangs.
	LocaleSuiteClient client(-1);
	BMessage reference;
	EXPECT_EQ(client.FetchReference(kAppSignature, &reference), B_OK);
}

TEST_F(ReferenceFetch, AProgramThatHasQuitLeavesTheTextAndEveryField)
{
	ChildProcess peer(PeerExecutable("locale_peer"), {"--signature=application/x-vnd.test-gone"});
	ASSERT_TRUE(peer.WaitUntilRegistered());
	peer.Stop();
	SetText("Ok\nAbbrechen\n");
	TypeFields();

	BMessage pick = GetReference("application/x-vnd.test-gone");
	pick.AddString("name", "gone_peer");
	Dispatch(pick);
	ASSERT_TRUE(WaitFor([&] { return !Fetching(); }));
	Settle();

	EXPECT_EQ(Text(), "Ok\nAbbrechen\n");
	ExpectKeptAfterNoAnswer("gone_peer");

	// Choosing no application at all blanks the reference on purpose.
	mWindow->Lock();
	mWindow->ReferenceLoadSig(nullptr);
	mWindow->Unlock();
	EXPECT_EQ(ControlText("txtctrl_reference"), " ");
	EXPECT_EQ(Text(), "Ok\nAbbrechen\n");
}

TEST_F(ReferenceFetch, AProgramThatRefusesTheSuiteChangesNothing)
{
	ChildProcess peer(PeerExecutable("locale_peer"),
	                  {"--no-suite", "--signature=application/x-vnd.test-refuses"});
	ASSERT_TRUE(peer.WaitUntilRegistered());
	SetText("Ok\n");

	LocaleSuiteClient client(current_team());
	BMessage reference;
	EXPECT_EQ(client.FetchReference("application/x-vnd.test-refuses", &reference), B_ERROR);
	EXPECT_TRUE(reference.IsEmpty());

	TypeFields();
	Fetch("application/x-vnd.test-refuses");
	EXPECT_EQ(Text(), "Ok\n");
	ExpectKeptAfterNoAnswer("application/x-vnd.test-refuses");
}

TEST_F(ReferenceFetch, EmptyAnswersGiveEmptyFieldsAndNoTexts)
{
	ChildProcess peer(PeerExecutable("locale_peer"), {"--signature=application/x-vnd.test-empty",
	                                                  "--texts=0", "--language=", "--app-id="});
	ASSERT_TRUE(peer.WaitUntilRegistered());

	LocaleSuiteClient client(current_team());
	BMessage reference;
	EXPECT_EQ(client.FetchReference("application/x-vnd.test-empty", &reference), B_OK);
	const char* value = nullptr;
	EXPECT_EQ(reference.FindString("zt:language", &value), B_OK);
	EXPECT_EQ(reference.FindString("zt:app_id", &value), B_OK);
	EXPECT_NE(reference.FindString("zt:text", &value), B_OK);
}

namespace {

// Answers every request with a bare B_REPLY, or, for "DefaultText", with
// the error reply of a program that does not know the property. Counts what
// it was asked.
class BareReplier : public BLooper
{
public:
	BHandler* ResolveSpecifier(BMessage*, int32, BMessage*, int32, const char*) override
	{
		return this;
	}
	void MessageReceived(BMessage* message) override
	{
		int32 index;
		BMessage specifier;
		int32 form;
		const char* property = nullptr;
		message->GetCurrentSpecifier(&index, &specifier, &form, &property);
		mAsked.push_back(property != nullptr ? property : "");
		BMessage reply(mAsked.back() == "DefaultText" ? B_MESSAGE_NOT_UNDERSTOOD : B_REPLY);
		message->SendReply(&reply);
	}
	std::vector<std::string> mAsked;
};

} // namespace

TEST(ReferenceRequests, ABareReplyCountsAsAnEmptyValueAndARefusalIsLeftOut)
{
	BareReplier* replier = new BareReplier;
	replier->Run();
	BMessenger target(replier);

	LocaleSuiteClient client(-1, 500000, 1000000);
	BMessage reference;
	EXPECT_EQ(client.FetchReference(target, &reference), B_ERROR);

	const char* value = nullptr;
	ASSERT_EQ(reference.FindString("zt:language", &value), B_OK);
	EXPECT_STREQ(value, "");
	ASSERT_EQ(reference.FindString("zt:app_id", &value), B_OK);
	EXPECT_STREQ(value, "");
	EXPECT_NE(reference.FindString("zt:text", &value), B_OK);

	// All three asked once each, in the fixed order.
	if (replier->Lock()) {
		EXPECT_EQ(replier->mAsked,
		          (std::vector<std::string>{"DefaultLanguage", "TextAppID", "DefaultText"}));
		replier->Quit();
	}
}
