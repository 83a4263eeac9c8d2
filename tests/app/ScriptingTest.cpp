// Scripting inside one process: the universal suite, the error reply, and
// specifiers resolved through a chain of handlers.
#include <cstring>

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "Looper.h"
#include "Message.h"
#include "Messenger.h"
#include "PropertyInfo.h"

using apptest::ask_property;
using apptest::RecordingHandler;
using apptest::RecordingLooper;
using apptest::Watchdog;

namespace {

// Resolves "Child" by handing the message to its child handler.
class ParentHandler : public BHandler
{
public:
	ParentHandler(BHandler* child) : BHandler("parent"), mChild(child) {}

	BHandler* ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier, int32 form,
	                           const char* property) override
	{
		if (strcmp(property, "Child") == 0 && form == B_DIRECT_SPECIFIER) {
			message->PopSpecifier();
			return mChild;
		}
		return BHandler::ResolveSpecifier(message, index, specifier, form, property);
	}

private:
	BHandler* mChild;
};

} // namespace

TEST(ScriptingTest, SuitesRequestListsTheHandlerSuiteWithItsTable)
{
	Watchdog watchdog(20);
	RecordingLooper recording;
	BMessage reply;
	ASSERT_EQ(B_OK, ask_property(BMessenger(recording.looper), "Suites", &reply));
	EXPECT_EQ((uint32)B_REPLY, reply.what);
	EXPECT_EQ(B_OK, reply.GetInt32("error", -1));
	EXPECT_STREQ("suite/vnd.Be-handler", reply.GetString("suites", 0, ""));
	BPropertyInfo table;
	ASSERT_EQ(B_OK, reply.FindFlat("messages", &table));
	ASSERT_EQ(3, table.CountProperties());
	EXPECT_STREQ("Suites", table.Properties()[0].name);
	EXPECT_STREQ("Messenger", table.Properties()[1].name);
	EXPECT_STREQ("InternalName", table.Properties()[2].name);

	// The plain form of the question gets the same answer.
	ASSERT_EQ(B_OK, BMessenger(recording.looper).SendMessage(B_GET_SUPPORTED_SUITES, &reply));
	EXPECT_STREQ("suite/vnd.Be-handler", reply.GetString("suites", 0, ""));
	// The looper itself handled them; the recorder saw nothing.
	EXPECT_EQ(0, recording.handler->Count());
}

TEST(ScriptingTest, InternalNameAndMessengerAreAnswered)
{
	Watchdog watchdog(20);
	RecordingLooper recording;
	BMessage reply;
	ASSERT_EQ(B_OK, ask_property(BMessenger(recording.looper), "InternalName", &reply));
	EXPECT_STREQ("recording looper", reply.GetString("result", ""));

	ASSERT_EQ(B_OK, ask_property(BMessenger(recording.looper), "Messenger", &reply));
	const void* data;
	ssize_t size;
	ASSERT_EQ(B_OK, reply.FindData("result", B_MESSENGER_TYPE, &data, &size));
	ASSERT_EQ((ssize_t)sizeof(BMessenger::Address), size);
	BMessenger::Address address;
	memcpy(&address, data, sizeof(address));
	EXPECT_EQ(BMessenger(recording.looper), BMessenger::FromAddress(address));
}

TEST(ScriptingTest, UnknownPropertyGetsMessageNotUnderstood)
{
	Watchdog watchdog(20);
	RecordingLooper recording;
	for (const char* property : {"NoSuchThing", "suites", "Suites2"}) {
		BMessage reply;
		ASSERT_EQ(B_OK, ask_property(BMessenger(recording.looper), property, &reply));
		EXPECT_EQ((uint32)B_MESSAGE_NOT_UNDERSTOOD, reply.what) << property;
		EXPECT_EQ(B_BAD_SCRIPT_SYNTAX, reply.GetInt32("error", 0)) << property;
		EXPECT_STREQ("Didn't understand the specifier(s)", reply.GetString("message", ""));
	}
	// "Suites" under another form or command is not the universal suite.
	BMessage indexed(B_GET_PROPERTY);
	indexed.AddSpecifier("Suites", (int32)0);
	BMessage reply;
	ASSERT_EQ(B_OK, BMessenger(recording.looper).SendMessage(&indexed, &reply));
	EXPECT_EQ((uint32)B_MESSAGE_NOT_UNDERSTOOD, reply.what);
	BMessage set(B_SET_PROPERTY);
	set.AddSpecifier("Suites");
	ASSERT_EQ(B_OK, BMessenger(recording.looper).SendMessage(&set, &reply));
	EXPECT_EQ((uint32)B_MESSAGE_NOT_UNDERSTOOD, reply.what);
	EXPECT_EQ(0, recording.handler->Count());
}

TEST(ScriptingTest, SpecifiersAreResolvedThroughTheHandlerChain)
{
	Watchdog watchdog(20);
	RecordingLooper recording;
	RecordingHandler child("child");
	ParentHandler parent(&child);
	ASSERT_TRUE(recording.ChangeHandlers({&child, &parent}));

	// Specifiers resolve from the last added: "Child" of the parent.
	BMessage request('cmnd');
	request.AddSpecifier("Child");
	ASSERT_EQ(B_OK, BMessenger(&parent).SendMessage(&request));
	ASSERT_TRUE(child.WaitForCount(1));
	EXPECT_EQ((uint32)'cmnd', child.MessageAt(0).what);

	// A plain child's name through the chain, from the universal suite.
	BHandler plainChild("plain child");
	ParentHandler plainParent(&plainChild);
	ASSERT_TRUE(recording.ChangeHandlers({&plainChild, &plainParent}));
	BMessage name(B_GET_PROPERTY);
	name.AddSpecifier("InternalName");
	name.AddSpecifier("Child");
	BMessage reply;
	ASSERT_EQ(B_OK, BMessenger(&plainParent).SendMessage(&name, &reply));
	EXPECT_STREQ("plain child", reply.GetString("result", ""));

	ASSERT_TRUE(recording.ChangeHandlers({}, {&parent, &child, &plainParent, &plainChild}));
}
