#include "platform/platform.hpp"
#include "sandbox_fixture.hpp"

namespace {

struct ProfileCase {
  const char* name;
  const char* before;  // null: no file yet
  const char* section;
  const char* key;
  const char* value;
  const char* after;
};

const ProfileCase kProfileCases[] = {
    {"new file", nullptr, "boot", "SCRNSAVE.EXE", "C:\\WINDOWS\\AURORA.SCR",
     "[boot]\r\nSCRNSAVE.EXE=C:\\WINDOWS\\AURORA.SCR\r\n"},
    {"key added to its section, other sections kept",
     "[boot]\r\nshell=Explorer.exe\r\n\r\n[386Enh]\r\nwoafont=dosapp.fon\r\n", "boot",
     "SCRNSAVE.EXE", "X.SCR",
     "[boot]\r\nshell=Explorer.exe\r\nSCRNSAVE.EXE=X.SCR\r\n\r\n[386Enh]\r\nwoafont=dosapp."
     "fon\r\n"},
    {"key replaced ignoring case, not duplicated",
     "[Boot]\r\nscrnsave.exe=OLD.SCR\r\nshell=Explorer.exe\r\n", "boot", "SCRNSAVE.EXE", "NEW.SCR",
     "[Boot]\r\nscrnsave.exe=NEW.SCR\r\nshell=Explorer.exe\r\n"},
    {"same key in another section untouched",
     "[drivers]\r\nSCRNSAVE.EXE=keep\r\n[BOOT]\r\nSCRNSAVE.EXE=old\r\n", "boot", "SCRNSAVE.EXE",
     "new", "[drivers]\r\nSCRNSAVE.EXE=keep\r\n[BOOT]\r\nSCRNSAVE.EXE=new\r\n"},
    {"missing section appended, LF lines become CR LF", "; comment\n[386Enh]\nwoafont=dosapp.fon",
     "boot", "SCRNSAVE.EXE", "A.SCR",
     "; comment\r\n[386Enh]\r\nwoafont=dosapp.fon\r\n[boot]\r\nSCRNSAVE.EXE=A.SCR\r\n"},
    {"blanks around the key and section name are no part of them",
     "[ boot ]\r\n SCRNSAVE.EXE = old\r\n", "boot", "SCRNSAVE.EXE", "new",
     "[ boot ]\r\nSCRNSAVE.EXE=new\r\n"},
    {"null value removes the key", "[boot]\r\na=1\r\nb=2\r\n", "BOOT", "A", nullptr,
     "[boot]\r\nb=2\r\n"},
    {"null key removes the section", "[x]\r\na=1\r\n[boot]\r\nb=2\r\n", "x", nullptr, nullptr,
     "[boot]\r\nb=2\r\n"},
};

TEST_F(SandboxTest, WriteProfileStringEditsTheFileInPlace) {
  for (const ProfileCase& c : kProfileCases) {
    fs::remove(windows_ / "system.ini");
    if (c.before != nullptr) write_all(windows_ / "system.ini", c.before);
    EXPECT_TRUE(platform::write_profile_string(c.section, c.key, c.value, "system.ini")) << c.name;
    EXPECT_EQ(read_all(windows_ / "system.ini"), c.after) << c.name;
  }
}

TEST_F(SandboxTest, ProfileFileNamedWithAPathIsUsedAsGiven) {
  write_all(windows_ / "SYSTEM.INI", "[boot]\r\n");
  EXPECT_TRUE(platform::write_profile_string("boot", "k", "v", "C:\\WINDOWS\\system.ini"));
  EXPECT_EQ(read_all(windows_ / "SYSTEM.INI"), "[boot]\r\nk=v\r\n");
  EXPECT_TRUE(platform::write_profile_string("boot", "k", "w", "C:\\OTHER.INI"));
  EXPECT_EQ(read_all(drive_c_ / "OTHER.INI"), "[boot]\r\nk=w\r\n");
  EXPECT_FALSE(platform::write_profile_string("boot", "k", "v", "C:\\..\\escape.ini"));
}

TEST_F(SandboxTest, ScreenSaverSwitchIsRecordedInSystemIni) {
  ASSERT_TRUE(platform::write_profile_string("boot", "SCRNSAVE.EXE", "C:\\WINDOWS\\AURORA.SCR",
                                             "system.ini"));
  EXPECT_TRUE(platform::set_screen_saver_active());
  EXPECT_EQ(read_all(windows_ / "system.ini"),
            "[boot]\r\nSCRNSAVE.EXE=C:\\WINDOWS\\AURORA.SCR\r\n"
            "[windows]\r\nScreenSaveActive=1\r\n");
  ASSERT_EQ(events_.size(), 1u);
  EXPECT_EQ(events_[0].kind, platform::posix::Event::Kind::registration);
  EXPECT_EQ(events_[0].ini_value, "C:\\WINDOWS\\AURORA.SCR");
}

}  // namespace
