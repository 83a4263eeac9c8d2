// The editor's interface translations from two folders: the shipped ones
// beside the program and the user's own; the user's win on equal names, in
// the list and when loaded.

#include <gtest/gtest.h>

#include <sys/xattr.h>

#include <algorithm>
#include <string>
#include <vector>

#include <Message.h>
#include <Path.h>

#include "InterfaceLanguages.h"
#include "LocaleFile.h"
#include "ScratchFolder.h"
#include "ZTLocale.h"

namespace {

// The interface texts' id of the editor, which the test application set.
const char* const kEditorAppID = "korvane localeeditor locale";

// A locale file of the editor's texts whose first text is first; with the
// language attribute only when withAttribute.
void WriteTranslation(const ScratchFolder& folder, const std::string& leaf, const char* language,
                      const char* first, bool withAttribute = true)
{
	BMessage locale;
	const char* texts[] = {first};
	LocaleFile::Build(&locale, "01.00", kEditorAppID, language, texts, 1);
	std::string path = folder / leaf;
	ASSERT_EQ(LocaleFile::Write(path.c_str(), locale, withAttribute ? language : nullptr), B_OK);
}

std::vector<std::string> Sorted(std::vector<std::string> names)
{
	std::sort(names.begin(), names.end());
	return names;
}

// Puts the built-in texts back, as every other test of the program expects.
class BuiltInTextsAfterwards
{
public:
	~BuiltInTextsAfterwards() { ZTLocale::GetInstance()->SetLanguage(nullptr, nullptr); }
};

} // namespace

TEST(InterfaceLanguages, TheUsersOwnAreListedFirstAndHideShippedOnesOfTheSameName)
{
	ScratchFolder shipped;
	ScratchFolder own;
	WriteTranslation(shipped, "Deutsch.locale", "Deutsch", "Geliefert");
	WriteTranslation(shipped, "Nederlands.locale", "Nederlands", "Geleverd");
	WriteTranslation(own, "mein-deutsch.locale", "Deutsch", "Eigen");
	// Installed or unpacked files have no attributes; their content counts.
	WriteTranslation(own, "Svenska.locale", "Svenska", "Egen", false);

	std::vector<std::string> names =
	    InterfaceLanguages(BPath(shipped.Path().c_str()), BPath(own.Path().c_str()));
	EXPECT_EQ(Sorted(names), (std::vector<std::string>{"Deutsch", "Nederlands", "Svenska"}));
	EXPECT_EQ(names.back(), "Nederlands") << "the shipped ones come after the user's";

	// Without a folder of the user's, the shipped ones alone.
	EXPECT_EQ(Sorted(InterfaceLanguages(BPath(shipped.Path().c_str()), BPath())),
	          (std::vector<std::string>{"Deutsch", "Nederlands"}));
}

TEST(InterfaceLanguages, SelectingLoadsTheUsersFileFirstThenTheShippedOne)
{
	BuiltInTextsAfterwards restore;
	ScratchFolder shipped;
	ScratchFolder own;
	WriteTranslation(shipped, "Deutsch.locale", "Deutsch", "Geliefert");
	WriteTranslation(shipped, "Nederlands.locale", "Nederlands", "Geleverd");
	WriteTranslation(own, "Deutsch.locale", "Deutsch", "Eigen", false);
	ZTLocale* locale = ZTLocale::GetInstance();
	BPath shippedFolder(shipped.Path().c_str());
	BPath ownFolder(own.Path().c_str());

	ASSERT_TRUE(SelectInterfaceLanguage(locale, shippedFolder, ownFolder, "Deutsch"));
	EXPECT_STREQ(locale->Text(0), "Eigen");
	ASSERT_TRUE(SelectInterfaceLanguage(locale, shippedFolder, ownFolder, "Nederlands"));
	EXPECT_STREQ(locale->Text(0), "Geleverd");
	ASSERT_TRUE(SelectInterfaceLanguage(locale, shippedFolder, BPath(), "Deutsch"));
	EXPECT_STREQ(locale->Text(0), "Geliefert");
	EXPECT_FALSE(SelectInterfaceLanguage(locale, shippedFolder, ownFolder, "Svenska"));
}
