// The flattened forms: golden bytes, the readable variants, and refusal of
// broken bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "DataIO.h"
#include "Message.h"
#include "MessageBytes.h"

namespace {

const char* const kExampleLE =
    "31 42 4F 46 53 50 4C 94 3B 00 00 00 59 4C 50 52 01"
    "0B 52 54 53 43 10 01 61 06 00 00 00 68 65 6C 6C 6F 00 00 00 00 00 00 00"
    "07 47 4E 4F 4C 02 08 01 62 01 00 00 00 02 00 00 00"
    "00";

const char* const kExampleBE =
    "46 4F 42 31 52 50 4C 95 00 00 00 3B 52 50 4C 59 01"
    "0B 43 53 54 52 10 01 61 00 00 00 06 68 65 6C 6C 6F 00 00 00 00 00 00 00"
    "07 4C 4F 4E 47 02 08 01 62 00 00 00 01 00 00 00 02"
    "00";

const char* const kLocaleMessage = "31 42 4f 46 01 00 00 ac ac 00 00 00 00 00 00 00"
                                   "01 0b 52 54 53 43 10 0a 7a 74 3a 76 65 72 73 69"
                                   "6f 6e 06 00 00 00 30 31 2e 30 30 00 00 00 00 00"
                                   "00 00 0b 52 54 53 43 20 09 7a 74 3a 61 70 70 5f"
                                   "69 64 1c 00 00 00 6b 6f 72 76 61 6e 65 20 6c 6f"
                                   "63 61 6c 65 65 64 69 74 6f 72 20 6c 6f 63 61 6c"
                                   "65 00 0b 52 54 53 43 10 0b 7a 74 3a 6c 61 6e 67"
                                   "75 61 67 65 08 00 00 00 45 6e 67 6c 69 73 68 00"
                                   "00 00 00 00 03 52 54 53 43 02 18 07 7a 74 3a 74"
                                   "65 78 74 03 00 00 00 4f 6b 00 00 07 00 00 00 43"
                                   "61 6e 63 65 6c 00 00 00 00 00 00 00";

BMessage ExampleMessage()
{
	BMessage message('RPLY');
	message.AddString("a", "hello");
	message.AddInt32("b", 1);
	message.AddInt32("b", 2);
	return message;
}

void ExpectExample(const BMessage& message)
{
	EXPECT_EQ(message.what, (uint32)'RPLY');
	EXPECT_STREQ(message.GetString("a"), "hello");
	int32 b0 = 0, b1 = 0;
	EXPECT_EQ(message.FindInt32("b", 0, &b0), B_OK);
	EXPECT_EQ(message.FindInt32("b", 1, &b1), B_OK);
	EXPECT_EQ(b0, 1);
	EXPECT_EQ(b1, 2);
	EXPECT_EQ(message.CountNames(B_ANY_TYPE), 2);
}

void ExpectRefusedBytes(BMessage& message, const std::vector<uint8_t>& bytes)
{
	message.AddInt32("left over", 1);
	EXPECT_NE(message.Unflatten(bytes.data(), bytes.size()), B_OK);
	EXPECT_TRUE(message.IsEmpty());
	EXPECT_EQ(message.what, 0u);
}

#define ExpectRefused(message, bytes)                                                              \
	do {                                                                                           \
		SCOPED_TRACE(#bytes);                                                                      \
		ExpectRefusedBytes(message, bytes);                                                        \
	} while (false)

} // namespace

TEST(MessageForms, FlattenWritesTheR5LittleEndianExampleExactly)
{
	EXPECT_EQ(ToHex(FlattenToBytes(ExampleMessage())), ToHex(FromHex(kExampleLE)));
}

TEST(MessageForms, FlattenWritesTheLocaleMessageExactly)
{
	BMessage message;
	message.AddString("zt:version", "01.00");
	message.AddString("zt:app_id", "korvane localeeditor locale");
	message.AddString("zt:language", "English");
	message.AddString("zt:text", "Ok");
	message.AddString("zt:text", "Cancel");
	const std::vector<uint8_t> bytes = FlattenToBytes(message);
	EXPECT_EQ(bytes.size(), 172u);
	EXPECT_EQ(ToHex(bytes), ToHex(FromHex(kLocaleMessage)));
}

TEST(MessageForms, UnflattenReadsEveryForm)
{
	const std::vector<std::vector<uint8_t>> forms = {FromHex(kExampleLE), FromHex(kExampleBE),
	                                                 HaikuExample(false), HaikuExample(true)};
	ASSERT_EQ(forms[2].size(), 138u);
	for (const auto& bytes : forms) {
		BMessage message;
		ASSERT_EQ(message.Unflatten(bytes.data(), bytes.size()), B_OK) << ToHex(bytes);
		ExpectExample(message);
		// Whatever was read, we write our own form.
		EXPECT_EQ(FlattenToBytes(message), FromHex(kExampleLE));
	}
}

TEST(MessageForms, UnflattenReadsTheLocaleMessage)
{
	const std::vector<uint8_t> bytes = FromHex(kLocaleMessage);
	BMessage message;
	ASSERT_EQ(message.Unflatten((const char*)bytes.data()), B_OK);
	EXPECT_STREQ(message.GetString("zt:language"), "English");
	EXPECT_STREQ(message.GetString("zt:text", 1, ""), "Cancel");
}

TEST(MessageForms, BigEndianNumbersAreSwappedByTheirOwnWidth)
{
	// One field of each width, written by hand in big-endian R5.
	std::vector<uint8_t> body;
	auto field = [&body](type_code type, const char* name, std::vector<uint8_t> data) {
		body.push_back(0x0F); // valid, mini, fixed, single
		Put32(body, type, true);
		body.push_back((uint8_t)data.size());
		body.push_back((uint8_t)strlen(name));
		body.insert(body.end(), name, name + strlen(name));
		body.insert(body.end(), data.begin(), data.end());
	};
	field(B_INT16_TYPE, "s", {0x12, 0x34});
	field(B_INT64_TYPE, "l", {0, 0, 0, 0, 0, 0, 0x01, 0x02});
	field(B_DOUBLE_TYPE, "d", {0x3f, 0xf8, 0, 0, 0, 0, 0, 0});
	field(B_RECT_TYPE, "r",
	      {0x42, 0x48, 0, 0, 0x42, 0x48, 0, 0, 0x43, 0xfa, 0, 0, 0x43, 0xc8, 0, 0});
	field(B_RGB_COLOR_TYPE, "c", {0xff, 0x00, 0x10, 0xff});
	const std::vector<uint8_t> bytes = R5Message('TEST', body, true);
	BMessage message;
	ASSERT_EQ(message.Unflatten(bytes.data(), bytes.size()), B_OK);
	int16 s;
	int64 l;
	double d;
	BRect r;
	rgb_color c;
	ASSERT_EQ(message.FindInt16("s", &s), B_OK);
	EXPECT_EQ(s, 0x1234);
	ASSERT_EQ(message.FindInt64("l", &l), B_OK);
	EXPECT_EQ(l, 0x0102);
	ASSERT_EQ(message.FindDouble("d", &d), B_OK);
	EXPECT_EQ(d, 1.5);
	ASSERT_EQ(message.FindRect("r", &r), B_OK);
	EXPECT_EQ(r, BRect(50, 50, 500, 400));
	ASSERT_EQ(message.FindColor("c", &c), B_OK);
	EXPECT_EQ(c, make_color(255, 0, 16, 255));
}

TEST(MessageForms, LargeFieldsUseFourByteCountsAndRoundTrip)
{
	BMessage message;
	const std::string longText(300, 'x');
	message.AddString("long", longText.c_str());
	for (int i = 0; i < 300; i++)
		message.AddInt8("bytes", (int8)i);
	const std::vector<uint8_t> bytes = FlattenToBytes(message);
	// flags of the first field: valid | single, no mini
	EXPECT_EQ(bytes[17], 0x09);
	BMessage copy;
	ASSERT_EQ(copy.Unflatten(bytes.data(), bytes.size()), B_OK);
	EXPECT_EQ(std::string(copy.GetString("long")), longText);
	int32 count = 0;
	copy.GetInfo("bytes", nullptr, &count);
	EXPECT_EQ(count, 300);
}

TEST(MessageForms, NestedHaikuMessagesInsideR5AreRead)
{
	// An R5 message whose one field holds the Haiku example.
	const std::vector<uint8_t> nested = HaikuExample(false);
	std::vector<uint8_t> field = {0x09}; // valid, single, variable, 4-byte lengths
	Put32(field, B_MESSAGE_TYPE, false);
	const uint32 padded = (4 + (uint32)nested.size() + 7) & ~7u;
	Put32(field, padded, false);
	field.push_back(1);
	field.push_back('m');
	Put32(field, (uint32)nested.size(), false);
	field.insert(field.end(), nested.begin(), nested.end());
	field.resize(field.size() + padded - 4 - nested.size(), 0);
	const std::vector<uint8_t> bytes = R5Message('OUTR', field, false);
	BMessage message;
	ASSERT_EQ(message.Unflatten(bytes.data(), bytes.size()), B_OK);
	BMessage inner;
	ASSERT_EQ(message.FindMessage("m", &inner), B_OK);
	ExpectExample(inner);
}

TEST(MessageForms, DeepNestingIsRefused)
{
	BMessage message('DEEP');
	message.AddInt32("level", 0);
	for (int level = 1; level <= 70; level++) {
		BMessage outer('DEEP');
		outer.AddMessage("inner", &message);
		message = outer;
	}
	const std::vector<uint8_t> bytes = FlattenToBytes(message);
	BMessage read;
	EXPECT_EQ(read.Unflatten(bytes.data(), bytes.size()), B_BAD_DATA);
	EXPECT_TRUE(read.IsEmpty());
}

TEST(MessageForms, InconsistentR5BytesAreRefused)
{
	const std::vector<uint8_t> good = FromHex(kExampleLE);
	BMessage message;
	ExpectRefused(message, {});
	ExpectRefused(message, FromHex("31 42 4F"));
	ExpectRefused(message, FromHex("00 11 22 33 44 55 66 77 88 99 aa bb cc dd ee ff 00 11"));
	ExpectRefused(message, Patched(good, 0, {0x32, 0x42, 0x4f, 0x46})); // another format
	ExpectRefused(message, Patched(good, 8, {0x11}));                   // size below 18
	ExpectRefused(message, Patched(good, 8, {0x3c}));                   // size beyond the bytes
	ExpectRefused(message, Patched(good, 8, {0x3a}));                   // end marker not last
	ExpectRefused(message, Patched(good, 22, {0x00}));                  // data length 0
	ExpectRefused(message, Patched(good, 23, {0x61})); // name length swallows the rest
	ExpectRefused(message, Patched(good, 25, {0x0d})); // item size beyond the data
	ExpectRefused(message, Patched(good, 25, {0x00})); // item size 0
	ExpectRefused(message, Patched(good, 34, {0x21})); // string without its NUL
	ExpectRefused(message, Patched(good, 46, {0x00})); // count 0
	ExpectRefused(message, Patched(good, 46, {0x03})); // 8 bytes are not 3 items
	ExpectRefused(message, Patched(good, 49, {0x61})); // "a" twice
	ExpectRefused(message, Patched(good, 49, {0x00})); // name with a NUL
	// Padding that does not fill the data part exactly.
	ExpectRefused(message, Patched(good, 22, {0x18}));
}

TEST(MessageForms, InconsistentHaikuBytesAreRefused)
{
	const std::vector<uint8_t> good = HaikuExample(false);
	BMessage message;
	const size_t field0 = 68, field1 = 68 + 24, data = 68 + 48;
	ExpectRefused(message, std::vector<uint8_t>(good.begin(), good.begin() + 67));
	ExpectRefused(message, Patched(good, 8, {0x00}));              // no valid flag
	ExpectRefused(message, Patched(good, 8, {0x81}));              // data in a shared area
	ExpectRefused(message, Patched(good, 36, {23}));               // data size beyond the bytes
	ExpectRefused(message, Patched(good, 40, {3}));                // field count beyond the bytes
	ExpectRefused(message, Patched(good, field0 + 2, {3}));        // name runs into the data
	ExpectRefused(message, Patched(good, field0 + 8, {0}));        // count 0
	ExpectRefused(message, Patched(good, field0 + 8, {2}));        // items overrun
	ExpectRefused(message, Patched(good, field0 + 12, {11}));      // bytes left unused
	ExpectRefused(message, Patched(good, field1 + 8, {3}));        // 8 bytes are not 3 items
	ExpectRefused(message, Patched(good, field1 + 16, {20}));      // field beyond the data area
	ExpectRefused(message, Patched(good, data + 1, {'x'}));        // name without NUL
	ExpectRefused(message, Patched(good, data + 12, {'a'}));       // "a" twice
	ExpectRefused(message, Patched(good, data + 2, {0xff, 0xff})); // item size huge
	ExpectRefused(message, Patched(good, 8,
	                               {0x21, 0, 0, 0, 0xff, 0xff, 0xff, 0xff,
	                                5})); // current specifier without any
}

TEST(MessageForms, EveryTruncationIsRefused)
{
	BMessage big('BIG ');
	big.AddString("s", "a string");
	big.AddString("s", std::string(400, 'y').c_str());
	big.AddInt64("n", 5);
	big.AddMessage("m", &big);
	const std::vector<std::vector<uint8_t>> inputs = {FromHex(kLocaleMessage), FromHex(kExampleBE),
	                                                  HaikuExample(false), FlattenToBytes(big)};
	for (const auto& bytes : inputs) {
		for (size_t length = 0; length < bytes.size(); length++) {
			BMessage message;
			ASSERT_NE(message.Unflatten(bytes.data(), length), B_OK) << "length " << length;
			ASSERT_TRUE(message.IsEmpty());
			BMemoryIO stream(bytes.data(), length);
			ASSERT_NE(message.Unflatten(&stream), B_OK) << "stream length " << length;
		}
	}
}

TEST(MessageForms, RandomCorruptionIsRefusedOrReadConsistently)
{
	BMessage rich('RICH');
	rich.AddString("s", "text");
	rich.AddString("s", "more text");
	rich.AddInt32("n", 9);
	rich.AddRect("r", BRect(1, 2, 3, 4));
	entry_ref ref("/tmp", "x");
	rich.AddRef("ref", &ref);
	rich.AddMessage("m", &rich);
	rich.AddSpecifier("Window", 3);
	const std::vector<std::vector<uint8_t>> inputs = {FromHex(kLocaleMessage), FromHex(kExampleBE),
	                                                  HaikuExample(false), HaikuExample(true),
	                                                  FlattenToBytes(rich)};
	std::mt19937 random(20240607);
	int accepted = 0;
	for (int round = 0; round < 4000; round++) {
		std::vector<uint8_t> bytes = inputs[(size_t)round % inputs.size()];
		const int flips = 1 + (int)(random() % 4);
		for (int i = 0; i < flips; i++) {
			const size_t at = random() % bytes.size();
			bytes[at] =
			    (round & 1) ? (uint8_t)random() : (uint8_t)(bytes[at] ^ (1u << (random() % 8)));
		}
		BMessage message;
		const status_t status = message.Unflatten(bytes.data(), bytes.size());
		if (status != B_OK) {
			ASSERT_TRUE(message.IsEmpty());
			continue;
		}
		accepted++;
		// What was accepted must write and read back the same.
		const std::vector<uint8_t> again = FlattenToBytes(message);
		BMessage copy;
		ASSERT_EQ(copy.Unflatten(again.data(), again.size()), B_OK);
		ASSERT_EQ(FlattenToBytes(copy), again);
	}
	// Flips in string bytes and values are harmless: some must pass.
	EXPECT_GT(accepted, 0);
}

TEST(MessageForms, StreamUnflattenReadsOnlyTheMessage)
{
	const std::vector<uint8_t> message = FromHex(kLocaleMessage);
	BMallocIO stream;
	const std::vector<uint8_t> junk(100, 0xee);
	stream.Write(junk.data(), junk.size());
	stream.Write(message.data(), message.size());
	stream.Write(junk.data(), 10);
	stream.Seek(100, SEEK_SET);
	BMessage read;
	ASSERT_EQ(read.Unflatten(&stream), B_OK);
	EXPECT_EQ(stream.Position(), (off_t)(100 + message.size()));
	EXPECT_STREQ(read.GetString("zt:app_id"), "korvane localeeditor locale");

	const std::vector<uint8_t> haiku = HaikuExample(false);
	BMemoryIO haikuStream(haiku.data(), haiku.size());
	ASSERT_EQ(read.Unflatten(&haikuStream), B_OK);
	ExpectExample(read);
}

TEST(MessageForms, StreamFlattenWritesTheSameBytes)
{
	BMallocIO stream;
	ssize_t size = 0;
	ASSERT_EQ(ExampleMessage().Flatten(&stream, &size), B_OK);
	EXPECT_EQ(size, 59);
	const uint8_t* data = (const uint8_t*)stream.Buffer();
	EXPECT_EQ(std::vector<uint8_t>(data, data + stream.BufferLength()), FromHex(kExampleLE));
	char small[10];
	EXPECT_EQ(ExampleMessage().Flatten(small, sizeof(small)), B_BUFFER_OVERFLOW);
}

TEST(MessageForms, RefsCarryTheirFolderPathAndReadPlatformRefs)
{
	// The platform's own layout, as another system writes it: no path.
	const std::vector<uint8_t> platformRef = FromHex("03 00 00 00 07 00 00 00 00 01 00 00 61 00");
	BMessage message;
	ASSERT_EQ(
	    message.AddData("ref", B_REF_TYPE, platformRef.data(), (ssize_t)platformRef.size(), false),
	    B_OK);
	entry_ref ref;
	ASSERT_EQ(message.FindRef("ref", &ref), B_OK);
	EXPECT_EQ(ref.device, (dev_t)3);
	EXPECT_EQ(ref.directory, (ino_t)((1LL << 40) + 7));
	EXPECT_STREQ(ref.name, "a");
	EXPECT_STREQ(ref.DirectoryPath(), "");

	const entry_ref withPath("/home/me/My Files", "Deutsch.locale");
	message.AddRef("path", &withPath);
	const std::vector<uint8_t> bytes = FlattenToBytes(message);
	BMessage copy;
	ASSERT_EQ(copy.Unflatten(bytes.data(), bytes.size()), B_OK);
	ASSERT_EQ(copy.FindRef("path", &ref), B_OK);
	EXPECT_EQ(ref, withPath);
	EXPECT_EQ(ref.FullPath(), "/home/me/My Files/Deutsch.locale");
	// A ref item too short for the platform layout is refused.
	EXPECT_EQ(message.AddData("bad", B_REF_TYPE, "abc", 3, false), B_BAD_VALUE);
}
