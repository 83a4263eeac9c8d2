// locale_peer: a small application on the platform layer that answers the
// locale scripting suite "suite/vnd.Vessmor-locale" (DefaultText,
// DefaultLanguage, TextAppID; B_GET_PROPERTY with a direct specifier;
// replies B_REPLY with "result" strings and no other field), for tests.
//
// Usage: locale_peer [--option=value ...]
//   --signature=SIG    application signature (application/x-vnd.test-localepeer)
//   --texts=N          answer N texts "Default text 0" ... (38)
//   --text=TEXT        one text, taken as given; repeat for several (replaces --texts)
//   --language=NAME    the DefaultLanguage answer (English)
//   --app-id=ID        the TextAppID answer (test localepeer locale)
//   --no-suite         list no locale suite under "Suites" and answer none of it
//   --silent           accept every suite request and never answer it
//   --hold-suites      accept the "Suites" question and never answer it
//   --delay=MS         wait MS milliseconds before each suite answer
//   --ready-file=PATH  write "ready <team>" to PATH once the application runs
//   --asked-file=PATH  list the suite properties asked so far in PATH, one a
//                      line, each as soon as its request arrives
//   --help             print this usage and exit 2
// Options are stable: other tests rely on them. Exits 0 after quitting
// (B_QUIT_REQUESTED, SIGTERM or SIGINT), 2 on a bad option.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Application.h"
#include "LocaleSuiteProperties.h"
#include "Message.h"
#include "OS.h"
#include "PeerOptions.h"
#include "PropertyInfo.h"

namespace {

const char* kUsage = "usage: locale_peer [--signature=SIG] [--texts=N] [--text=TEXT ...] "
                     "[--language=NAME] [--app-id=ID] [--no-suite] [--silent] [--hold-suites] "
                     "[--delay=MS] "
                     "[--ready-file=PATH] [--asked-file=PATH]\n";
const char* kLocaleSuite = "suite/vnd.Vessmor-locale";

struct PeerSettings
{
	std::string signature = "application/x-vnd.test-localepeer";
	std::vector<std::string> texts;
	std::string language = "English";
	std::string appID = "test localepeer locale";
	bool suite = true;
	bool silent = false;
	bool holdSuites = false;
	bigtime_t delay = 0;
	std::string readyFile;
	std::string askedFile;
};

// The question every application answers: which suites it speaks.
bool asks_suites(BMessage* message)
{
	int32 index;
	BMessage specifier;
	int32 form;
	const char* property = nullptr;
	return message->what == B_GET_PROPERTY &&
	       message->GetCurrentSpecifier(&index, &specifier, &form, &property) == B_OK &&
	       property != nullptr && strcmp(property, "Suites") == 0;
}

class LocalePeer : public BApplication
{
public:
	explicit LocalePeer(const PeerSettings& settings)
	    : BApplication(settings.signature.c_str()), mSettings(settings)
	{
	}

	~LocalePeer() override
	{
		for (BMessage* held : mHeld)
			delete held;
	}

	void ReadyToRun() override
	{
		write_peer_file(mSettings.readyFile, "ready " + std::to_string(Team()) + "\n");
	}

	status_t GetSupportedSuites(BMessage* data) override
	{
		if (mSettings.suite) {
			data->AddString("suites", kLocaleSuite);
			BPropertyInfo info(gLocaleSuiteProperties);
			data->AddFlat("messages", &info);
		}
		return BApplication::GetSupportedSuites(data);
	}

	BHandler* ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier, int32 form,
	                           const char* property) override
	{
		BPropertyInfo info(gLocaleSuiteProperties);
		if (mSettings.suite && info.FindMatch(message, index, specifier, form, property) >= 0)
			return this;
		return BApplication::ResolveSpecifier(message, index, specifier, form, property);
	}

	void MessageReceived(BMessage* message) override
	{
		if (mSettings.holdSuites && asks_suites(message)) {
			mHeld.push_back(DetachCurrentMessage());
			return;
		}
		// Only the suite's questions by name are answered here.
		int32 index;
		BMessage specifier;
		int32 form;
		const char* property = nullptr;
		if (!mSettings.suite || message->what != B_GET_PROPERTY ||
		    message->GetCurrentSpecifier(&index, &specifier, &form, &property) != B_OK ||
		    form != B_DIRECT_SPECIFIER || property == nullptr) {
			BApplication::MessageReceived(message);
			return;
		}
		mAsked += std::string(property) + "\n";
		write_peer_file(mSettings.askedFile, mAsked);
		BMessage reply(B_REPLY);
		if (strcmp(property, "DefaultLanguage") == 0)
			reply.AddString("result", mSettings.language.c_str());
		else if (strcmp(property, "DefaultText") == 0) {
			for (const std::string& text : mSettings.texts)
				reply.AddString("result", text.c_str());
		} else if (strcmp(property, "TextAppID") == 0)
			reply.AddString("result", mSettings.appID.c_str());
		else {
			BApplication::MessageReceived(message);
			return;
		}
		if (mSettings.silent) {
			// Keep it: deleting it would answer B_NO_REPLY.
			mHeld.push_back(DetachCurrentMessage());
			return;
		}
		if (mSettings.delay > 0)
			snooze(mSettings.delay);
		message->SendReply(&reply);
	}

private:
	PeerSettings mSettings;
	std::vector<BMessage*> mHeld;
	std::string mAsked;
};

bool read_settings(int argc, char** argv, PeerSettings* settings)
{
	std::vector<PeerOption> options;
	if (!parse_peer_options(argc, argv, &options))
		return false;
	int textCount = 38;
	bool explicitTexts = false;
	for (const PeerOption& option : options) {
		if (option.name == "signature" && option.hasValue)
			settings->signature = option.value;
		else if (option.name == "texts" && option.hasValue)
			textCount = atoi(option.value.c_str());
		else if (option.name == "text" && option.hasValue) {
			settings->texts.push_back(option.value);
			explicitTexts = true;
		} else if (option.name == "language" && option.hasValue)
			settings->language = option.value;
		else if (option.name == "app-id" && option.hasValue)
			settings->appID = option.value;
		else if (option.name == "no-suite" && !option.hasValue)
			settings->suite = false;
		else if (option.name == "silent" && !option.hasValue)
			settings->silent = true;
		else if (option.name == "hold-suites" && !option.hasValue)
			settings->holdSuites = true;
		else if (option.name == "delay" && option.hasValue)
			settings->delay = (bigtime_t)atoi(option.value.c_str()) * 1000;
		else if (option.name == "ready-file" && option.hasValue)
			settings->readyFile = option.value;
		else if (option.name == "asked-file" && option.hasValue)
			settings->askedFile = option.value;
		else
			return false;
	}
	if (textCount < 0)
		return false;
	if (!explicitTexts) {
		for (int i = 0; i < textCount; i++)
			settings->texts.push_back("Default text " + std::to_string(i));
	}
	return true;
}

} // namespace

int main(int argc, char** argv)
{
	PeerSettings settings;
	if (!read_settings(argc, argv, &settings))
		return peer_usage_error(kUsage);
	return run_peer<LocalePeer>(settings);
}
