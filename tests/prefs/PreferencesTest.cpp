#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <sys/stat.h>

#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "Message.h"
#include "Preferences.h"
#include "ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

const char* kKennung = "ZTLOCALE";

std::string Flattened(const BMessage& message)
{
	std::string bytes((size_t)message.FlattenedSize(), '\0');
	EXPECT_EQ(message.Flatten(bytes.data(), (ssize_t)bytes.size()), B_OK);
	return bytes;
}

std::string Header(const char* kennung)
{
	std::string header(100, '\0');
	memcpy(header.data(), kennung, 8);
	return header;
}

// The body of a saved settings file, read back as a message.
BMessage Body(const std::string& path)
{
	std::string bytes = ReadFileBytes(path);
	BMessage body;
	EXPECT_GE(bytes.size(), 100u);
	if (bytes.size() >= 100) {
		EXPECT_EQ(body.Unflatten(bytes.data() + 100, bytes.size() - 100), B_OK);
	}
	return body;
}

bool IsEmptyStore(const Preferences& prefs)
{
	return prefs.GetString("ZT_LANGUAGE", nullptr) == nullptr &&
	       prefs.GetInt8("ZT_AUTOPREFS", 7) == 7 &&
	       prefs.GetRect("ZT_MAINWINPOS", BRect(1, 2, 3, 4)) == BRect(1, 2, 3, 4);
}

// Lets the process write at most `limit` bytes into any file, and makes the
// write that crosses it fail instead of killing the process.
class PreferencesTest : public ::testing::Test
{
protected:
	std::string PrefsPath() const { return mTemp / "LocaleEditor.prefs"; }

	ScratchFolder mTemp;
};

} // namespace

TEST_F(PreferencesTest, FirstStartGivesResetValuesAndNoFile)
{
	Preferences prefs(PrefsPath().c_str(), kKennung);
	EXPECT_EQ(prefs.InitCheck(), kPrefsOK);
	EXPECT_STREQ(prefs.GetString("ZT_LANGUAGE", nullptr), "English");
	EXPECT_EQ(prefs.GetInt8("ZT_AUTOPREFS", 1), 0);
	EXPECT_EQ(prefs.GetRect("ZT_MAINWINPOS"), BRect(0, 0, 0, 0));
	EXPECT_FALSE(fs::exists(PrefsPath()));

	ASSERT_EQ(prefs.Save(), kPrefsOK);
	EXPECT_TRUE(fs::exists(PrefsPath()));
}

TEST_F(PreferencesTest, SavedFileIsHeaderThenFlattenedSettings)
{
	Preferences prefs(PrefsPath().c_str(), kKennung);
	prefs.Set("loadpath", "/home/x/de.locale");
	ASSERT_EQ(prefs.Save(), kPrefsOK);

	BMessage expected;
	expected.AddString("ZT_LANGUAGE", "English");
	expected.AddInt8("ZT_AUTOPREFS", 0);
	expected.AddRect("ZT_MAINWINPOS", BRect(0, 0, 0, 0));
	expected.AddString("loadpath", "/home/x/de.locale");
	EXPECT_EQ(ReadFileBytes(PrefsPath()), Header(kKennung) + Flattened(expected));
}

