// Fields of a message: typed values, order, errors, copies.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Message.h"

namespace {

BMessage MessageWithEveryType()
{
	BMessage message('TEST');
	message.AddInt8("int8", -8);
	message.AddInt16("int16", -1600);
	message.AddInt32("int32", -320000);
	message.AddInt64("int64", -6400000000LL);
	message.AddUInt32("uint32", 0xfedcba98u);
	message.AddBool("bool", true);
	message.AddFloat("float", 1.5f);
	message.AddDouble("double", -2.25);
	message.AddString("string", "grüße");
	message.AddRect("rect", BRect(50, 50, 500, 400));
	message.AddPoint("point", BPoint(3, -4));
	message.AddColor("color", make_color(255, 0, 16));
	entry_ref ref(3, (1LL << 40) + 7, "a");
	ref.SetDirectoryPath("/home/user/locale");
	message.AddRef("ref", &ref);
	BMessage nested('NEST');
	nested.AddString("inner", "value");
	message.AddMessage("message", &nested);
	const char raw[] = {1, 2, 3};
	message.AddData("raw", B_RAW_TYPE, raw, sizeof(raw));
	return message;
}

void ExpectEveryType(const BMessage& message)
{
	int8 i8;
	int16 i16;
	int32 i32;
	int64 i64;
	uint32 u32;
	bool b;
	float f;
	double d;
	const char* s;
	BRect rect;
	BPoint point;
	rgb_color color;
	entry_ref ref;
	BMessage nested;
	EXPECT_EQ(message.what, (uint32)'TEST');
	ASSERT_EQ(message.FindInt8("int8", &i8), B_OK);
	EXPECT_EQ(i8, -8);
	ASSERT_EQ(message.FindInt16("int16", &i16), B_OK);
	EXPECT_EQ(i16, -1600);
	ASSERT_EQ(message.FindInt32("int32", &i32), B_OK);
	EXPECT_EQ(i32, -320000);
	ASSERT_EQ(message.FindInt64("int64", &i64), B_OK);
	EXPECT_EQ(i64, -6400000000LL);
	ASSERT_EQ(message.FindUInt32("uint32", &u32), B_OK);
	EXPECT_EQ(u32, 0xfedcba98u);
	ASSERT_EQ(message.FindBool("bool", &b), B_OK);
	EXPECT_TRUE(b);
	ASSERT_EQ(message.FindFloat("float", &f), B_OK);
	EXPECT_EQ(f, 1.5f);
	ASSERT_EQ(message.FindDouble("double", &d), B_OK);
	EXPECT_EQ(d, -2.25);
	ASSERT_EQ(message.FindString("string", &s), B_OK);
	EXPECT_STREQ(s, "grüße");
	ASSERT_EQ(message.FindRect("rect", &rect), B_OK);
	EXPECT_EQ(rect, BRect(50, 50, 500, 400));
	ASSERT_EQ(message.FindPoint("point", &point), B_OK);
	EXPECT_EQ(point, BPoint(3, -4));
	ASSERT_EQ(message.FindColor("color", &color), B_OK);
	EXPECT_EQ(color, make_color(255, 0, 16));
	ASSERT_EQ(message.FindRef("ref", &ref), B_OK);
	EXPECT_EQ(ref.device, (dev_t)3);
	EXPECT_EQ(ref.directory, (ino_t)((1LL << 40) + 7));
	EXPECT_STREQ(ref.name, "a");
	EXPECT_STREQ(ref.DirectoryPath(), "/home/user/locale");
	ASSERT_EQ(message.FindMessage("message", &nested), B_OK);
	EXPECT_EQ(nested.what, (uint32)'NEST');
	EXPECT_STREQ(nested.GetString("inner"), "value");
	const void* data;
	ssize_t size;
	ASSERT_EQ(message.FindData("raw", B_RAW_TYPE, &data, &size), B_OK);
	ASSERT_EQ(size, 3);
	EXPECT_EQ(memcmp(data, "\1\2\3", 3), 0);
}

} // namespace

TEST(MessageFields, EveryTypeIsFoundAsAdded)
{
	ExpectEveryType(MessageWithEveryType());
}

