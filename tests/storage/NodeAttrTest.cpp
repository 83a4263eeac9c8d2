#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/xattr.h>

#include "Entry.h"
#include "Node.h"
#include "ScratchFolder.h"
#include "TypeConstants.h"

namespace fs = std::filesystem;

namespace {

std::string RawXattr(const std::string& path, const std::string& name)
{
	char buffer[70000];
	ssize_t size = getxattr(path.c_str(), name.c_str(), buffer, sizeof(buffer));
	return size < 0 ? std::string("<none>") : std::string(buffer, (size_t)size);
}

class NodeAttrTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		mPath = mTemp / "file";
		std::ofstream(mPath) << "body";
		ASSERT_EQ(mNode.SetTo(mPath.c_str()), B_OK);
	}

	ScratchFolder mTemp;
	std::string mPath;
	BNode mNode;
};

} // namespace

TEST_F(NodeAttrTest, StringAttributeIsStoredAsPlainBytes)
{
	ASSERT_EQ(mNode.WriteAttr("zt:language", B_STRING_TYPE, 0, "Deutsch", 7), 7);
	// Other tools see exactly the bytes, without a NUL and without a type.
	EXPECT_EQ(RawXattr(mPath, "user.zt:language"), "Deutsch");
	EXPECT_EQ(RawXattr(mPath, "user.attr-type:zt:language"), "<none>");

	attr_info info;
	ASSERT_EQ(mNode.GetAttrInfo("zt:language", &info), B_OK);
	EXPECT_EQ(info.type, (uint32)B_STRING_TYPE);
	EXPECT_EQ(info.size, 7);

	char buffer[65] = {};
	EXPECT_EQ(mNode.ReadAttr("zt:language", B_STRING_TYPE, 0, buffer, 64), 7);
	EXPECT_STREQ(buffer, "Deutsch");
}

TEST_F(NodeAttrTest, OtherTypesAreKeptBesideTheValue)
{
	int32 value = 0x01020304;
	ASSERT_EQ(mNode.WriteAttr("count", B_INT32_TYPE, 0, &value, sizeof(value)), 4);
	EXPECT_EQ(RawXattr(mPath, "user.attr-type:count"), "LONG");
	attr_info info;
	ASSERT_EQ(mNode.GetAttrInfo("count", &info), B_OK);
	EXPECT_EQ(info.type, (uint32)B_INT32_TYPE);
	EXPECT_EQ(info.size, 4);

	// Rewriting it as a string drops the kept type again.
	ASSERT_EQ(mNode.WriteAttr("count", B_STRING_TYPE, 0, "7", 1), 1);
	ASSERT_EQ(mNode.GetAttrInfo("count", &info), B_OK);
	EXPECT_EQ(info.type, (uint32)B_STRING_TYPE);
	EXPECT_EQ(RawXattr(mPath, "user.attr-type:count"), "<none>");

	ASSERT_EQ(mNode.RemoveAttr("count"), B_OK);
	EXPECT_EQ(mNode.GetAttrInfo("count", &info), B_ENTRY_NOT_FOUND);
}

TEST_F(NodeAttrTest, ForeignAttributesAreTypedByTheirBytes)
{
	ASSERT_EQ(setxattr(mPath.c_str(), "user.text",
	                   "Fran\xc3\xa7"
	                   "ais",
	                   8, 0),
	          0);
	ASSERT_EQ(setxattr(mPath.c_str(), "user.blob", "\x01\x00\xff", 3, 0), 0);
	ASSERT_EQ(setxattr(mPath.c_str(), "user.cut", "ab\xc3", 3, 0), 0);
	attr_info info;
	ASSERT_EQ(mNode.GetAttrInfo("text", &info), B_OK);
	EXPECT_EQ(info.type, (uint32)B_STRING_TYPE);
	ASSERT_EQ(mNode.GetAttrInfo("blob", &info), B_OK);
	EXPECT_EQ(info.type, (uint32)B_RAW_TYPE);
	ASSERT_EQ(mNode.GetAttrInfo("cut", &info), B_OK);
	EXPECT_EQ(info.type, (uint32)B_RAW_TYPE);
}

TEST_F(NodeAttrTest, ReadsAreCutToTheBufferAndOffset)
{
	std::string longName(100, 'x');
	longName[0] = 'A';
	ASSERT_EQ(mNode.WriteAttr("zt:language", B_STRING_TYPE, 0, longName.data(), longName.size()),
	          100);
	char buffer[64];
	ASSERT_EQ(mNode.ReadAttr("zt:language", B_STRING_TYPE, 0, buffer, sizeof(buffer)), 64);
	EXPECT_EQ(buffer[0], 'A');
	EXPECT_EQ(mNode.ReadAttr("zt:language", B_STRING_TYPE, 90, buffer, sizeof(buffer)), 10);
	EXPECT_EQ(mNode.ReadAttr("zt:language", B_STRING_TYPE, 100, buffer, sizeof(buffer)), 0);
	EXPECT_EQ(mNode.ReadAttr("absent", B_STRING_TYPE, 0, buffer, sizeof(buffer)),
	          B_ENTRY_NOT_FOUND);
}

