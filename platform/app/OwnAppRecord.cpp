// What this process knows of its own application, apart from the
// application object: messengers, the roster and the bus objects read it,
// and a program that makes no BApplication (a command-line client) links
// it without the GUI toolkit that BApplication brings.
#include <atomic>
#include <mutex>

#include "AppRecord.h"
#include "Application.h"
#include "ApplicationImpl.h"

BApplication* be_app = nullptr;
BMessenger be_app_messenger;

namespace {

std::atomic<int32> sAppLooperToken{-1};

std::mutex sRecordLock;
bool sHaveRecord = false;
BPrivate::app_record sRecord;

} // namespace

namespace BPrivate {

int32 application_looper_token()
{
	return sAppLooperToken.load();
}

void set_application_looper_token(int32 token)
{
	sAppLooperToken = token;
}

bool own_app_record(app_record* record)
{
	std::lock_guard<std::mutex> guard(sRecordLock);
	if (!sHaveRecord)
		return false;
	*record = sRecord;
	return true;
}

void set_own_app_record(const app_record* record)
{
	std::lock_guard<std::mutex> guard(sRecordLock);
	sHaveRecord = record != nullptr;
	if (record != nullptr)
		sRecord = *record;
}

void set_own_app_thread(thread_id thread)
{
	std::lock_guard<std::mutex> guard(sRecordLock);
	sRecord.thread = thread;
}

void set_own_app_registered(bigtime_t when)
{
	std::lock_guard<std::mutex> guard(sRecordLock);
	sRecord.registeredAt = when;
}

} // namespace BPrivate
