// Specifier state and reply routing.
#include <gtest/gtest.h>

#include <vector>

#include "Message.h"
#include "MessageBytes.h"

TEST(MessageScripting, AddSpecifierMakesTheLastOneCurrent)
{
	BMessage message(B_GET_PROPERTY);
	EXPECT_FALSE(message.HasSpecifiers());
	int32 index;
	EXPECT_EQ(message.GetCurrentSpecifier(&index), B_BAD_SCRIPT_SYNTAX);
	ASSERT_EQ(message.AddSpecifier("DefaultText"), B_OK);
	ASSERT_EQ(message.AddSpecifier("Window", 2), B_OK);
	ASSERT_EQ(message.AddSpecifier("Item", 1, 3), B_OK);
	ASSERT_EQ(message.AddSpecifier("View", "name"), B_OK);
	EXPECT_TRUE(message.HasSpecifiers());

	BMessage specifier;
	int32 form;
	const char* property;
	ASSERT_EQ(message.GetCurrentSpecifier(&index, &specifier, &form, &property), B_OK);
	EXPECT_EQ(index, 3);
	EXPECT_EQ(form, B_NAME_SPECIFIER);
	EXPECT_STREQ(property, "View");
	EXPECT_STREQ(specifier.GetString("name"), "name");

	ASSERT_EQ(message.PopSpecifier(), B_OK);
	ASSERT_EQ(message.GetCurrentSpecifier(&index, &specifier, &form, &property), B_OK);
	EXPECT_EQ(index, 2);
	EXPECT_EQ(form, B_RANGE_SPECIFIER);
	EXPECT_EQ(specifier.GetInt32("index", -1), 1);
	EXPECT_EQ(specifier.GetInt32("range", -1), 3);
	message.PopSpecifier();
	ASSERT_EQ(message.GetCurrentSpecifier(&index, nullptr, &form, &property), B_OK);
	EXPECT_EQ(form, B_INDEX_SPECIFIER);
	EXPECT_STREQ(property, "Window");
	message.PopSpecifier();
	ASSERT_EQ(message.GetCurrentSpecifier(&index, nullptr, &form, &property), B_OK);
	EXPECT_EQ(form, B_DIRECT_SPECIFIER);
	EXPECT_STREQ(property, "DefaultText");
	ASSERT_EQ(message.PopSpecifier(), B_OK);
	EXPECT_EQ(message.GetCurrentSpecifier(&index), B_BAD_SCRIPT_SYNTAX);
	EXPECT_EQ(message.PopSpecifier(), B_BAD_VALUE);
	// Nothing was removed by popping.
	int32 count = 0;
	message.GetInfo("specifiers", nullptr, &count);
	EXPECT_EQ(count, 4);
}

TEST(MessageScripting, SpecifiersSurviveFlatteningWithTheScriptFlag)
{
	BMessage message(B_GET_PROPERTY);
	message.AddSpecifier("A");
	message.AddSpecifier("B");
	const std::vector<uint8_t> bytes = FlattenToBytes(message);
	EXPECT_EQ(bytes[16], 0x09);
	BMessage read;
	ASSERT_EQ(read.Unflatten(bytes.data(), bytes.size()), B_OK);
	EXPECT_TRUE(read.HasSpecifiers());
	int32 index;
	const char* property;
	ASSERT_EQ(read.GetCurrentSpecifier(&index, nullptr, nullptr, &property), B_OK);
	EXPECT_EQ(index, 1);
	EXPECT_STREQ(property, "B");
	// A plain message has flags 0x01.
	EXPECT_EQ(FlattenToBytes(BMessage('PLAN'))[16], 0x01);
}

TEST(MessageScripting, HaikuHeaderGivesTheCurrentSpecifier)
{
	BMessage source(B_GET_PROPERTY);
	source.AddSpecifier("A");
	source.AddSpecifier("B");
	BMessage firstSpecifier;
	ASSERT_EQ(source.FindMessage("specifiers", 0, &firstSpecifier), B_OK);
	// Build the Haiku form of a message with two specifiers by hand.
	const std::vector<uint8_t> a = FlattenToBytes(firstSpecifier);
	std::vector<uint8_t> data = {'s', 'p', 'e', 'c', 'i', 'f', 'i', 'e', 'r', 's', 0};
	for (int i = 0; i < 2; i++) {
		Put32(data, (uint32_t)a.size(), false);
		data.insert(data.end(), a.begin(), a.end());
	}
	std::vector<uint8_t> bytes;
	Put32(bytes, 0x31464D48, false);
	Put32(bytes, B_GET_PROPERTY, false);
	Put32(bytes, 0x21, false); // valid | has specifiers
	Put32(bytes, 0xffffffff, false);
	Put32(bytes, 0, false); // current specifier: the first
	for (int i = 0; i < 4; i++)
		Put32(bytes, 0xffffffff, false);
	Put32(bytes, (uint32_t)data.size(), false);
	Put32(bytes, 1, false);
	Put32(bytes, 5, false);
	for (int i = 0; i < 5; i++)
		Put32(bytes, 0xffffffff, false);
	Put16(bytes, 1, false);
	Put16(bytes, 11, false);
	Put32(bytes, B_MESSAGE_TYPE, false);
	Put32(bytes, 2, false);
	Put32(bytes, (uint32_t)data.size() - 11, false);
	Put32(bytes, 0, false);
	Put32(bytes, 0xffffffff, false);
	bytes.insert(bytes.end(), data.begin(), data.end());
	BMessage read;
	ASSERT_EQ(read.Unflatten(bytes.data(), bytes.size()), B_OK);
	int32 index = -5;
	ASSERT_EQ(read.GetCurrentSpecifier(&index), B_OK);
	EXPECT_EQ(index, 0);
}

namespace {

class RecordingChannel : public BPrivate::ReplyChannel
{
public:
	status_t Deliver(const BMessage& reply, bigtime_t) override
	{
		replies.push_back(reply);
		return B_OK;
	}
	std::vector<BMessage> replies;
};

} // namespace

TEST(MessageScripting, OnlyTheFirstReplyIsDelivered)
{
	BMessage request(B_GET_PROPERTY);
	EXPECT_EQ(request.SendReply(B_REPLY), B_BAD_REPLY);
	auto channel = std::make_shared<RecordingChannel>();
	BPrivate::MessageInternals::SetReplyChannel(request, channel);
	BPrivate::MessageInternals::SetSourceWaiting(request, true);
	EXPECT_TRUE(request.IsSourceWaiting());
	BMessage reply(B_REPLY);
	reply.AddString("result", "Deutsch");
	ASSERT_EQ(request.SendReply(&reply), B_OK);
	EXPECT_EQ(request.SendReply(B_NO_REPLY), B_DUPLICATE_REPLY);
	EXPECT_FALSE(request.IsSourceWaiting());
	EXPECT_TRUE(BPrivate::MessageInternals::ReplySent(request));
	ASSERT_EQ(channel->replies.size(), 1u);
	EXPECT_STREQ(channel->replies[0].GetString("result"), "Deutsch");
	// A copy is a new message: it cannot answer the original sender.
	BMessage copy(request);
	EXPECT_EQ(copy.SendReply(B_REPLY), B_BAD_REPLY);
}

TEST(MessageScripting, SystemCodesAreRecognised)
{
	EXPECT_TRUE(BMessage(B_QUIT_REQUESTED).IsSystem());
	EXPECT_TRUE(BMessage(B_REFS_RECEIVED).IsSystem());
	EXPECT_FALSE(BMessage(B_GET_PROPERTY).IsSystem());
	EXPECT_FALSE(BMessage('_abc').IsSystem());
}
