// The stub's image layout: what a package relies on when it cuts the stub at the LASTRES
// data and appends its payload.
#include "tests/stub/stub_image.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace stubtest {
namespace {

constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kRelocsStripped = 0x0001;
constexpr std::uint16_t kSubsystemGui = 2;
// 25,088 bytes: 24 KiB and one 512-byte file block for the application manifest.
constexpr std::size_t kShippedSizeLimit = 49 * 512;

const StubImage* stub_or_skip(const char* label) {
  return std::string(label) == "i686" ? i686_stub() : x86_64_stub();
}

#define LOAD_STUB_OR_SKIP(label)                                        \
  const StubImage* stub = stub_or_skip(label);                          \
  if (stub == nullptr) GTEST_SKIP() << "no " << label << " stub built"; \
  ASSERT_FALSE(stub->view.sections.empty()) << stub->path

TEST(ShippedStub, HasExactlyTheFiveSectionsInOrder) {
  LOAD_STUB_OR_SKIP("i686");
  std::vector<std::string> names;
  for (const Section& s : stub->view.sections) names.push_back(s.name);
  EXPECT_EQ(names, (std::vector<std::string>{".text", ".rdata", ".data", ".idata", ".rsrc"}));
}

TEST(ShippedStub, IsA32BitWindowsProgram) {
  LOAD_STUB_OR_SKIP("i686");
  EXPECT_EQ(stub->view.machine, kMachineI386);
  EXPECT_FALSE(stub->view.pe32plus);
  EXPECT_EQ(stub->view.subsystem, kSubsystemGui);
}

TEST(ShippedStub, FitsTheSizeGoal) {
  LOAD_STUB_OR_SKIP("i686");
  EXPECT_LE(stub->bytes.size(), kShippedSizeLimit);
}

// Linking the same objects again must give the same bytes: nothing in the image depends
// on the time or the place of the build.
TEST(ShippedStub, LinkingAgainGivesTheSameBytes) {
  LOAD_STUB_OR_SKIP("i686");
  const std::string twin_path = SCRPKG_STUB_TWIN_PATH;
  ASSERT_FALSE(twin_path.empty());
  const Bytes twin = read_file(twin_path);
  ASSERT_FALSE(twin.empty()) << twin_path;
  EXPECT_TRUE(twin == stub->bytes) << "the two links differ";
}

class EveryStub : public ::testing::TestWithParam<const char*> {};

TEST_P(EveryStub, ResourceSectionIsTheLastSection) {
  LOAD_STUB_OR_SKIP(GetParam());
  const Section& last = stub->view.sections.back();
  EXPECT_EQ(last.name, ".rsrc");
  for (const Section& s : stub->view.sections) {
    EXPECT_LE(s.rva, last.rva) << s.name;
    if (s.raw_size != 0) {
      EXPECT_LE(s.raw_offset, last.raw_offset) << s.name;
    }
  }
  EXPECT_EQ(last.raw_offset + last.raw_size, stub->bytes.size()) << "bytes after .rsrc";
}

TEST_P(EveryStub, CarriesNoRelocationsAndIsMarkedSo) {
  LOAD_STUB_OR_SKIP(GetParam());
  EXPECT_NE(stub->view.characteristics & kRelocsStripped, 0);
  EXPECT_EQ(find_section(stub->view, ".reloc"), nullptr);
}

TEST_P(EveryStub, HasNoLinkTimestamp) {
  LOAD_STUB_OR_SKIP(GetParam());
  EXPECT_EQ(stub->view.timestamp, 0u);
}

// Data directories that must stay empty: each would point into bytes a package cuts off
// or would make the loader look for data the stub does not have.
struct EmptyDirectory {
  std::size_t index;
  const char* name;
};

TEST_P(EveryStub, HasNoRelocationDebugCertificateOrTlsData) {
  LOAD_STUB_OR_SKIP(GetParam());
  const EmptyDirectory cases[] = {
      {4, "certificate"}, {5, "base relocations"}, {6, "debug"}, {9, "TLS"}};
  for (const EmptyDirectory& c : cases) {
    ASSERT_LT(c.index, stub->view.directories.size()) << c.name;
    EXPECT_EQ(stub->view.directories[c.index].rva, 0u) << c.name;
    EXPECT_EQ(stub->view.directories[c.index].size, 0u) << c.name;
  }
}

// Each DLL the stub may import from, as the linker writes its name, with the functions it
// may take: all of them in the first release of Windows 95, which has no C runtime DLL; no
// wide-character function.
const std::map<std::string, std::string> kWindows95Exports = {
    {"KERNEL32.dll",
     " CreateDirectoryA ExitProcess FreeLibrary GetDiskFreeSpaceA GetFileAttributesA "
     "GetModuleFileNameA GetModuleHandleA GetProcAddress GetShortPathNameA GetWindowsDirectoryA "
     "LoadLibraryA LocalAlloc LocalFree WinExec WritePrivateProfileStringA _lclose _lcreat "
     "_llseek _lopen _lread _lwrite "},
    {"USER32.dll",
     " CreateWindowExA DefWindowProcA DialogBoxParamA DispatchMessageA EndDialog GetDlgItem "
     "GetMessageA GetSystemMetrics GetWindowLongA GetWindowRect LoadCursorA LoadIconA "
     "MessageBoxA PostMessageA PostQuitMessage RegisterClassA SetCursor SetDlgItemTextA "
     "SetWindowPos SetWindowTextA SystemParametersInfoA TranslateMessage UpdateWindow "},
    {"GDI32.dll", " GetStockObject "},
    {"SHELL32.dll", " ShellExecuteA "}};

TEST_P(EveryStub, ImportsOnlyWhatTheFirstWindows95Exports) {
  LOAD_STUB_OR_SKIP(GetParam());
  const std::vector<Import> found = imports(stub->bytes, stub->view);
  EXPECT_FALSE(found.empty());
  for (const Import& dll : found) {
    const auto allowed = kWindows95Exports.find(dll.dll);
    ASSERT_NE(allowed, kWindows95Exports.end()) << dll.dll;
    for (const std::string& function : dll.functions) {
      // The 64-bit twin's name for GetWindowLongA.
      if (stub->view.pe32plus && function == "GetWindowLongPtrA") continue;
      EXPECT_NE(allowed->second.find(" " + function + " "), std::string::npos)
          << dll.dll << " " << function;
    }
  }
}

TEST_P(EveryStub, LastresIsTheOnlyNamedTypeAndFirstInTreeOrder) {
  LOAD_STUB_OR_SKIP(GetParam());
  std::vector<Resource> resources = resources_in_tree_order(stub->bytes, stub->view);
  ASSERT_FALSE(resources.empty());
  EXPECT_EQ(named_type_count(stub->bytes, stub->view), 1u);
  EXPECT_EQ(resources.front().type_name, "LASTRES");
  EXPECT_EQ(resources.front().id, 1000u);
  EXPECT_EQ(resources.front().language, 1033u);
  EXPECT_EQ(resources.front().size, 4u);
}

TEST_P(EveryStub, LastresDataEndsTheResourceSectionsUsedSize) {
  LOAD_STUB_OR_SKIP(GetParam());
  const Section* rsrc = find_section(stub->view, ".rsrc");
  ASSERT_NE(rsrc, nullptr);
  std::vector<Resource> resources = resources_in_tree_order(stub->bytes, stub->view);
  ASSERT_FALSE(resources.empty());
  const Resource& marker = resources.front();
  EXPECT_EQ(marker.data_rva + marker.size, rsrc->rva + rsrc->virtual_size);
  EXPECT_LE(marker.data_rva + marker.size, rsrc->rva + rsrc->raw_size);
  for (std::size_t i = 1; i < resources.size(); ++i)
    EXPECT_LE(resources[i].data_rva + resources[i].size, marker.data_rva)
        << "resource " << resources[i].type_id << "/" << resources[i].id << " after LASTRES";
  ASSERT_GT(stub->view.directories.size(), 2u);
  EXPECT_EQ(stub->view.directories[2].rva + stub->view.directories[2].size,
            rsrc->rva + rsrc->virtual_size);
}

// The walk a package's locator makes: first entry at every level, from the raw data of
// the section named .rsrc; it must land on the 4 placeholder bytes at the end.
TEST_P(EveryStub, FirstEntryWalkLandsOnTheLastFourUsedBytes) {
  LOAD_STUB_OR_SKIP(GetParam());
  const Section* rsrc = find_section(stub->view, ".rsrc");
  ASSERT_NE(rsrc, nullptr);
  const Bytes& b = stub->bytes;
  auto u32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 |
                                      static_cast<std::uint32_t>(b.at(at + 3)) << 24);
  };
  std::size_t base = rsrc->raw_offset, entry_base = base + 16;
  std::size_t at = entry_base + (u32(entry_base + 4) & 0x7FFFFFFF);
  at = entry_base + (u32(at + 4) & 0x7FFFFFFF);
  std::size_t data_entry = base + u32(at + 4);
  std::size_t data = u32(data_entry) + rsrc->raw_offset - rsrc->rva;
  EXPECT_EQ(data + 4, rsrc->raw_offset + rsrc->virtual_size);
}

INSTANTIATE_TEST_SUITE_P(Stubs, EveryStub, ::testing::Values("i686", "x86_64"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param);
                         });

}  // namespace
}  // namespace stubtest
