// Messages read where their bytes lie (a sealed reply's mapping): large
// fields point into the bytes and hold them, read as a copied message does,
// and a change or a flatten never writes through to the bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DataIO.h"
#include "Message.h"
#include "MessageBytes.h"

using BPrivate::MessageInternals;

namespace {

const size_t kLargeText = 200 * 1000 + 1; // with its size word and NUL, 2 bytes short of 8

BMessage large_message()
{
	BMessage message('RPLY');
	message.AddString("small", "a few bytes");
	message.AddString("text", std::string(kLargeText, 't').c_str());
	for (int32 i = 0; i < 30000; i++)
		message.AddInt32("numbers", i);
	message.AddString("after", "the end");
	return message;
}

// The flattened message in memory a test owns, as a mapping would be.
std::shared_ptr<std::vector<uint8_t>> shared_bytes(const BMessage& message)
{
	return std::make_shared<std::vector<uint8_t>>(FlattenToBytes(message));
}

bool points_into(const void* pointer, const std::vector<uint8_t>& bytes)
{
	const uint8_t* at = (const uint8_t*)pointer;
	return at >= bytes.data() && at < bytes.data() + bytes.size();
}

} // namespace

TEST(MessageInPlace, LargeFieldsAreReadWhereTheyLieAndHoldTheBytes)
{
	const BMessage original = large_message();
	auto bytes = shared_bytes(original);
	const std::vector<uint8_t> pristine = *bytes;
	{
		BMessage read;
		ASSERT_EQ(B_OK,
		          MessageInternals::UnflattenInPlace(read, bytes->data(), bytes->size(), bytes));
		EXPECT_EQ(FlattenToBytes(original), FlattenToBytes(read));
		const char* text = nullptr;
		ASSERT_EQ(B_OK, read.FindString("text", &text));
		EXPECT_EQ(kLargeText, strlen(text));
		EXPECT_TRUE(points_into(text, *bytes));
		const void* numbers = nullptr;
		ssize_t size = 0;
		ASSERT_EQ(B_OK, read.FindData("numbers", B_INT32_TYPE, 29999, &numbers, &size));
		EXPECT_TRUE(points_into(numbers, *bytes));
		EXPECT_EQ(29999, *(const int32*)numbers);
		// Small fields are copied: a view would cost more than they do.
		EXPECT_FALSE(points_into(read.GetString("small"), *bytes));
		EXPECT_GT(bytes.use_count(), 1);

		// A copy shares the view; a change copies the field first and
		// never writes into the bytes.
		BMessage changed(read);
		ASSERT_EQ(B_OK, changed.ReplaceString("text", "short now"));
		ASSERT_EQ(B_OK, changed.AddString("text", "and another"));
		ASSERT_EQ(B_OK, changed.ReplaceInt32("numbers", 5, -5));
		ASSERT_EQ(B_OK, changed.RemoveData("numbers", 0));
		EXPECT_STREQ("short now", changed.GetString("text"));
		int32 moved = 0;
		ASSERT_EQ(B_OK, changed.FindInt32("numbers", 4, &moved));
		EXPECT_EQ(-5, moved);
		EXPECT_EQ(pristine, *bytes);
		EXPECT_EQ(FlattenToBytes(original), FlattenToBytes(read));
	}
	EXPECT_EQ(1, bytes.use_count()) << "the bytes are still held after the messages went";
}

TEST(MessageInPlace, DirtyPaddingIsCopiedAndWrittenClean)
{
	const BMessage original = large_message();
	auto bytes = shared_bytes(original);
	// The text's item: its size word, then the bytes and padding up to 8.
	const std::string marker(kLargeText, 't');
	const auto found = std::search(bytes->begin(), bytes->end(), marker.begin(), marker.end());
	ASSERT_NE(bytes->end(), found);
	const size_t padding = (size_t)(found - bytes->begin()) + kLargeText + 1;
	(*bytes)[padding] = 0xee;

	BMessage read;
	ASSERT_EQ(B_OK, MessageInternals::UnflattenInPlace(read, bytes->data(), bytes->size(), bytes));
	const char* text = nullptr;
	ASSERT_EQ(B_OK, read.FindString("text", &text));
	EXPECT_FALSE(points_into(text, *bytes));
	EXPECT_EQ(FlattenToBytes(original), FlattenToBytes(read));
}

TEST(MessageInPlace, BrokenBytesAreRefusedAndLetGo)
{
	auto bytes = shared_bytes(large_message());
	// The text's size word claims more than the field holds.
	const std::string marker(kLargeText, 't');
	const auto found = std::search(bytes->begin(), bytes->end(), marker.begin(), marker.end());
	ASSERT_NE(bytes->end(), found);
	const uint32 tooLong = 0x7fff0000;
	memcpy(&*(found - 4), &tooLong, 4);

	BMessage read;
	read.AddString("left over", "x");
	EXPECT_NE(B_OK, MessageInternals::UnflattenInPlace(read, bytes->data(), bytes->size(), bytes));
	EXPECT_TRUE(read.IsEmpty());
	EXPECT_EQ(1, bytes.use_count());
}

namespace {

// A stream that takes limit bytes and then fails.
class FailingOutput : public BDataIO
{
public:
	explicit FailingOutput(size_t limit) : mLimit(limit) {}
	ssize_t Write(const void* buffer, size_t size) override
	{
		if (mWritten >= mLimit)
			return B_DEVICE_FULL;
		const size_t taken = std::min(size, mLimit - mWritten);
		mBytes.insert(mBytes.end(), (const uint8_t*)buffer, (const uint8_t*)buffer + taken);
		mWritten += taken;
		return (ssize_t)taken;
	}
	std::vector<uint8_t> mBytes;

private:
	size_t mLimit;
	size_t mWritten = 0;
};

} // namespace

TEST(MessageInPlace, StreamFlattenOfLargeFieldsWritesTheBufferBytesOrFails)
{
	const BMessage message = large_message();
	const std::vector<uint8_t> whole = FlattenToBytes(message);
	FailingOutput roomy(whole.size() * 2);
	ssize_t size = 0;
	ASSERT_EQ(B_OK, message.Flatten(&roomy, &size));
	EXPECT_EQ((ssize_t)whole.size(), size);
	EXPECT_EQ(whole, roomy.mBytes);

	for (size_t limit : {(size_t)0, (size_t)30, kLargeText / 2, whole.size() - 1}) {
		FailingOutput cramped(limit);
		size = -1;
		EXPECT_EQ(B_DEVICE_FULL, message.Flatten(&cramped, &size)) << limit;
		EXPECT_EQ(-1, size) << limit;
	}
}