TEST_F(PreferencesTest, EveryKindOfValueSurvivesSaveAndLoad)
{
	BMessage nested('nest');
	nested.AddString("inner", "value");
	const rgb_color color = {10, 20, 30, 40};
	{
		Preferences prefs(PrefsPath().c_str(), kKennung);
		prefs.Set("i8", (int8)-8);
		prefs.Set("i16", (int16)-1600);
		prefs.Set("i32", (int32)-320000);
		prefs.Set("i64", (int64)-6400000000LL);
		prefs.Set("float", 2.5f);
		prefs.Set("rect", BRect(50, 50, 500, 400));
		prefs.Set("message", &nested);
		prefs.Set("string", "Fran\xc3\xa7"
		                    "ais");
		prefs.Set("color", color);
		ASSERT_EQ(prefs.Save(), kPrefsOK);
	}
	Preferences prefs(PrefsPath().c_str(), kKennung);
	ASSERT_EQ(prefs.InitCheck(), kPrefsOK);
	EXPECT_EQ(prefs.GetInt8("i8", 0), -8);
	EXPECT_EQ(prefs.GetInt16("i16", 0), -1600);
	EXPECT_EQ(prefs.GetInt32("i32", 0), -320000);
	EXPECT_EQ(prefs.GetInt64("i64", 0), -6400000000LL);
	EXPECT_EQ(prefs.GetFloat("float", 0), 2.5f);
	EXPECT_EQ(prefs.GetRect("rect"), BRect(50, 50, 500, 400));
	EXPECT_STREQ(prefs.GetString("string", nullptr), "Fran\xc3\xa7"
	                                                 "ais");
	EXPECT_EQ(prefs.GetColor("color", rgb_color{0, 0, 0, 0}), color);
	BMessage* copy = prefs.GetMessage("message", nullptr);
	ASSERT_NE(copy, nullptr);
	EXPECT_EQ(copy->what, (uint32)'nest');
	EXPECT_STREQ(copy->GetString("inner", ""), "value");
	delete copy;
	EXPECT_EQ(prefs.GetMessageData("message").what, (uint32)'nest');
	// The colour is raw 'RGBC' data: red, green, blue, alpha.
	BMessage body = Body(PrefsPath());
	const void* data;
	ssize_t size;
	ASSERT_EQ(body.FindData("color", B_RGB_COLOR_TYPE, &data, &size), B_OK);
	ASSERT_EQ(size, 4);
	EXPECT_EQ(memcmp(data, "\x0a\x14\x1e\x28", 4), 0);
}

TEST_F(PreferencesTest, KeysTheEditorDoesNotKnowSurvive)
{
	BMessage foreign;
	foreign.AddString("ZT_LANGUAGE", "Deutsch");
	foreign.AddDouble("someone.else", 1.25);
	foreign.AddString("list", "one");
	foreign.AddString("list", "two");
	WriteFileBytes(PrefsPath(), Header(kKennung) + Flattened(foreign));

	Preferences prefs(PrefsPath().c_str(), kKennung);
	ASSERT_EQ(prefs.InitCheck(), kPrefsOK);
	// Loaded as it is: keys the file lacks are not filled in.
	EXPECT_EQ(prefs.GetInt8("ZT_AUTOPREFS", 9), 9);
	prefs.Set("ZT_LANGUAGE", "Dansk");
	ASSERT_EQ(prefs.Save(), kPrefsOK);

	BMessage body = Body(PrefsPath());
	EXPECT_EQ(body.GetDouble("someone.else", 0), 1.25);
	EXPECT_STREQ(body.GetString("ZT_LANGUAGE", ""), "Dansk");
	type_code type;
	int32 count = 0;
	ASSERT_EQ(body.GetInfo("list", &type, &count), B_OK);
	EXPECT_EQ(count, 2);
}

TEST_F(PreferencesTest, SettingAKeyKeepsOneValueOfOneType)
{
	Preferences prefs(PrefsPath().c_str(), kKennung);
	prefs.Set("k", (int32)1);
	EXPECT_EQ(prefs.Set("k", (int32)2), B_OK);
	EXPECT_EQ(prefs.GetInt32("k", 0), 2);
	// Another type is refused and the string stays.
	EXPECT_NE(prefs.Set("ZT_LANGUAGE", (int8)3), B_OK);
	EXPECT_STREQ(prefs.GetString("ZT_LANGUAGE", nullptr), "English");
	EXPECT_EQ(prefs.GetInt8("ZT_LANGUAGE", 9), 9);
	ASSERT_EQ(prefs.Save(), kPrefsOK);

	BMessage body = Body(PrefsPath());
	type_code type;
	int32 count = 0;
	ASSERT_EQ(body.GetInfo("k", &type, &count), B_OK);
	EXPECT_EQ(count, 1);
	ASSERT_EQ(body.GetInfo("ZT_LANGUAGE", &type, &count), B_OK);
	EXPECT_EQ(type, (type_code)B_STRING_TYPE);
	EXPECT_EQ(count, 1);
	EXPECT_EQ(prefs.Set(nullptr, (int32)1), B_BAD_VALUE);
	EXPECT_EQ(prefs.Set("k", (const char*)nullptr), B_BAD_VALUE);
}

