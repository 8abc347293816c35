#include <cstdint>
#include <cstdio>

#include "installer/checks.hpp"
#include "installer/format.hpp"
#include "installer/free_space.hpp"
#include "installer/payload_access.hpp"
#include "installer/texts.hpp"

namespace installer {

namespace {

constexpr std::uint32_t kWindowsDirectorySize = 512;

int ask_disk_full(std::uint32_t needed_kb, std::uint32_t free_kb) {
  char needed[kGroupedSize];
  char available[kGroupedSize];
  group_thousands(needed_kb, needed);
  group_thousands(free_kb, available);
  char text[sizeof(texts::kDiskFullFormat) + 2 * kGroupedSize];
  std::snprintf(text, sizeof(text), texts::kDiskFullFormat, needed, available);
  const int answer = platform::message_box(text, texts::kDiskFullCaption,
                                           platform::kMbOkCancel | platform::kMbIconInformation);
  return answer == platform::kIdCancel ? 0 : 1;
}

// The question part of the check, for a known installed size in bytes.
int check_disk_space_for(std::uint32_t installed_bytes) {
  char windows_directory[kWindowsDirectorySize];
  const std::uint32_t length =
      platform::windows_directory(windows_directory, sizeof(windows_directory));
  if (length == 0 || length >= sizeof(windows_directory)) return 1;

  const std::uint32_t needed_kb = installed_bytes / 1024;
  const std::uint32_t free_kb = free_kilobytes(windows_directory);
  if (free_kb > needed_kb) return 1;
  return ask_disk_full(needed_kb, free_kb);
}

}  // namespace

int check_disk_space() {
  if (!sum_installed_size()) return 1;
  return check_disk_space_for(installed_size_total());
}

}  // namespace installer
