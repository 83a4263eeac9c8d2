#include "WindowTest.h"

#include <Messenger.h>
#include <TextControl.h>

#include "Wait.h"

void WindowTest::OpenWindow(Preferences* prefs)
{
	mWindow = new RecordingWindow(prefs);
	mWindow->Show();
	SettleSurvey();
}

void WindowTest::SettleSurvey()
{
	// The answer comes as a message of its own; once it was handled no
	// survey is pending.
	EXPECT_TRUE(WaitFor([&] {
		if (!mWindow->Lock())
			return true;
		const bool surveying = mWindow->IsSurveyingApps();
		mWindow->Unlock();
		return !surveying;
	})) << "the survey of running applications did not answer";
	Settle();
}

void WindowTest::CloseWindow()
{
	BMessenger window(mWindow);
	if (mWindow != nullptr && mWindow->Lock())
		mWindow->Quit();
	mWindow = nullptr;
	EXPECT_TRUE(WaitFor([&] { return !window.IsValid(); })) << "the window did not go";
}

void WindowTest::Dispatch(const BMessage& message)
{
	BMessage copy(message);
	ASSERT_EQ(mWindow->PostMessage(&copy), B_OK);
	Settle();
}

void WindowTest::Settle()
{
	ASSERT_TRUE(mWindow->WaitUntilIdle(mIdleTimeout)) << "the window stopped dispatching";
}

BTextControl* WindowTest::Control(const char* name)
{
	return dynamic_cast<BTextControl*>(mWindow->FindView(name));
}