TEST_F(NodeAttrTest, WritingAtAnOffsetPatchesTheValue)
{
	ASSERT_EQ(mNode.WriteAttr("a", B_RAW_TYPE, 0, "abcdef", 6), 6);
	ASSERT_EQ(mNode.WriteAttr("a", B_RAW_TYPE, 2, "XY", 2), 2);
	EXPECT_EQ(RawXattr(mPath, "user.a"), "abXYef");
	ASSERT_EQ(mNode.WriteAttr("a", B_RAW_TYPE, 8, "Z", 1), 1);
	EXPECT_EQ(RawXattr(mPath, "user.a"), std::string("abXYef\0\0Z", 9));
	// Offset 0 replaces the whole value.
	ASSERT_EQ(mNode.WriteAttr("a", B_RAW_TYPE, 0, "q", 1), 1);
	EXPECT_EQ(RawXattr(mPath, "user.a"), "q");
	ASSERT_EQ(mNode.WriteAttr("empty", B_STRING_TYPE, 0, "", 0), 0);
	attr_info info;
	ASSERT_EQ(mNode.GetAttrInfo("empty", &info), B_OK);
	EXPECT_EQ(info.size, 0);
}

TEST_F(NodeAttrTest, RefusesBadNamesAndSizes)
{
	char buffer[4];
	EXPECT_EQ(mNode.WriteAttr(nullptr, B_RAW_TYPE, 0, "x", 1), B_BAD_VALUE);
	EXPECT_EQ(mNode.WriteAttr("", B_RAW_TYPE, 0, "x", 1), B_BAD_VALUE);
	EXPECT_EQ(mNode.WriteAttr(std::string(251, 'n').c_str(), B_RAW_TYPE, 0, "x", 1),
	          B_NAME_TOO_LONG);
	EXPECT_EQ(mNode.WriteAttr("x", B_RAW_TYPE, -1, "x", 1), B_BAD_VALUE);
	EXPECT_EQ(mNode.WriteAttr("x", B_RAW_TYPE, 0, nullptr, 1), B_BAD_VALUE);
	EXPECT_EQ(mNode.WriteAttr("x", B_RAW_TYPE, 65536, "x", 1), B_BAD_VALUE);
	EXPECT_EQ(mNode.ReadAttr("x", B_RAW_TYPE, -1, buffer, 1), B_BAD_VALUE);
	// A name too long to keep a type beside it still stores its bytes.
	std::string longest(250, 'n');
	ASSERT_EQ(mNode.WriteAttr(longest.c_str(), B_INT32_TYPE, 0, "abcd", 4), 4);
	EXPECT_EQ(mNode.ReadAttr(longest.c_str(), B_INT32_TYPE, 0, buffer, 4), 4);
}

TEST_F(NodeAttrTest, AttributesOfALinkBelongToItsTarget)
{
	fs::create_symlink(mPath, mTemp / "link");
	BNode viaLink((mTemp / "link").c_str());
	ASSERT_EQ(viaLink.InitCheck(), B_OK);
	ASSERT_EQ(viaLink.WriteAttr("zt:language", B_STRING_TYPE, 0, "Dansk", 5), 5);
	EXPECT_EQ(RawXattr(mPath, "user.zt:language"), "Dansk");
	EXPECT_EQ(std::string(viaLink.NodePath()), mPath);
}

TEST_F(NodeAttrTest, FoldersCarryAttributesToo)
{
	BNode folder(mTemp.Path().c_str());
	ASSERT_EQ(folder.InitCheck(), B_OK);
	ASSERT_EQ(folder.WriteAttr("note", B_STRING_TYPE, 0, "hi", 2), 2);
	EXPECT_EQ(RawXattr(mTemp.Path(), "user.note"), "hi");
}

TEST(NodeTest, FileSystemWithoutAttributesFailsCleanly)
{
	// procfs refuses user attributes, as FAT or old NFS would.
	BNode node("/proc/self/status");
	ASSERT_EQ(node.InitCheck(), B_OK);
	char buffer[8];
	EXPECT_EQ(node.WriteAttr("zt:language", B_STRING_TYPE, 0, "x", 1), B_NOT_SUPPORTED);
	EXPECT_EQ(node.ReadAttr("zt:language", B_STRING_TYPE, 0, buffer, 8), B_NOT_SUPPORTED);
	attr_info info;
	EXPECT_EQ(node.GetAttrInfo("zt:language", &info), B_NOT_SUPPORTED);
	node_ref ref;
	EXPECT_EQ(node.GetNodeRef(&ref), B_OK);
}

TEST(NodeTest, UninitialisedAndMissingNodesReportErrors)
{
	BNode node;
	char buffer[4];
	EXPECT_EQ(node.InitCheck(), B_NO_INIT);
	EXPECT_EQ(node.ReadAttr("a", B_RAW_TYPE, 0, buffer, 4), B_NO_INIT);
	EXPECT_EQ(node.SetTo("/no/such/file"), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(node.SetTo((const char*)nullptr), B_BAD_VALUE);
	entry_ref ref;
	EXPECT_NE(node.SetTo(&ref), B_OK);
}

TEST(NodeTest, CopiesOwnTheirDescriptor)
{
	ScratchFolder temp;
	std::ofstream(temp / "f") << "x";
	BNode original((temp / "f").c_str());
	BNode copy(original);
	original.Unset();
	ASSERT_EQ(copy.InitCheck(), B_OK);
	EXPECT_EQ(copy.WriteAttr("k", B_STRING_TYPE, 0, "v", 1), 1);
	node_ref a;
	node_ref b;
	ASSERT_EQ(copy.GetNodeRef(&a), B_OK);
	ASSERT_EQ(BEntry((temp / "f").c_str()).GetNodeRef(&b), B_OK);
	EXPECT_EQ(a, b);
}
