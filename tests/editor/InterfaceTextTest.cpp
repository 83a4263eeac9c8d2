// The interface texts by name: a locale file made for the first 38 texts
// keeps working once texts are appended, the newer ones in English.

#include <gtest/gtest.h>

#include <Message.h>
#include <Path.h>

#include "InterfaceTexts.h"
#include "LocaleFile.h"
#include "ScratchFolder.h"
#include "ZTLocale.h"

TEST(InterfaceTexts, AnOlderLocaleFileShowsEnglishForTheTextsAddedSince)
{
	ScratchFolder folder;
	std::vector<std::string> texts;
	for (int i = 0; i < 38; i++)
		texts.push_back("alt " + std::to_string(i));
	std::vector<const char*> pointers;
	for (const std::string& text : texts)
		pointers.push_back(text.c_str());
	BMessage locale;
	LocaleFile::Build(&locale, "1.0.0", "korvane localeeditor locale", "Altdeutsch",
	                  pointers.data(), (long)pointers.size());
	ASSERT_EQ(LocaleFile::Write((folder / "alt.locale").c_str(), locale, "Altdeutsch"), B_OK);

	ZTLocale* library = ZTLocale::GetInstance();
	BPath path(folder.Path().c_str());
	ASSERT_TRUE(library->SetLanguage(&path, "Altdeutsch"));
	EXPECT_STREQ(library->Text(kTextOk), "alt 0");
	EXPECT_STREQ(library->Text(kTextSize), "alt 37");
	ASSERT_GT(kInterfaceTextCount, kTextSize + 1);
	for (long i = kTextSize + 1; i < kInterfaceTextCount; i++)
		EXPECT_STREQ(library->Text(i), mText[i]) << "text " << i;
	// Back to the built-in texts for the tests that follow.
	library->SetLanguage(&path, nullptr);
	EXPECT_EQ(library->Language(), nullptr);
}
