// BString, BList, the data streams, BRect and the status codes.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <string>

#include "DataIO.h"
#include "EntryRef.h"
#include "List.h"
#include "Rect.h"
#include "String.h"

TEST(SupportString, AppendsStringsAndNumbers)
{
	BString text("Line ");
	text << 12 << ": " << (int64)-5 << ' ' << (uint32)7 << " " << BString("end");
	EXPECT_STREQ(text.String(), "Line 12: -5 7 end");
	EXPECT_EQ(text.Length(), 17);
	text.SetToFormat("%s #%d", "ID", 42);
	EXPECT_EQ(text, "ID #42");
	BString limited("abcdef", 3);
	EXPECT_EQ(limited, "abc");
}

TEST(SupportString, ReplaceAllReplacesEveryOccurrenceFromTheOffset)
{
	BString text("a\\nb\\nc\\n");
	text.ReplaceAll("\\n", "\n");
	EXPECT_EQ(text, "a\nb\nc\n");
	BString grow("xx");
	grow.ReplaceAll("x", "xyx");
	EXPECT_EQ(grow, "xyxxyx");
	BString from("aaaa");
	from.ReplaceAll("a", "b", 2);
	EXPECT_EQ(from, "aabb");
	BString unchanged("abc");
	unchanged.ReplaceAll("", "z");
	EXPECT_EQ(unchanged, "abc");
}

TEST(SupportString, FindTruncateRemoveAndCompare)
{
	BString text("; #ID 3: x; #ID 3:");
	EXPECT_EQ(text.FindFirst("#ID"), 2);
	EXPECT_EQ(text.FindFirst("#ID", 3), 12);
	EXPECT_EQ(text.FindFirst("none"), B_ERROR);
	EXPECT_EQ(text.FindLast("#ID"), 12);
	EXPECT_EQ(text.FindFirst('x'), 9);
	text.Truncate(5);
	EXPECT_EQ(text, "; #ID");
	text.Truncate(50);
	EXPECT_EQ(text.Length(), 5);
	text.Remove(0, 2);
	EXPECT_EQ(text, "#ID");
	text.Remove(10, 2);
	EXPECT_EQ(text, "#ID");
	EXPECT_LT(BString("abc").Compare("abd"), 0);
	EXPECT_EQ(BString("ABC").ICompare("abc"), 0);
	EXPECT_TRUE(BString("a") < BString("b"));
	EXPECT_TRUE("x" == BString("x"));
	BString copy;
	BString("Hello World").CopyInto(copy, 6, 50);
	EXPECT_EQ(copy, "World");
	EXPECT_EQ(BString("äbc").CountChars(), 3);
}

TEST(SupportString, LockBufferSetsTheLengthOnUnlock)
{
	BString text;
	char* buffer = text.LockBuffer(10);
	strcpy(buffer, "abc");
	text.UnlockBuffer();
	EXPECT_EQ(text.Length(), 3);
	EXPECT_EQ(text, "abc");
}

TEST(SupportList, KeepsOrderAndAnswersNullOutOfRange)
{
	int a = 1, b = 2, c = 3;
	BList list(5);
	EXPECT_TRUE(list.AddItem(&a));
	EXPECT_TRUE(list.AddItem(&c));
	EXPECT_TRUE(list.AddItem(&b, 1));
	EXPECT_FALSE(list.AddItem(&b, 5));
	ASSERT_EQ(list.CountItems(), 3);
	EXPECT_EQ(list.ItemAt(0), &a);
	EXPECT_EQ(list.ItemAt(1), &b);
	EXPECT_EQ(list.ItemAt(2), &c);
	EXPECT_EQ(list.ItemAt(3), nullptr);
	EXPECT_EQ(list.ItemAt(-1), nullptr);
	EXPECT_EQ(list.RemoveItem((int32)1), &b);
	EXPECT_EQ(list.RemoveItem((int32)7), nullptr);
	EXPECT_TRUE(list.RemoveItem(&a));
	EXPECT_FALSE(list.RemoveItem(&a));
	EXPECT_EQ(list.IndexOf(&c), 0);
	list.MakeEmpty();
	EXPECT_TRUE(list.IsEmpty());
}

TEST(SupportDataIO, MallocIOGrowsAndReadsBack)
{
	BMallocIO io;
	EXPECT_EQ(io.Write("hello", 5), 5);
	EXPECT_EQ(io.WriteAt(10, "x", 1), 1);
	off_t size = 0;
	ASSERT_EQ(io.GetSize(&size), B_OK);
	EXPECT_EQ(size, 11);
	char buffer[11];
	EXPECT_EQ(io.ReadAt(0, buffer, sizeof(buffer)), 11);
	EXPECT_EQ(memcmp(buffer, "hello\0\0\0\0\0x", 11), 0);
	EXPECT_EQ(io.Seek(-1, SEEK_END), 10);
	EXPECT_EQ(io.Seek(-20, SEEK_CUR), (off_t)B_BAD_VALUE);
	EXPECT_EQ(io.Read(buffer, 5), 1);
	EXPECT_EQ(io.Read(buffer, 5), 0);
	ASSERT_EQ(io.SetSize(3), B_OK);
	EXPECT_EQ(io.BufferLength(), 3u);
}

