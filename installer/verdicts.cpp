#include "installer/verdicts.hpp"

#include <cstdio>
#include <cstring>

#include "installer/format.hpp"
#include "installer/paths.hpp"
#include "installer/sequence.hpp"
#include "installer/texts.hpp"

namespace installer {

namespace {

// Windows directory with separator, "TOLVERAN\LUMIVANE\" and an installer base name, each
// up to a full path long.
constexpr std::uint32_t kTooLongFolderSize = 2 * platform::kPathSize + 32;

constexpr unsigned kErrorBox = platform::kMbOk | platform::kMbIconError;

// Folders are named without a trailing separator, as the confirmation names the Windows
// directory; a drive root such as C:\ keeps its own.
void drop_trailing_separator(char* folder) {
  const std::size_t length = std::strlen(folder);
  if (length > 1 && folder[length - 1] == '\\' && folder[length - 2] != ':') {
    folder[length - 1] = '\0';
  }
}

}  // namespace

void report_damaged(platform::Module module) {
  PathBuffer module_path;
  module_path[0] = '\0';
  platform::module_file_name(module, module_path, sizeof(module_path));
  char text[sizeof(texts::kDamagedFormat) + platform::kPathSize];
  std::snprintf(text, sizeof(text), texts::kDamagedFormat, after_last_backslash(module_path));
  platform::message_box(text, texts::kDamagedCaption, kErrorBox);
}

bool report_paths_too_long(platform::Module module, const char* caption) {
  char folder[kTooLongFolderSize];
  folder[0] = '\0';
  const payload::PathCheck check = payload::check_target_paths(module, folder, sizeof(folder));
  if (check != payload::PathCheck::saver_too_long && check != payload::PathCheck::data_too_long) {
    return false;
  }
  drop_trailing_separator(folder);
  char text[sizeof(texts::kPathTooLongFormat) + kTooLongFolderSize];
  std::snprintf(text, sizeof(text), texts::kPathTooLongFormat, folder);
  platform::message_box(text, caption, kErrorBox);
  return true;
}

int report_extraction_failure(platform::Module module, const char* caption,
                              const payload::ExtractResult* extraction) {
  if (extraction == nullptr) return kExitFailed;  // the progress dialog never ran
  char text[sizeof(texts::kShortWriteFormat) + kTooLongFolderSize];
  switch (extraction->status) {
    case payload::ExtractStatus::done:
    case payload::ExtractStatus::no_windows_directory:
      return kExitInstalledOrDeclined;
    case payload::ExtractStatus::write_failed:
      std::snprintf(text, sizeof(text), texts::kShortWriteFormat, extraction->failed_path);
      platform::message_box(text, caption, kErrorBox);
      return kExitFailed;
    case payload::ExtractStatus::path_too_long:
      std::snprintf(text, sizeof(text), texts::kPathTooLongFormat, extraction->failed_path);
      platform::message_box(text, caption, kErrorBox);
      return kExitFailed;
    case payload::ExtractStatus::payload_missing:
    case payload::ExtractStatus::no_memory:
      report_damaged(module);
      return kExitDamaged;
  }
  return kExitFailed;
}

}  // namespace installer