TEST_F(PreferencesTest, GettersFallBackOnMissesAndOtherTypes)
{
	Preferences prefs(PrefsPath().c_str(), kKennung);
	EXPECT_EQ(prefs.GetRect("none"), BRect(0, 0, 0, 0));
	EXPECT_EQ(prefs.GetRect("none", BRect(1, 2, 3, 4)), BRect(1, 2, 3, 4));
	EXPECT_EQ(prefs.GetRect("ZT_LANGUAGE", BRect(1, 2, 3, 4)), BRect(1, 2, 3, 4));
	BMessage fallback;
	EXPECT_EQ(prefs.GetMessage("none", &fallback), &fallback);
	EXPECT_EQ(prefs.GetMessage("ZT_LANGUAGE", nullptr), nullptr);
	EXPECT_TRUE(prefs.GetMessageData("none").IsEmpty());
	EXPECT_EQ(prefs.GetString("ZT_AUTOPREFS", "fb"), std::string("fb"));
	EXPECT_EQ(prefs.GetString(nullptr, nullptr), nullptr);
	rgb_color fb = {1, 2, 3, 4};
	EXPECT_EQ(prefs.GetColor("ZT_LANGUAGE", fb), fb);
}

TEST_F(PreferencesTest, ResetRemovesEveryOtherKey)
{
	Preferences prefs(PrefsPath().c_str(), kKennung);
	prefs.Set("loadpath", "/x");
	prefs.Set("ZT_LANGUAGE", "Dansk");
	EXPECT_EQ(prefs.Reset(), kPrefsOK);
	EXPECT_EQ(prefs.GetString("loadpath", nullptr), nullptr);
	EXPECT_STREQ(prefs.GetString("ZT_LANGUAGE", nullptr), "English");
}

TEST_F(PreferencesTest, WrongIdentifierLengthEndsConstruction)
{
	{
		Preferences good(PrefsPath().c_str(), kKennung);
		ASSERT_EQ(good.Save(), kPrefsOK);
	}
	const std::string before = ReadFileBytes(PrefsPath());
	for (const char* kennung : {"ZTLOCAL", "ZTLOCALEX", ""}) {
		Preferences prefs(PrefsPath().c_str(), kennung);
		EXPECT_EQ(prefs.InitCheck(), kPrefsNoMemory) << kennung;
		EXPECT_TRUE(IsEmptyStore(prefs)) << kennung;
		// Neither reads nor writes without an identifier.
		EXPECT_EQ(prefs.Load(), kPrefsNoMemory);
		EXPECT_TRUE(IsEmptyStore(prefs));
		EXPECT_EQ(prefs.Save(), kPrefsNoMemory);
		EXPECT_EQ(ReadFileBytes(PrefsPath()), before);
	}
	Preferences noName(nullptr, kKennung);
	EXPECT_EQ(noName.InitCheck(), kPrefsNoMemory);
	EXPECT_EQ(noName.Load(), kPrefsNoName);
	EXPECT_EQ(noName.Save(), kPrefsNoName);
}

TEST_F(PreferencesTest, ShortFileOrOtherIdentifierIsRefusedWhole)
{
	Preferences writer(PrefsPath().c_str(), kKennung);
	ASSERT_EQ(writer.Save(), kPrefsOK);
	const std::string good = ReadFileBytes(PrefsPath());
	for (size_t length = 0; length < 100; length++) {
		WriteFileBytes(PrefsPath(), good.substr(0, length));
		Preferences prefs(PrefsPath().c_str(), kKennung);
		EXPECT_EQ(prefs.InitCheck(), kPrefsLoadFailed) << length;
		EXPECT_TRUE(IsEmptyStore(prefs)) << length;
	}
	WriteFileBytes(PrefsPath(), good);
	Preferences other(PrefsPath().c_str(), "OTHERAPP");
	EXPECT_EQ(other.InitCheck(), kPrefsLoadFailed);
	EXPECT_TRUE(IsEmptyStore(other));
	// Bytes 8 to 99 are not looked at.
	std::string noisy = good;
	noisy[50] = 'x';
	WriteFileBytes(PrefsPath(), noisy);
	EXPECT_EQ(Preferences(PrefsPath().c_str(), kKennung).InitCheck(), kPrefsOK);
}

