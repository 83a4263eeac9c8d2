#include <gtest/gtest.h>

#include <fstream>
#include <sys/xattr.h>
#include <vector>

#include "File.h"
#include "FileBytes.h"
#include "Message.h"
#include "Node.h"
#include "NodeInfo.h"
#include "ScratchFolder.h"

namespace {

const char* kLocaleType = "locale/x-vnd.vessmor-locale";

std::vector<char> Flattened(const BMessage& message)
{
	std::vector<char> bytes((size_t)message.FlattenedSize());
	EXPECT_EQ(message.Flatten(bytes.data(), (ssize_t)bytes.size()), B_OK);
	return bytes;
}

void WriteBytes(const std::string& path, const std::vector<char>& bytes)
{
	std::ofstream(path, std::ios::binary).write(bytes.data(), (std::streamsize)bytes.size());
}

BMessage LocaleMessage()
{
	BMessage message;
	message.AddString("zt:version", "01.00");
	message.AddString("zt:app_id", "some app");
	message.AddString("zt:language", "Deutsch");
	message.AddString("zt:text", "Abbrechen");
	return message;
}

// A message as a big-endian machine of the original platform wrote it:
// string fields only, each a single item in the one-byte form.
std::vector<char> BigEndianR5(uint32 what,
                              const std::vector<std::pair<std::string, std::string>>& fields)
{
	auto put32 = [](std::vector<char>& out, uint32 value) {
		for (int shift = 24; shift >= 0; shift -= 8)
			out.push_back((char)(value >> shift));
	};
	std::vector<char> out = {'F', 'O', 'B', '1'};
	put32(out, 0); // checksum: never checked by readers
	put32(out, 0); // size, below
	put32(out, what);
	out.push_back(0x01);
	for (const auto& field : fields) {
		const uint32 itemSize = (uint32)field.second.size() + 1;
		const uint32 padding = (8 - (4 + itemSize) % 8) % 8;
		out.push_back(0x0b); // valid, mini, single item
		put32(out, B_STRING_TYPE);
		out.push_back((char)(4 + itemSize + padding));
		out.push_back((char)field.first.size());
		out.insert(out.end(), field.first.begin(), field.first.end());
		put32(out, itemSize);
		out.insert(out.end(), field.second.begin(), field.second.end());
		out.push_back('\0');
		out.insert(out.end(), padding, '\0');
	}
	out.push_back(0x00);
	const uint32 size = (uint32)out.size();
	for (int i = 0; i < 4; i++)
		out[8 + i] = (char)(size >> (24 - 8 * i));
	return out;
}

std::string TypeOf(const std::string& path, status_t* status)
{
	BNode node(path.c_str());
	BNodeInfo info(&node);
	char type[B_MIME_TYPE_LENGTH] = {};
	*status = info.GetType(type);
	return type;
}

// A file of one byte in a scratch folder, its node and node info open.
class NodeInfoOfAFile : public ::testing::Test
{
protected:
	void SetUp() override
	{
		ASSERT_TRUE(WriteFileBytes(mPath, "x"));
		ASSERT_EQ(mNode.SetTo(mPath.c_str()), B_OK);
		ASSERT_EQ(mInfo.SetTo(&mNode), B_OK);
	}

	ScratchFolder mTemp;
	const std::string mPath = mTemp / "file";
	BNode mNode;
	BNodeInfo mInfo;
};

} // namespace

TEST_F(NodeInfoOfAFile, TypeIsTheFreedesktopAttributeWithoutNul)
{
	ASSERT_EQ(mInfo.InitCheck(), B_OK);
	ASSERT_EQ(mInfo.SetType(kLocaleType), B_OK);

	char raw[300];
	ssize_t size = getxattr(mPath.c_str(), "user.mime_type", raw, sizeof(raw));
	ASSERT_EQ(size, (ssize_t)strlen(kLocaleType));
	EXPECT_EQ(std::string(raw, (size_t)size), kLocaleType);

	status_t status;
	EXPECT_EQ(TypeOf(mPath, &status), kLocaleType);
	EXPECT_EQ(status, B_OK);

	ASSERT_EQ(mInfo.SetType(nullptr), B_OK);
	EXPECT_EQ(getxattr(mPath.c_str(), "user.mime_type", raw, sizeof(raw)), -1);
	EXPECT_EQ(mInfo.SetType(nullptr), B_OK);
}