TEST(MessageFields, EveryTypeSurvivesFlattenAndUnflatten)
{
	const BMessage original = MessageWithEveryType();
	const ssize_t size = original.FlattenedSize();
	ASSERT_GT(size, 0);
	std::string bytes((size_t)size, '\0');
	ASSERT_EQ(original.Flatten(bytes.data(), size), B_OK);
	BMessage copy;
	ASSERT_EQ(copy.Unflatten(bytes.data(), bytes.size()), B_OK);
	ExpectEveryType(copy);
	// And once more through the copy: byte-identical.
	std::string again((size_t)copy.FlattenedSize(), '\0');
	ASSERT_EQ(copy.Flatten(again.data(), (ssize_t)again.size()), B_OK);
	EXPECT_EQ(again, bytes);
}

TEST(MessageFields, FieldsAndValuesKeepInsertionOrder)
{
	BMessage message;
	message.AddString("zeta", "1");
	message.AddInt32("alpha", 1);
	message.AddString("zeta", "2");
	message.AddInt32("mid", 5);
	message.AddString("zeta", "3");
	const char* expectedNames[] = {"zeta", "alpha", "mid"};
	for (int32 i = 0; i < 3; i++) {
		const char* name;
		type_code type;
		int32 count;
		ASSERT_EQ(message.GetInfo(B_ANY_TYPE, i, &name, &type, &count), B_OK);
		EXPECT_STREQ(name, expectedNames[i]);
	}
	int32 count;
	ASSERT_EQ(message.GetInfo("zeta", nullptr, &count), B_OK);
	EXPECT_EQ(count, 3);
	for (int32 i = 0; i < 3; i++)
		EXPECT_EQ(std::string(message.GetString("zeta", i, "")), std::to_string(i + 1));
	const char* name;
	type_code type;
	ASSERT_EQ(message.GetInfo(B_INT32_TYPE, 1, &name, &type), B_OK);
	EXPECT_STREQ(name, "mid");
	EXPECT_EQ(message.GetInfo(B_INT32_TYPE, 2, &name, &type), B_BAD_INDEX);
	EXPECT_EQ(message.GetInfo(B_RECT_TYPE, 0, &name, &type), B_BAD_TYPE);
	EXPECT_EQ(message.CountNames(B_ANY_TYPE), 3);
	EXPECT_EQ(message.CountNames(B_INT32_TYPE), 2);
}

TEST(MessageFields, ANameHoldsOneTypeAndOneItemSize)
{
	BMessage message;
	ASSERT_EQ(message.AddInt32("n", 1), B_OK);
	EXPECT_EQ(message.AddString("n", "x"), B_BAD_TYPE);
	EXPECT_EQ(message.AddInt16("n", 1), B_BAD_TYPE);
	const uint8 five[5] = {};
	ASSERT_EQ(message.AddData("blob", 'BLOB', five, 4), B_OK);
	EXPECT_EQ(message.AddData("blob", 'BLOB', five, 5), B_BAD_VALUE);
	ASSERT_EQ(message.AddData("var", 'VARB', five, 4, false), B_OK);
	EXPECT_EQ(message.AddData("var", 'VARB', five, 5, false), B_OK);
	EXPECT_EQ(message.AddData("empty", 'BLOB', five, 0), B_BAD_VALUE);
	EXPECT_EQ(message.AddInt32(nullptr, 1), B_BAD_VALUE);
	EXPECT_EQ(message.AddInt32(std::string(256, 'n').c_str(), 1), B_BAD_VALUE);
	EXPECT_EQ(message.AddInt32(std::string(255, 'n').c_str(), 1), B_OK);
	// Strings must end in NUL, or FindString would run past the item.
	EXPECT_EQ(message.AddData("s", B_STRING_TYPE, "abc", 3, false), B_BAD_VALUE);
	EXPECT_EQ(message.AddData("m", B_MESSAGE_TYPE, "garbage", 7, false), B_BAD_VALUE);
}