TEST(SupportDataIO, MemoryIOStaysInsideItsBuffer)
{
	char storage[4] = {};
	BMemoryIO io(storage, sizeof(storage));
	EXPECT_EQ(io.Write("abcdef", 6), 4);
	EXPECT_EQ(memcmp(storage, "abcd", 4), 0);
	EXPECT_EQ(io.Write("z", 1), 0);
	const char constant[] = "read only";
	BMemoryIO readOnly((const void*)constant, sizeof(constant));
	EXPECT_EQ(readOnly.Write("x", 1), (ssize_t)B_NOT_ALLOWED);
	char out[4];
	size_t got = 0;
	EXPECT_EQ(readOnly.ReadExactly(out, 4, &got), B_OK);
	EXPECT_EQ(got, 4u);
	readOnly.Seek(-2, SEEK_END);
	EXPECT_NE(readOnly.ReadExactly(out, 4, &got), B_OK);
	EXPECT_EQ(got, 2u);
}

TEST(SupportRect, EdgesAreInclusive)
{
	BRect rect(10, 20, 10, 20);
	EXPECT_TRUE(rect.IsValid());
	EXPECT_EQ(rect.Width(), 0);
	EXPECT_TRUE(rect.Contains(BPoint(10, 20)));
	BRect frame(0, 0, 99, 49);
	EXPECT_EQ(frame.IntegerWidth(), 99);
	frame.OffsetTo(5, 5);
	EXPECT_EQ(frame, BRect(5, 5, 104, 54));
	frame.InsetBy(5, 5);
	EXPECT_EQ(frame, BRect(10, 10, 99, 49));
	EXPECT_FALSE(BRect().IsValid());
	EXPECT_TRUE(BRect(0, 0, 10, 10).Intersects(BRect(10, 10, 20, 20)));
	EXPECT_FALSE(BRect(0, 0, 10, 10).Intersects(BRect(11, 0, 20, 20)));
	EXPECT_EQ(BRect(0, 0, 10, 10) & BRect(5, 5, 20, 20), BRect(5, 5, 10, 10));
}

TEST(SupportErrors, CodesAreDistinctNegativeAndNamed)
{
	const int32 codes[] = {B_ERROR,
	                       B_NO_MEMORY,
	                       B_BAD_VALUE,
	                       B_BAD_TYPE,
	                       B_BAD_INDEX,
	                       B_NAME_NOT_FOUND,
	                       B_ENTRY_NOT_FOUND,
	                       B_BAD_DATA,
	                       B_TIMED_OUT,
	                       B_BAD_REPLY,
	                       B_DUPLICATE_REPLY,
	                       B_BAD_SCRIPT_SYNTAX,
	                       B_PERMISSION_DENIED,
	                       B_FILE_EXISTS,
	                       B_NOT_A_DIRECTORY,
	                       B_IS_A_DIRECTORY,
	                       B_DEVICE_FULL,
	                       B_UNSUPPORTED,
	                       B_NOT_A_MESSAGE,
	                       B_BUFFER_OVERFLOW,
	                       B_FILE_TOO_LARGE,
	                       B_NOT_ALLOWED,
	                       B_IO_ERROR,
	                       B_BAD_PORT_ID,
	                       B_BAD_TEAM_ID};
	std::set<int32> seen;
	for (int32 code : codes) {
		EXPECT_LT(code, 0);
		EXPECT_TRUE(seen.insert(code).second) << code;
		EXPECT_STRNE(b_status_string(code), "Unknown error") << code;
	}
	EXPECT_EQ(b_from_errno(ENOENT), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(b_from_errno(EACCES), B_PERMISSION_DENIED);
	EXPECT_EQ(b_from_errno(ENOSPC), B_DEVICE_FULL);
	EXPECT_EQ(b_from_errno(0), B_OK);
}

TEST(SupportEntryRef, ComparesByNodeWhenKnownAndByPathOtherwise)
{
	entry_ref a("/home/u", "x.locale");
	entry_ref b("/home/u", "x.locale");
	entry_ref c("/home/v", "x.locale");
	EXPECT_EQ(a, b);
	EXPECT_NE(a, c);
	entry_ref d(5, 9, "x.locale");
	entry_ref e(5, 9, "x.locale");
	d.SetDirectoryPath("/one");
	e.SetDirectoryPath("/other/way/to/it");
	EXPECT_EQ(d, e);
	entry_ref copy = d;
	copy.set_name("y");
	EXPECT_STREQ(d.name, "x.locale");
	EXPECT_NE(copy, d);
	EXPECT_EQ(a.FullPath(), "/home/u/x.locale");
}
