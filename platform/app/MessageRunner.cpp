// BMessageRunner on a QTimer of the main thread.
#include "MessageRunner.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cstdint>

#include "Message.h"

#include "MainThread.h"

namespace BPrivate {

class MessageRunnerTimer
{
public:
	MessageRunnerTimer(BMessenger target, const BMessage& message, bigtime_t interval, int32 count)
	    : mTarget(target), mMessage(message), mInterval(interval), mCount(count)
	{
		mTimer.setTimerType(Qt::PreciseTimer);
		QObject::connect(&mTimer, &QTimer::timeout, [this] { _Fire(); });
		_Start();
	}

	bool Running() const { return mTimer.isActive(); }

	void SetInterval(bigtime_t interval)
	{
		mInterval = interval;
		if (mCount != 0)
			_Start();
	}

	void SetCount(int32 count)
	{
		mCount = count;
		if (mCount == 0)
			mTimer.stop();
		else
			_Start();
	}

private:
	void _Start()
	{
		if (!have_qt_application())
			return;
		// Milliseconds, at least 1: a zero interval would spin.
		const bigtime_t ms = mInterval / 1000;
		mTimer.start((int)std::clamp<bigtime_t>(ms, 1, INT32_MAX));
	}

	void _Fire()
	{
		if (mCount > 0 && --mCount == 0)
			mTimer.stop();
		BMessage copy(mMessage);
		mTarget.SendMessage(&copy);
	}

	BMessenger mTarget;
	BMessage mMessage;
	bigtime_t mInterval;
	int32 mCount;
	QTimer mTimer;
};

} // namespace BPrivate

BMessageRunner::BMessageRunner(BMessenger target, const BMessage* message, bigtime_t interval,
                               int32 count)
{
	if (message != nullptr && count != 0)
		mTimer = std::make_unique<BPrivate::MessageRunnerTimer>(target, *message, interval, count);
}

BMessageRunner::~BMessageRunner() = default;

status_t BMessageRunner::InitCheck() const
{
	return mTimer != nullptr && mTimer->Running() ? B_OK : B_NO_INIT;
}

status_t BMessageRunner::SetInterval(bigtime_t interval)
{
	if (mTimer == nullptr)
		return B_NO_INIT;
	mTimer->SetInterval(interval);
	return B_OK;
}

status_t BMessageRunner::SetCount(int32 count)
{
	if (mTimer == nullptr)
		return B_NO_INIT;
	mTimer->SetCount(count);
	return B_OK;
}
