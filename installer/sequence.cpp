#include "installer/sequence.hpp"

#include <cstdio>

#include "installer/checks.hpp"
#include "installer/dialogs.hpp"
#include "installer/format.hpp"
#include "installer/paths.hpp"
#include "installer/payload_access.hpp"
#include "installer/texts.hpp"
#include "installer/verdicts.hpp"
#include "payload/extract.hpp"
#include "payload/locator.hpp"
#include "payload/names.hpp"

namespace installer {

namespace {

platform::Module g_module = nullptr;

using Caption = char[sizeof(texts::kCaptionFormat) + kDisplayNameChars];

bool run_checks(platform::Module module) {
  return check_existing_saver(module) != 0 && check_disk_space() != 0 && check_3d_libraries() != 0;
}

// The Windows directory as reported, upper-cased; empty when it can't be had.
void upper_case_windows_directory(PathBuffer& out) {
  const std::uint32_t length = platform::windows_directory(out, sizeof(out));
  if (length == 0 || length >= sizeof(out)) out[0] = '\0';
  payload::upper_case(out);
}

bool confirmed(const Caption& caption) {
  PathBuffer windows_directory;
  upper_case_windows_directory(windows_directory);
  char total[kGroupedSize];
  group_thousands(installed_size_total(), total);
  char text[sizeof(texts::kConfirmFormat) + 2 * platform::kPathSize + kDisplayNameChars +
            kGroupedSize];
  std::snprintf(text, sizeof(text), texts::kConfirmFormat, payload::g_target_name, display_name(),
                windows_directory, total);
  return platform::message_box(text, caption,
                               platform::kMbOkCancel | platform::kMbIconInformation) ==
         platform::kIdOk;
}

void run_progress_dialog(platform::Module module) {
  forget_extraction();
  platform::set_cursor(platform::Cursor::wait);
  platform::dialog_box(module, kProgressDialog, progress_dialog_proc);
  platform::set_cursor(platform::Cursor::arrow);
}

void show_completion(platform::Module module, const Caption& caption) {
  PathBuffer windows_directory;
  PathBuffer module_path;
  PathBuffer folder_suffix;
  payload::windows_directory_with_separator(windows_directory, sizeof(windows_directory));
  payload::module_path(module, module_path, sizeof(module_path));
  data_folder_suffix(module_path, folder_suffix);
  char text[sizeof(texts::kCompletionFormat) + 2 * platform::kPathSize];
  std::snprintf(text, sizeof(text), texts::kCompletionFormat, windows_directory, folder_suffix);
  platform::message_box(text, caption, platform::kMbOk | platform::kMbIconExclamation);
}

// Everything from the confirmation on, once the checks have passed.
int install(platform::Module module) {
  trim_trailing_blanks(display_name());
  Caption caption;
  std::snprintf(caption, sizeof(caption), texts::kCaptionFormat, display_name());
  payload::derive_target_name(module);

  if (report_paths_too_long(module, caption)) return kExitFailed;
  if (!confirmed(caption)) return kExitInstalledOrDeclined;

  run_progress_dialog(module);
  const int failure = report_extraction_failure(module, caption, last_extraction());
  if (failure != kExitInstalledOrDeclined) return failure;

  show_completion(module, caption);
  platform::dialog_box(module, kOrderInfoDialog, order_info_dialog_proc);
  platform::launch_program(payload::g_target_name, platform::kShowNormal);
  return kExitInstalledOrDeclined;
}

}  // namespace

platform::Module installer_module() {
  return g_module;
}

int run_install_sequence(platform::Module module) {
  g_module = module;
  payload::read_display_name();
  if (!payload_intact()) {
    report_damaged(module);
    return kExitDamaged;
  }
  if (!run_checks(module)) return kExitInstalledOrDeclined;
  return install(module);
}

}  // namespace installer
