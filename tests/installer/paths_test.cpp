#include "installer/paths.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NameCase {
  const char* module_path;
  const char* saver;
  const char* renamed;
  const char* suffix;
};

class InstallerNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(InstallerNames, DeriveFromTheFileName) {
  installer::PathBuffer out;
  ASSERT_TRUE(installer::saver_file_name(GetParam().module_path, out));
  EXPECT_STREQ(out, GetParam().saver);
  ASSERT_TRUE(installer::renamed_installer_name(GetParam().module_path, out));
  EXPECT_STREQ(out, GetParam().renamed);
  ASSERT_TRUE(installer::data_folder_suffix(GetParam().module_path, out));
  EXPECT_STREQ(out, GetParam().suffix);
}

INSTANTIATE_TEST_SUITE_P(
    Modules, InstallerNames,
    ::testing::Values(NameCase{"Z:\\pkg\\Aurora.exe", "Aurora.SCR", "Aurora.EXE", "\\AURORA"},
                      NameCase{"Z:\\pkg\\My.Saver.exe", "My.SCR", "My.Saver.EXE", "\\MY.SAVER"},
                      NameCase{"C:\\AURORA.EXE", "AURORA.SCR", "AURORA.EXE", "\\AURORA"},
                      NameCase{"Z:\\a\\deep-sea_2.exe", "deep-sea_2.SCR", "deep-sea_2.EXE",
                               "\\DEEP-SEA_2"}));

TEST(InstallerNames, AFileNameTooLongForTheBufferLeavesItEmpty) {
  const std::string path = "Z:\\" + std::string(300, 'a') + ".exe";
  installer::PathBuffer out;
  EXPECT_FALSE(installer::saver_file_name(path.c_str(), out));
  EXPECT_STREQ(out, "");
  EXPECT_FALSE(installer::data_folder_suffix(path.c_str(), out));
  EXPECT_STREQ(out, "");
}

}  // namespace