TEST(MessageFields, FindReportsMissingNameWrongTypeAndBadIndex)
{
	BMessage message;
	message.AddInt32("n", 7);
	int32 value = 0;
	const char* string;
	EXPECT_EQ(message.FindInt32("missing", &value), B_NAME_NOT_FOUND);
	EXPECT_EQ(message.FindString("n", &string), B_BAD_TYPE);
	EXPECT_EQ(message.FindInt32("n", 1, &value), B_BAD_INDEX);
	EXPECT_EQ(message.FindInt32("n", -1, &value), B_BAD_INDEX);
	EXPECT_EQ(message.FindInt32(nullptr, &value), B_BAD_VALUE);
	EXPECT_TRUE(message.HasInt32("n"));
	EXPECT_FALSE(message.HasInt32("n", 1));
	EXPECT_FALSE(message.HasString("n"));
	EXPECT_EQ(message.GetInt32("missing", 42), 42);
	EXPECT_STREQ(message.GetString("missing", "dflt"), "dflt");
}

TEST(MessageFields, ReplaceChangesOneValueAndKeepsTheOthers)
{
	BMessage message;
	message.AddString("s", "short");
	message.AddString("s", "second");
	message.AddString("s", "third");
	ASSERT_EQ(message.ReplaceString("s", 0, "a much longer first value than before"), B_OK);
	ASSERT_EQ(message.ReplaceString("s", 2, "3"), B_OK);
	EXPECT_STREQ(message.GetString("s", 0, ""), "a much longer first value than before");
	EXPECT_STREQ(message.GetString("s", 1, ""), "second");
	EXPECT_STREQ(message.GetString("s", 2, ""), "3");
	EXPECT_EQ(message.ReplaceString("s", 3, "x"), B_BAD_INDEX);
	EXPECT_EQ(message.ReplaceInt32("s", 0, 1), B_BAD_TYPE);
	message.AddInt32("n", 1);
	message.AddInt32("n", 2);
	ASSERT_EQ(message.ReplaceInt32("n", 1, 20), B_OK);
	EXPECT_EQ(message.GetInt32("n", 0), 1);
	int32 value;
	message.FindInt32("n", 1, &value);
	EXPECT_EQ(value, 20);
}

TEST(MessageFields, RemoveDataAndRemoveNameDropValuesAndFields)
{
	BMessage message('ABCD');
	message.AddString("s", "a");
	message.AddString("s", "bb");
	message.AddString("s", "ccc");
	message.AddInt32("n", 1);
	ASSERT_EQ(message.RemoveData("s", 1), B_OK);
	EXPECT_STREQ(message.GetString("s", 0, ""), "a");
	EXPECT_STREQ(message.GetString("s", 1, ""), "ccc");
	EXPECT_EQ(message.RemoveData("s", 2), B_BAD_INDEX);
	ASSERT_EQ(message.RemoveName("s"), B_OK);
	EXPECT_FALSE(message.HasString("s"));
	EXPECT_EQ(message.RemoveName("s"), B_NAME_NOT_FOUND);
	// Removing the last value removes the field.
	ASSERT_EQ(message.RemoveData("n"), B_OK);
	EXPECT_TRUE(message.IsEmpty());
	message.AddInt32("n", 1);
	message.MakeEmpty();
	EXPECT_TRUE(message.IsEmpty());
	EXPECT_EQ(message.what, (uint32)'ABCD');
}

TEST(MessageFields, CopiesAreIndependent)
{
	BMessage original('ORIG');
	original.AddString("s", "one");
	BMessage copy(original);
	copy.AddString("s", "two");
	copy.ReplaceString("s", 0, "changed");
	BMessage assigned;
	assigned = original;
	original.MakeEmpty();
	int32 count = 0;
	copy.GetInfo("s", nullptr, &count);
	EXPECT_EQ(count, 2);
	EXPECT_STREQ(assigned.GetString("s"), "one");
	EXPECT_EQ(assigned.what, (uint32)'ORIG');
	EXPECT_TRUE(original.IsEmpty());
}

