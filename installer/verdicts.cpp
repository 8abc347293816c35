#include "installer/verdicts.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "installer/paths.hpp"
#include "installer/sequence.hpp"
#include "installer/texts.hpp"
#include "payload/names.hpp"

namespace installer {

namespace {

// Windows directory with separator, "TOLVERAN\LUMIVANE\" and an installer base name, each
// up to a full path long.
constexpr std::uint32_t kTooLongFolderSize = 2 * platform::kPathSize + 32;

constexpr unsigned kErrorBox = platform::kMbOk | platform::kMbIconError;

// Room for any failure text filled with a path or a folder too deep.
constexpr std::size_t kFailureTextSize =
    std::max({sizeof(texts::kShortWriteFormat), sizeof(texts::kNotCreatedFormat),
              sizeof(texts::kPathTooLongFormat), sizeof(texts::kNoMemoryFormat),
              sizeof(texts::kDamagedFormat), sizeof(texts::kIncompleteFormat)}) +
    kTooLongFolderSize;

// Shows an error box whose text names one thing: a path, a folder or a file name.
void report(const char* format, const char* filling, const char* caption) {
  char text[kFailureTextSize];
  std::snprintf(text, sizeof(text), format, filling);
  platform::message_box(text, caption, kErrorBox);
}

// The installer's file name, for the texts that name the package; empty when the module
// path can't be had.
void report_naming_installer(platform::Module module, const char* format, const char* caption) {
  PathBuffer module_path;
  payload::module_path(module, module_path, sizeof(module_path));
  report(format, payload::file_name_of(module_path), caption);
}

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
  report_naming_installer(module, texts::kDamagedFormat, texts::kDamagedCaption);
}

bool report_paths_too_long(platform::Module module, const char* caption) {
  char folder[kTooLongFolderSize];
  folder[0] = '\0';
  const payload::PathCheck check = payload::check_target_paths(module, folder, sizeof(folder));
  if (check != payload::PathCheck::saver_too_long && check != payload::PathCheck::data_too_long) {
    return false;
  }
  drop_trailing_separator(folder);
  report(texts::kPathTooLongFormat, folder, caption);
  return true;
}

int report_extraction_failure(platform::Module module, const char* caption,
                              const payload::ExtractResult* extraction) {
  if (extraction == nullptr) return kExitFailed;  // the progress dialog never ran
  const char* path = extraction->failed_path;
  switch (extraction->status) {
    case payload::ExtractStatus::done:
    case payload::ExtractStatus::no_windows_directory:
      return kExitInstalledOrDeclined;
    case payload::ExtractStatus::write_failed:
      report(texts::kShortWriteFormat, path, caption);
      break;
    case payload::ExtractStatus::create_failed:
      report(texts::kNotCreatedFormat, path, caption);
      break;
    case payload::ExtractStatus::path_too_long:
      report(texts::kPathTooLongFormat, path, caption);
      break;
    // The package was sound when checked: out of reach now, or out of memory, is no damage.
    case payload::ExtractStatus::payload_missing:
      report_naming_installer(module, texts::kIncompleteFormat, texts::kIncompleteCaption);
      break;
    case payload::ExtractStatus::no_memory:
      report(texts::kNoMemoryFormat, payload::g_target_name, texts::kNoMemoryCaption);
      break;
  }
  return kExitFailed;
}

}  // namespace installer