TEST_F(PreferencesTest, BrokenBodyLeavesNothingBehind)
{
	Preferences writer(PrefsPath().c_str(), kKennung);
	writer.Set("loadpath", "/somewhere/long/enough/to/cut");
	ASSERT_EQ(writer.Save(), kPrefsOK);
	const std::string good = ReadFileBytes(PrefsPath());

	WriteFileBytes(PrefsPath(), good.substr(0, good.size() - 10));
	Preferences truncated(PrefsPath().c_str(), kKennung);
	EXPECT_EQ(truncated.InitCheck(), kPrefsLoadFailed);
	EXPECT_TRUE(IsEmptyStore(truncated));
	EXPECT_EQ(truncated.GetString("loadpath", nullptr), nullptr);

	WriteFileBytes(PrefsPath(), Header(kKennung) + "not a message at all");
	Preferences garbage(PrefsPath().c_str(), kKennung);
	EXPECT_EQ(garbage.InitCheck(), kPrefsLoadFailed);

	// A later Load of a good file recovers.
	WriteFileBytes(PrefsPath(), good);
	EXPECT_EQ(garbage.Load(), kPrefsOK);
	EXPECT_STREQ(garbage.GetString("loadpath", nullptr), "/somewhere/long/enough/to/cut");
}

TEST_F(PreferencesTest, AnUnreadableFileIsSetAsideBeforeTheDefaultsAreSaved)
{
	const std::string damaged = Header(kKennung) + "not a message at all";
	for (const std::string& aside : {PrefsPath() + ".damaged", PrefsPath() + ".damaged-2"}) {
		WriteFileBytes(PrefsPath(), damaged + aside);
		Preferences prefs(PrefsPath().c_str(), kKennung);
		ASSERT_EQ(prefs.InitCheck(), kPrefsLoadFailed);
		std::string where;
		ASSERT_EQ(prefs.SetAside(&where), kPrefsOK);
		EXPECT_EQ(aside, where);
		EXPECT_FALSE(std::filesystem::exists(PrefsPath()));
		prefs.Set(kPrefAutoPrefs, (int8)1);
		ASSERT_EQ(prefs.Save(), kPrefsOK);
		// The earlier damaged copy is never overwritten by a later one.
		EXPECT_EQ(damaged + aside, ReadFileBytes(aside));
	}
	EXPECT_EQ(damaged + PrefsPath() + ".damaged", ReadFileBytes(PrefsPath() + ".damaged"));
	EXPECT_EQ(Preferences(PrefsPath().c_str(), kKennung).InitCheck(), kPrefsOK);
}

TEST_F(PreferencesTest, LoadOfAMissingFileKeepsTheSettings)
{
	Preferences prefs(PrefsPath().c_str(), kKennung);
	prefs.Set("ZT_LANGUAGE", "Dansk");
	EXPECT_EQ(prefs.Load(), kPrefsOpenFailed);
	EXPECT_STREQ(prefs.GetString("ZT_LANGUAGE", nullptr), "Dansk");
}

TEST_F(PreferencesTest, SaveIntoAMissingFolderOrOverAFolderFails)
{
	Preferences missing((mTemp / "gone/LocaleEditor.prefs").c_str(), kKennung);
	EXPECT_EQ(missing.Save(), kPrefsOpenFailed);
	EXPECT_FALSE(fs::exists(mTemp / "gone"));

	fs::create_directory(PrefsPath());
	Preferences overFolder(PrefsPath().c_str(), kKennung);
	EXPECT_EQ(overFolder.Save(), kPrefsOpenFailed);
	EXPECT_TRUE(fs::is_directory(PrefsPath()));
}

TEST_F(PreferencesTest, FailedWriteKeepsTheOldFileByteForByte)
{
	Preferences prefs(PrefsPath().c_str(), kKennung);
	prefs.Set("loadpath", "/old");
	ASSERT_EQ(prefs.Save(), kPrefsOK);
	const std::string before = ReadFileBytes(PrefsPath());

	prefs.Set("loadpath", std::string(4000, 'n').c_str());
	{
		// The disk takes the header and part of the body, then refuses.
		FileSizeLimit limit(before.size() + 20);
		EXPECT_EQ(prefs.Save(), kPrefsWriteFailed);
	}
	EXPECT_EQ(ReadFileBytes(PrefsPath()), before);
	// No temporary file is left behind.
	size_t files = 0;
	for (const auto& item : fs::directory_iterator(mTemp.Path())) {
		(void)item;
		files++;
	}
	EXPECT_EQ(files, 1u);

	EXPECT_EQ(prefs.Save(), kPrefsOK);
	EXPECT_EQ(Preferences(PrefsPath().c_str(), kKennung).GetString("loadpath", nullptr),
	          std::string(4000, 'n'));
}