TEST(MessageFields, RenameKeepsValuesAndRefusesTakenNames)
{
	BMessage message;
	message.AddInt32("old", 5);
	message.AddInt32("other", 6);
	EXPECT_EQ(message.Rename("old", "other"), B_NAME_IN_USE);
	ASSERT_EQ(message.Rename("old", "new"), B_OK);
	EXPECT_EQ(message.GetInt32("new", 0), 5);
	EXPECT_FALSE(message.HasInt32("old"));
	EXPECT_EQ(message.Rename("gone", "x"), B_NAME_NOT_FOUND);
}

TEST(MessageFields, PointersStayInTheProcess)
{
	int target = 0;
	BMessage message;
	message.AddPointer("p", &target);
	message.AddInt32("n", 1);
	void* found = nullptr;
	ASSERT_EQ(message.FindPointer("p", &found), B_OK);
	EXPECT_EQ(found, &target);
	std::string bytes((size_t)message.FlattenedSize(), '\0');
	ASSERT_EQ(message.Flatten(bytes.data(), (ssize_t)bytes.size()), B_OK);
	BMessage copy;
	ASSERT_EQ(copy.Unflatten(bytes.data(), bytes.size()), B_OK);
	EXPECT_FALSE(copy.HasPointer("p"));
	EXPECT_EQ(copy.GetInt32("n", 0), 1);
}

TEST(MessageFields, ManyStringsAreFoundByIndex)
{
	BMessage message;
	for (int i = 0; i < 20000; i++)
		ASSERT_EQ(message.AddString("zt:text", ("text " + std::to_string(i)).c_str()), B_OK);
	for (int i = 0; i < 20000; i += 997)
		EXPECT_EQ(std::string(message.GetString("zt:text", i, "")), "text " + std::to_string(i));
	BString string;
	ASSERT_EQ(message.FindString("zt:text", 19999, &string), B_OK);
	EXPECT_EQ(string, "text 19999");
}

namespace {

class Pair : public BFlattenable
{
public:
	int32 a = 0;
	int32 b = 0;
	bool IsFixedSize() const override { return true; }
	type_code TypeCode() const override { return 'PAIR'; }
	ssize_t FlattenedSize() const override { return 8; }
	status_t Flatten(void* buffer, ssize_t size) const override
	{
		if (size < 8)
			return B_BAD_VALUE;
		memcpy(buffer, &a, 4);
		memcpy((char*)buffer + 4, &b, 4);
		return B_OK;
	}
	status_t Unflatten(type_code code, const void* buffer, ssize_t size) override
	{
		if (code != 'PAIR' || size != 8)
			return B_BAD_VALUE;
		memcpy(&a, buffer, 4);
		memcpy(&b, (const char*)buffer + 4, 4);
		return B_OK;
	}
};

} // namespace

TEST(MessageFields, FlattenableObjectsRoundTrip)
{
	Pair pair;
	pair.a = 3;
	pair.b = -9;
	BMessage message;
	ASSERT_EQ(message.AddFlat("pair", &pair), B_OK);
	Pair found;
	EXPECT_TRUE(message.HasFlat("pair", &found));
	ASSERT_EQ(message.FindFlat("pair", &found), B_OK);
	EXPECT_EQ(found.a, 3);
	EXPECT_EQ(found.b, -9);
	message.AddInt32("n", 1);
	EXPECT_EQ(message.FindFlat("n", &found), B_BAD_TYPE);
}

TEST(MessageFields, AMessageCanBeReadFromItsOwnFields)
{
	BMessage inner('INNR');
	inner.AddString("s", "inside");
	BMessage message('OUTR');
	message.AddMessage("m", &inner);
	ASSERT_EQ(message.FindMessage("m", &message), B_OK);
	EXPECT_EQ(message.what, (uint32)'INNR');
	EXPECT_STREQ(message.GetString("s"), "inside");
	// The same through raw data that points into the message.
	BMessage outer('OUTR');
	outer.AddMessage("m", &inner);
	const void* data;
	ssize_t size;
	ASSERT_EQ(outer.FindData("m", B_MESSAGE_TYPE, &data, &size), B_OK);
	ASSERT_EQ(outer.Unflatten(data, (size_t)size), B_OK);
	EXPECT_STREQ(outer.GetString("s"), "inside");
}
