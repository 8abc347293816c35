#include "installer/checks.hpp"

#include <cstdio>

#include "installer/paths.hpp"
#include "installer/texts.hpp"
#include "payload/names.hpp"

namespace installer {

namespace {

// Replaces or keeps the existing screen saver; 1 to go on.
int ask_replace(const char* saver_name, const char* module_path) {
  char text[sizeof(texts::kReplaceFormat) + platform::kPathSize];
  std::snprintf(text, sizeof(text), texts::kReplaceFormat, saver_name);
  const int answer = platform::message_box(text, texts::kReplaceCaption,
                                           platform::kMbYesNo | platform::kMbIconQuestion);
  if (answer != platform::kIdNo) return 1;

  PathBuffer installer_name;
  renamed_installer_name(module_path, installer_name);
  char hint[sizeof(texts::kRenameFormat) + platform::kPathSize];
  std::snprintf(hint, sizeof(hint), texts::kRenameFormat, installer_name);
  platform::message_box(hint, texts::kRenameCaption,
                        platform::kMbOk | platform::kMbIconInformation);
  return 0;
}

}  // namespace

int check_existing_saver(platform::Module module) {
  PathBuffer module_path;
  PathBuffer existing;
  if (!payload::module_path(module, module_path, sizeof(module_path))) return 1;
  PathBuffer saver_name;
  // A path that does not fit is reported before the confirmation; nothing to ask here.
  if (!payload::windows_directory_with_separator(existing, sizeof(existing)) ||
      !saver_file_name(module_path, saver_name) ||
      !payload::append_text(existing, sizeof(existing), saver_name)) {
    return 1;
  }
  if (!platform::path_exists(existing)) return 1;
  return ask_replace(saver_name, module_path);
}

}  // namespace installer
