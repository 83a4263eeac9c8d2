// The application folder and its locale folder, as the window and the
// application object find them.

#include <gtest/gtest.h>

#include <filesystem>

#include <Application.h>
#include <Path.h>

#include "AppFolder.h"
#include "EditorTestSupport.h"

namespace {

std::string Canonical(const std::string& path)
{
	return std::filesystem::weakly_canonical(path).string();
}

} // namespace

TEST(AppFolderTest, IsTheFolderOfTheRunningExecutableAndHoldsTheLocaleFolder)
{
	ASSERT_NE(be_app, nullptr);
	BPath folder;
	ASSERT_EQ(GetAppFolder(be_app, &folder), B_OK);
	EXPECT_EQ(Canonical(folder.Path()), Canonical(AppFolder()));

	BPath localeFolder;
	ASSERT_EQ(GetLocaleFolder(be_app, &localeFolder), B_OK);
	EXPECT_EQ(Canonical(localeFolder.Path()), Canonical(AppFolder() + "/locale"));
}

TEST(AppFolderTest, WithoutAnApplicationThereIsNoFolder)
{
	BPath folder;
	EXPECT_EQ(GetAppFolder(nullptr, &folder), B_NO_INIT);
	EXPECT_EQ(GetLocaleFolder(nullptr, &folder), B_NO_INIT);
}
