#include <gtest/gtest.h>

#include <string>

#include "driver/install_folder.h"

// The longest module file name is "EmailQuillo.exe" below "EmailQuillo" (or "PhoneQuillo"):
// 28 characters with the two backslashes, so a folder may have 259 - 28 = 231.
TEST(InstallFolderFits, LongestModuleFileMustFitInMaxPath) {
    std::string folder = "C:\\" + std::string(228, 'a');
    ASSERT_EQ(231u, folder.size());
    EXPECT_TRUE(InstallFolderFits(folder.c_str()));
    EXPECT_TRUE(InstallFolderFits((folder + "\\").c_str()));
    EXPECT_FALSE(InstallFolderFits((folder + "b").c_str()));
    EXPECT_FALSE(InstallFolderFits((folder + "b\\").c_str()));
    EXPECT_TRUE(InstallFolderFits("C:\\"));
}