TEST_F(PreferencesTest, SaveReplacesALinksTargetAndKeepsPermissions)
{
	fs::create_directory(mTemp / "real");
	std::string target = mTemp / "real/settings";
	{
		Preferences first(target.c_str(), kKennung);
		ASSERT_EQ(first.Save(), kPrefsOK);
	}
	ASSERT_EQ(chmod(target.c_str(), 0600), 0);
	fs::create_symlink(target, PrefsPath());

	Preferences prefs(PrefsPath().c_str(), kKennung);
	prefs.Set("ZT_LANGUAGE", "Dansk");
	ASSERT_EQ(prefs.Save(), kPrefsOK);
	EXPECT_TRUE(fs::is_symlink(PrefsPath()));
	EXPECT_STREQ(Preferences(target.c_str(), kKennung).GetString("ZT_LANGUAGE", nullptr), "Dansk");
	struct stat info;
	ASSERT_EQ(stat(target.c_str(), &info), 0);
	EXPECT_EQ(info.st_mode & 07777, 0600u);
}

TEST_F(PreferencesTest, NameAndIdentifierAccessors)
{
	Preferences prefs(PrefsPath().c_str(), kKennung);
	char buffer[B_PATH_NAME_LENGTH];
	ASSERT_EQ(prefs.GetName(buffer), 0);
	EXPECT_EQ(std::string(buffer), PrefsPath());
	EXPECT_EQ(prefs.GetName(nullptr), 1);
	EXPECT_EQ(prefs.GetKennung(buffer), 1);

	// A refused identifier keeps the old one: the file still says ZTLOCALE.
	EXPECT_EQ(prefs.SetKennung("TOOLONGID"), kPrefsNoMemory);
	EXPECT_EQ(prefs.SetName(nullptr), kPrefsNoMemory);
	ASSERT_EQ(prefs.Save(), kPrefsOK);
	EXPECT_EQ(ReadFileBytes(PrefsPath()).substr(0, 8), kKennung);

	std::string longName = "/" + std::string(B_PATH_NAME_LENGTH, 'x');
	ASSERT_EQ(prefs.SetName(longName.c_str()), kPrefsOK);
	EXPECT_EQ(prefs.GetName(buffer), 1);

	ASSERT_EQ(prefs.SetKennung("NEWIDENT"), kPrefsOK);
	ASSERT_EQ(prefs.SetName(PrefsPath().c_str()), kPrefsOK);
	ASSERT_EQ(prefs.Save(), kPrefsOK);
	EXPECT_EQ(ReadFileBytes(PrefsPath()).substr(0, 8), "NEWIDENT");
}

TEST_F(PreferencesTest, DamagedFilesLoadWholeOrNotAtAll)
{
	Preferences writer(PrefsPath().c_str(), kKennung);
	writer.Set("loadpath", "/home/someone/de.locale");
	writer.Set("ZT_MAINWINPOS", BRect(50, 50, 500, 400));
	ASSERT_EQ(writer.Save(), kPrefsOK);
	const std::string good = ReadFileBytes(PrefsPath());

	// Every single damaged byte of the body, each on its own.
	std::mt19937 random(4711);
	for (size_t offset = 100; offset < good.size(); offset++) {
		std::string damaged = good;
		damaged[offset] = (char)(damaged[offset] ^ (1 + random() % 255));
		WriteFileBytes(PrefsPath(), damaged);
		Preferences prefs(PrefsPath().c_str(), kKennung);
		const int32 status = prefs.InitCheck();
		ASSERT_TRUE(status == kPrefsOK || status == kPrefsLoadFailed) << offset;
		if (status == kPrefsLoadFailed) {
			EXPECT_TRUE(IsEmptyStore(prefs)) << offset;
		}
	}
	// Random bodies behind a good header, some with a message's magic.
	for (int round = 0; round < 200; round++) {
		std::string body(random() % 300, '\0');
		for (char& byte : body)
			byte = (char)random();
		if (round % 2 == 0 && body.size() >= 4)
			memcpy(body.data(), "1BOF", 4);
		WriteFileBytes(PrefsPath(), Header(kKennung) + body);
		Preferences prefs(PrefsPath().c_str(), kKennung);
		EXPECT_EQ(prefs.InitCheck(), kPrefsLoadFailed) << round;
		EXPECT_TRUE(IsEmptyStore(prefs)) << round;
	}
}
