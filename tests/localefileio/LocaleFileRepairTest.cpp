// Reading a locale file whose in place save was cut short.
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include <Message.h>
#include <SafeFile.h>

#include "LocaleFile.h"
#include "LocaleFileTestSupport.h"

namespace {

std::vector<uint8_t> LocaleBytes(const ScratchFolder& folder, const char* text)
{
	BMessage message;
	LocaleFile::Build(&message, "01.00", "some app", "Suomi", &text, 1);
	const std::string scratch = folder / "scratch.locale";
	if (LocaleFile::Write(scratch.c_str(), message, "Suomi") != B_OK)
		return {};
	std::vector<uint8_t> bytes = ReadBytes(scratch);
	std::filesystem::remove(scratch);
	return bytes;
}

} // namespace

TEST(LocaleFileRepair, ReadingFinishesAnInterruptedSaveOnceAndSaysSo)
{
	ScratchFolder folder;
	const std::string path = folder / "fi.locale";
	std::filesystem::create_directory(folder / "sub");
	const std::string other = folder / "sub/fi-link.locale";
	WriteBytes(path, LocaleBytes(folder, "Vanha teksti, pitkä"));
	ASSERT_EQ(link(path.c_str(), other.c_str()), 0);
	const std::vector<uint8_t> newBytes = LocaleBytes(folder, "Uusi");
	ASSERT_FALSE(newBytes.empty());
	const std::string copy = LeaveInterruptedSave(path, newBytes, true);

	// Through the other name: the mark on the file leads to the copy.
	BMessage message;
	interrupted_write_report report;
	ASSERT_EQ(LocaleFile::Read(other.c_str(), &message, &report), B_OK);
	const char* text = nullptr;
	ASSERT_EQ(message.FindString(kLocaleFieldText, &text), B_OK);
	EXPECT_STREQ(text, "Uusi");
	EXPECT_EQ(report.outcome, B_WRITE_REPAIRED);
	EXPECT_EQ(report.copy, copy);
	EXPECT_EQ(ReadBytes(path), newBytes);
	EXPECT_FALSE(std::filesystem::exists(copy));

	ASSERT_EQ(LocaleFile::Read(path.c_str(), &message, &report), B_OK);
	EXPECT_EQ(report.outcome, B_WRITE_WAS_WHOLE);
	EXPECT_EQ(report.copy, "");
}
