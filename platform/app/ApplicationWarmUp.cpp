#include "ApplicationWarmUp.h"

#include <atomic>
#include <dlfcn.h>
#include <system_error>

#include <QFontDatabase>
#include <QGuiApplication>

#include "Bus.h"

namespace BPrivate {

namespace {

// Who reads the font configuration: the warm-up thread if it gets there
// first, else Qt on the thread that first needs a font.
enum class FontConfiguration { kOpen, kReading, kSettled };

std::mutex sFontLock;
std::condition_variable sFontSettled;
FontConfiguration sFontState = FontConfiguration::kOpen;
std::atomic<bool> sFontSettledFast{false};

void settle_font_configuration()
{
	std::lock_guard<std::mutex> guard(sFontLock);
	sFontState = FontConfiguration::kSettled;
	sFontSettledFast = true;
	sFontSettled.notify_all();
}

// Qt's font database sits on fontconfig, whose first use reads and parses
// the whole configuration. Read here, that overlaps the construction of
// the Qt application and the start of the first window. Looked up rather
// than linked: where Qt does without fontconfig there is nothing to read.
void read_font_configuration()
{
	{
		std::lock_guard<std::mutex> guard(sFontLock);
		if (sFontState != FontConfiguration::kOpen)
			return;
		sFontState = FontConfiguration::kReading;
	}
	using InitFunction = int (*)();
	auto init = reinterpret_cast<InitFunction>(dlsym(RTLD_DEFAULT, "FcInit"));
	if (init != nullptr)
		init();
	settle_font_configuration();
}

} // namespace

ApplicationWarmUp::~ApplicationWarmUp()
{
	Join();
}

void ApplicationWarmUp::Start()
{
	if (mThread.joinable())
		return;
	try {
		mThread = std::thread([this] { _Run(); });
	} catch (const std::system_error&) {
		// No thread to spare: the GUI thread does all of it, as it would
		// without the warm-up.
	}
}

void ApplicationWarmUp::QtReady()
{
	std::lock_guard<std::mutex> guard(mLock);
	mQtReady = true;
	mChanged.notify_all();
}

void ApplicationWarmUp::Join()
{
	{
		std::lock_guard<std::mutex> guard(mLock);
		mStopping = true;
		mChanged.notify_all();
	}
	if (mThread.joinable())
		mThread.join();
}

void ApplicationWarmUp::WaitForFontConfiguration()
{
	if (sFontSettledFast)
		return;
	std::unique_lock<std::mutex> guard(sFontLock);
	if (sFontState == FontConfiguration::kOpen) {
		sFontState = FontConfiguration::kSettled;
		sFontSettledFast = true;
		return;
	}
	sFontSettled.wait(guard, [] { return sFontState == FontConfiguration::kSettled; });
}

void ApplicationWarmUp::_Run()
{
	read_font_configuration();
	{
		std::unique_lock<std::mutex> guard(mLock);
		mChanged.wait(guard, [this] { return mQtReady || mStopping; });
		if (!mQtReady)
			return;
	}

	// Fills the database shared by all threads from the configuration.
	if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
		QFontDatabase::families();
	// The connection is shared; the listing is kept up to date from then
	// on, so the window's first look at the running applications is quick.
	if (Bus::Available())
		Bus::Applications();
}

} // namespace BPrivate
