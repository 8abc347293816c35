#include "platform/platform.hpp"
#include "sandbox_fixture.hpp"

namespace {

using platform::posix::host_path;

class PathMapping : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    fs::create_directories(windows_ / "System");
    fs::create_directories(drive_c_ / "Games" / "Old");
  }
};

struct MappingCase {
  const char* windows_path;
  const char* expected_under_c;  // relative to drive C's host folder; null: maps elsewhere
  const char* expected_host;     // used when expected_under_c is null ("" = refused)
};

TEST_F(PathMapping, MapsDrivesAndResolvesExistingComponentsIgnoringCase) {
  const MappingCase cases[] = {
      {"C:\\WINDOWS\\AURORA.SCR", "windows/AURORA.SCR", nullptr},
      {"c:\\Windows\\SYSTEM\\glu32.dll", "windows/System/glu32.dll", nullptr},
      {"C:\\WINDOWS\\TOLVERAN\\LUMIVANE\\Aurora", "windows/TOLVERAN/LUMIVANE/Aurora", nullptr},
      {"C:\\games\\OLD\\..\\New", "Games/New", nullptr},
      {"C:/Windows/./a.txt", "windows/a.txt", nullptr},
      {"C:\\", "", nullptr},
      {"C:\\WINDOWS\\..\\..\\outside", nullptr, ""},
      {"C:\\..\\outside", nullptr, ""},
      {"C:\\a\\..\\..\\windows", nullptr, ""},
      {"Z:\\usr\\lib", nullptr, "/usr/lib"},
      {"Z:\\", nullptr, "/"},
      {"Z:\\..\\usr", nullptr, ""},
      {"/srv/host/Path", nullptr, "/srv/host/Path"},
      {"D:\\WINDOWS", nullptr, ""},
      {"WINDOWS\\AURORA.SCR", nullptr, ""},
  };
  for (const MappingCase& c : cases) {
    std::string expected = c.expected_host == nullptr ? drive_c_.string() : c.expected_host;
    if (c.expected_under_c != nullptr && *c.expected_under_c != '\0') {
      expected = (drive_c_ / c.expected_under_c).string();
    }
    const std::string actual = host_path(c.windows_path);
    EXPECT_EQ(actual, expected) << c.windows_path;
  }
}

TEST_F(PathMapping, PrefersTheExactNameWhenSeveralDifferOnlyInCase) {
  fs::create_directories(windows_ / "data");
  fs::create_directories(windows_ / "DATA");
  EXPECT_EQ(host_path("C:\\windows\\DATA\\x"), (windows_ / "DATA" / "x").string());
  EXPECT_EQ(host_path("C:\\windows\\data\\x"), (windows_ / "data" / "x").string());
  // Neither spelled as asked: the first in name order, upper case sorting first.
  EXPECT_EQ(host_path("C:\\windows\\Data\\x"), (windows_ / "DATA" / "x").string());
}

TEST_F(PathMapping, CallsOnAnEscapingPathFail) {
  const char* escaping = "C:\\WINDOWS\\..\\..\\escaped.txt";
  EXPECT_EQ(platform::file_create(escaping), platform::kInvalidFile);
  EXPECT_FALSE(platform::create_directory("C:\\..\\escaped"));
  EXPECT_EQ(platform::stream_open(escaping, "wb"), nullptr);
  EXPECT_FALSE(fs::exists(top_ / "escaped.txt"));
  EXPECT_FALSE(fs::exists(top_ / "escaped"));
}

TEST_F(PathMapping, ModulePathIsTheHostPathUnderZ) {
  std::string expected = "Z:" + module_.string();
  for (char& c : expected) c = c == '/' ? '\\' : c;
  EXPECT_EQ(platform::posix::module_windows_path(), expected);
  EXPECT_EQ(host_path(platform::posix::module_windows_path()), module_.string());
}

struct WindowsFolderCase {
  const char* host_folder;  // under the drive, as configured
  const char* reported;
  const char* on_disk;  // the folder the reported name leads back to
};

TEST_F(PathMapping, WindowsDirectoryIsReportedWithTheHostFolderName) {
  const WindowsFolderCase cases[] = {
      {"windows", "C:\\windows", "windows"},
      {"WINDOWS", "C:\\WINDOWS", "WINDOWS"},
      {"WinNT/", "C:\\WinNT", "WinNT"},
  };
  for (const WindowsFolderCase& c : cases) {
    fs::create_directories(drive_c_ / c.on_disk);
    reconfigure([&](platform::posix::Config& config) {
      config.machine.windows_dir_host = (drive_c_ / c.host_folder).string();
    });
    EXPECT_EQ(platform::posix::windows_directory_path(), c.reported) << c.host_folder;
    EXPECT_EQ(host_path(std::string(c.reported) + "\\X.SCR"),
              (drive_c_ / c.on_disk / "X.SCR").string())
        << c.host_folder;
  }
}

}  // namespace