TEST_F(NodeInfoOfAFile, AcceptsATypeStoredWithNulByOtherTools)
{
	ASSERT_EQ(setxattr(mPath.c_str(), "user.mime_type", "text/plain", 11, 0), 0);
	status_t status;
	EXPECT_EQ(TypeOf(mPath, &status), "text/plain");
	EXPECT_EQ(status, B_OK);
}

TEST_F(NodeInfoOfAFile, RefusesMalformedTypes)
{
	EXPECT_EQ(mInfo.SetType(""), B_BAD_VALUE);
	EXPECT_EQ(mInfo.SetType("plain"), B_BAD_VALUE);
	EXPECT_EQ(mInfo.SetType("text/pl ain"), B_BAD_VALUE);
	EXPECT_EQ(mInfo.SetType(("a/" + std::string(240, 'b')).c_str()), B_BAD_VALUE);

	BNodeInfo unset;
	char type[B_MIME_TYPE_LENGTH];
	EXPECT_EQ(unset.GetType(type), B_NO_INIT);
	BNode closed;
	EXPECT_EQ(unset.SetTo(&closed), B_BAD_VALUE);
}

TEST(NodeInfoTest, TypelessLocaleFileIsKnownByItsContent)
{
	ScratchFolder temp;
	std::string path = temp / "copied.locale";
	WriteBytes(path, Flattened(LocaleMessage()));
	status_t status;
	EXPECT_EQ(TypeOf(path, &status), kLocaleType);
	EXPECT_EQ(status, B_OK);

	// A file opened for writing only is still recognised, and its position
	// is left alone.
	BFile file(path.c_str(), B_WRITE_ONLY);
	ASSERT_EQ(file.Seek(3, SEEK_SET), 3);
	BNodeInfo info(&file);
	char type[B_MIME_TYPE_LENGTH];
	ASSERT_EQ(info.GetType(type), B_OK);
	EXPECT_STREQ(type, kLocaleType);
	EXPECT_EQ(file.Position(), 3);
}

TEST(NodeInfoTest, BigEndianLocaleFileIsKnownToo)
{
	ScratchFolder temp;
	std::vector<char> bytes = BigEndianR5(0, {{"zt:version", "01.00"},
	                                          {"zt:app_id", "an app"},
	                                          {"zt:language", "Svenska"},
	                                          {"zt:text", "Avbryt"}});
	BMessage check;
	ASSERT_EQ(check.Unflatten(bytes.data(), bytes.size()), B_OK);
	ASSERT_STREQ(check.GetString("zt:app_id", ""), "an app");
	WriteBytes(temp / "ppc.locale", bytes);
	status_t status;
	EXPECT_EQ(TypeOf(temp / "ppc.locale", &status), kLocaleType);
	EXPECT_EQ(status, B_OK);

	WriteBytes(temp / "ppc.other", BigEndianR5(0, {{"zt:language", "Svenska"}}));
	TypeOf(temp / "ppc.other", &status);
	EXPECT_EQ(status, B_ENTRY_NOT_FOUND);
}

TEST(NodeInfoTest, OtherContentHasNoType)
{
	ScratchFolder temp;
	status_t status;

	std::ofstream(temp / "notes.txt") << "Just some text that is not a message.\n";
	TypeOf(temp / "notes.txt", &status);
	EXPECT_EQ(status, B_ENTRY_NOT_FOUND);

	BMessage other('abcd');
	other.AddString("zt:language", "Deutsch");
	WriteBytes(temp / "other", Flattened(other));
	TypeOf(temp / "other", &status);
	EXPECT_EQ(status, B_ENTRY_NOT_FOUND);

	// The right magic on a broken body.
	std::vector<char> broken = Flattened(LocaleMessage());
	broken.resize(broken.size() / 2);
	WriteBytes(temp / "broken", broken);
	TypeOf(temp / "broken", &status);
	EXPECT_EQ(status, B_ENTRY_NOT_FOUND);

	std::ofstream(temp / "empty").close();
	TypeOf(temp / "empty", &status);
	EXPECT_EQ(status, B_ENTRY_NOT_FOUND);

	TypeOf(temp.Path(), &status);
	EXPECT_EQ(status, B_ENTRY_NOT_FOUND);
}

TEST(NodeInfoTest, StoredTypeWinsOverContent)
{
	ScratchFolder temp;
	std::string path = temp / "file";
	WriteBytes(path, Flattened(LocaleMessage()));
	ASSERT_EQ(setxattr(path.c_str(), "user.mime_type", "text/plain", 10, 0), 0);
	status_t status;
	EXPECT_EQ(TypeOf(path, &status), "text/plain");
}
