// A text too large for a reply across processes is refused in words, with
// its size and the limit, instead of failing on the bus as a bare "bad
// value"; within reach of the limit, ranges of it still come.
#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "InterfaceTestSupport.h"
#include "OS.h"
#include "PlainBusClient.h"
#include "TextView.h"

using namespace interfacetest;

namespace {

// Asks this very application over the bus, as another process would: from a
// thread of its own, while the main thread keeps the window dispatching.
status_t AskOverTheBus(const BMessage& request, BMessage* reply)
{
	status_t status = B_ERROR;
	std::atomic<bool> done{false};
	std::thread asker([&] {
		BPrivate::PlainBusClient client;
		status = client.Connect() ? client.Request(current_team(), request, reply, 20000000)
		                          : B_BAD_PORT_ID;
		done = true;
	});
	WaitFor([&] { return done.load(); }, std::chrono::seconds(30));
	asker.join();
	return status;
}

BMessage TextRequest(int32 first = -1, int32 length = 0)
{
	BMessage request(B_GET_PROPERTY);
	if (first < 0)
		request.AddSpecifier("Text");
	else
		request.AddSpecifier("Text", first, length);
	request.AddSpecifier("View", "big");
	BMessage window(B_REVERSE_INDEX_SPECIFIER);
	window.AddString("property", "Window");
	window.AddInt32("index", 1);
	request.AddSpecifier(&window);
	return request;
}

TEST(TextReplyLimit, ATextOverTheReplyLimitIsRefusedWithItsSize)
{
	const char* address = getenv("DBUS_SESSION_BUS_ADDRESS");
	if (address == nullptr || address[0] == '\0')
		GTEST_SKIP() << "no session bus (run under dbus-run-session)";
	Watchdog watchdog(120);
	const std::string line(99, 'x');
	std::string text;
	const size_t size = 17 * 1024 * 1024;
	text.reserve(size);
	while (text.size() + 100 <= size)
		text += line + "\n";
	text.append(size - text.size(), 'y');

	RecordingWindow* window = new RecordingWindow(BRect(100, 100, 500, 400), "large");
	BRect frame(0, 0, 400, 300);
	BTextView* view = new BTextView(frame, "big", frame, B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
	window->AddChild(view);
	view->SetText(text.c_str(), (int32)text.size());
	window->Show();

	BMessage reply;
	ASSERT_EQ(B_OK, AskOverTheBus(TextRequest(), &reply));
	EXPECT_EQ(B_RESULT_NOT_REPRESENTABLE, reply.GetInt32("error", B_OK));
	EXPECT_STREQ("the text is 17 MiB; a reply holds at most 16 MiB",
	             reply.GetString("message", ""));
	EXPECT_FALSE(reply.HasData("result", B_STRING_TYPE));

	// A part within the limit still comes, byte for byte.
	ASSERT_EQ(B_OK, AskOverTheBus(TextRequest(1000, 1 << 20), &reply));
	EXPECT_EQ(B_OK, reply.GetInt32("error", -1));
	EXPECT_EQ(text.substr(1000, 1 << 20), reply.GetString("result", ""));
	close_window(window);
}

} // namespace
