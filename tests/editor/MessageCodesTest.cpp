// The system's message codes against each other and against the framework's:
// a collision would send one command down another's path.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>

#include <AppDefs.h>

#include "EditorMessages.h"
#include "FileBytes.h"

namespace {

std::string CodeText(uint32 code)
{
	std::string text;
	for (int shift = 24; shift >= 0; shift -= 8)
		text += (char)((code >> shift) & 0xff);
	return "'" + text + "'";
}

// Every four-character code the framework's header defines, by name. Read
// from the header itself, so that a code added there later is checked too.
std::map<std::string, uint32> FrameworkCodes()
{
	std::filesystem::path header =
	    std::filesystem::path(LE_SOURCE_DIR) / "platform/include/AppDefs.h";
	std::string body = ReadFileBytes(header.string());

	std::map<std::string, uint32> codes;
	std::regex definition(R"((B_\w+)\s*=\s*'(....)')");
	for (std::sregex_iterator it(body.begin(), body.end(), definition), end; it != end; ++it) {
		std::string chars = (*it)[2];
		uint32 code = 0;
		for (unsigned char c : chars)
			code = (code << 8) | c;
		codes[(*it)[1]] = code;
	}
	return codes;
}

} // namespace

TEST(MessageCodesTest, SystemCodesAreDistinct)
{
	std::set<uint32> seen;
	for (uint32 code : kEditorMessageCodes)
		EXPECT_TRUE(seen.insert(code).second) << CodeText(code) << " is defined twice";
}

TEST(MessageCodesTest, NoSystemCodeIsAFrameworkCode)
{
	std::map<std::string, uint32> framework = FrameworkCodes();
	// The header was found and read as this test expects it to be written.
	ASSERT_EQ(framework["B_QUIT_REQUESTED"], (uint32)B_QUIT_REQUESTED);
	ASSERT_EQ(framework["B_REFS_RECEIVED"], (uint32)B_REFS_RECEIVED);
	ASSERT_EQ(framework["B_SAVE_REQUESTED"], (uint32)B_SAVE_REQUESTED);

	for (uint32 code : kEditorMessageCodes) {
		for (const auto& [name, value] : framework)
			EXPECT_NE(code, value) << CodeText(code) << " is the framework's " << name;
		// The framework keeps upper case and '_' for itself; lower-case codes
		// stay clear of codes it may add.
		char first = (char)(code >> 24);
		EXPECT_TRUE(first >= 'a' && first <= 'z') << CodeText(code);
	}
}

TEST(MessageCodesTest, TheReferenceCodeIsAmongTheWindowsCodes)
{
	// The pop-up's code is owned by the pop-up; the window must still list it
	// so the checks above cover it.
	std::set<uint32> codes(std::begin(kEditorMessageCodes), std::end(kEditorMessageCodes));
	EXPECT_EQ(codes.count(kMsgGetReference), 1u);
}
