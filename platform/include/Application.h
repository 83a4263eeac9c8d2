// BApplication: the one application object of a program, a looper on a
// thread of its own while the Qt event loop runs on the main thread.
#ifndef _APPLICATION_H
#define _APPLICATION_H

#include <memory>

#include "Looper.h"
#include "Messenger.h"
#include "SupportDefs.h"

class BWindow;
struct app_info;

namespace BPrivate {

class ApplicationImpl;

// Windows register themselves in their constructor and unregister in their
// destructor, so that the application can count them and ask them to quit.
// window and looper are the same object seen as its two classes.
void register_window(BWindow* window, BLooper* looper);
void unregister_window(BLooper* looper);

} // namespace BPrivate

// Threads: the constructor and Run() belong to the main thread. Run() starts
// the application's looper thread, then runs the Qt event loop, and returns
// once the application has quit. Messages posted before Run() wait in the
// queue. ReadyToRun() comes first; then, when the program was given
// arguments, B_ARGV_RECEIVED (all of them, "argc", "argv", "cwd") and one
// B_REFS_RECEIVED with a "refs" entry for each argument that names a file
// (taken against the current folder; arguments starting with '-' are
// options, except after "--"). SIGTERM and SIGINT arrive as
// B_QUIT_REQUESTED. The application joins the session bus when Run()
// starts and leaves it when the loop ends.
//
// The default B_QUIT_REQUESTED handling asks every window, on the window's
// own thread, whether it may quit (and quits it when it agrees); when all
// agreed it asks QuitRequested() and quits. The application thread never
// blocks on the GUI during this, so windows may still send it synchronous
// requests meanwhile.
class BApplication : public BLooper
{
public:
	BApplication(const char* signature);
	BApplication(const char* signature, status_t* error);
	virtual ~BApplication();

	status_t InitCheck() const;

	virtual thread_id Run();
	// Ends the message loop; Run() then returns on the main thread. Any
	// thread may call it.
	virtual void Quit();
	virtual bool QuitRequested();

	virtual void ReadyToRun();
	virtual void ArgvReceived(int32 argc, char** argv);
	virtual void RefsReceived(BMessage* message);
	virtual void AboutRequested();

	virtual void MessageReceived(BMessage* message);
	virtual void DispatchMessage(BMessage* message, BHandler* handler);

	virtual BHandler* ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier,
	                                   int32 form, const char* property);
	// Appends "suite/vnd.Be-application", then the handler suite.
	virtual status_t GetSupportedSuites(BMessage* data);

	status_t GetAppInfo(app_info* info) const;
	const char* Signature() const;

	int32 CountWindows() const;
	BWindow* WindowAt(int32 index) const;

	bool IsLaunching() const;

private:
	friend class BPrivate::ApplicationImpl;
	friend void BPrivate::register_window(BWindow*, BLooper*);
	friend void BPrivate::unregister_window(BLooper*);

	std::unique_ptr<BPrivate::ApplicationImpl> mAppImpl;
};

// The application object (nullptr before it is built and after it is deleted)
// and a messenger to it.
extern BApplication* be_app;
extern BMessenger be_app_messenger;

#endif // _APPLICATION_H
