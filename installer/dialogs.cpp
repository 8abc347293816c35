#include "installer/dialogs.hpp"

#include <cstdio>

#include "installer/centre.hpp"
#include "installer/payload_access.hpp"
#include "installer/texts.hpp"

namespace installer {

namespace {

// The dialog's result cannot carry the extraction's outcome, so it is kept here.
payload::ExtractResult g_extraction;
bool g_extracted = false;

bool is_close_command(std::uintptr_t wparam) {
  return wparam == platform::kIdOk || wparam == platform::kIdCancel;
}

void show_progress_texts(platform::Window dialog) {
  char text[sizeof(texts::kCaptionFormat) + kDisplayNameChars];
  std::snprintf(text, sizeof(text), texts::kCaptionFormat, display_name());
  platform::set_window_text(dialog, text);
  std::snprintf(text, sizeof(text), texts::kProgressLineFormat, display_name());
  platform::set_item_text(dialog, kProgressLineControl, text);
}

}  // namespace

std::intptr_t progress_dialog_proc(platform::Window dialog, unsigned message, std::uintptr_t wparam,
                                   std::intptr_t /*lparam*/) {
  if (message == platform::kWmInitDialog) {
    show_progress_texts(dialog);
    centre_window(dialog);
    // The command arrives once the dialog's loop runs: the extraction needs no user action.
    platform::post_message(
        dialog, platform::kWmCommand, platform::kIdOk,
        reinterpret_cast<std::intptr_t>(platform::dialog_item(dialog, platform::kIdOk)));
    return 1;
  }
  if (message == platform::kWmCommand && is_close_command(wparam)) {
    // The posted command comes before the panel's first paint, and the extraction keeps
    // the loop from painting it: draw it now, or it stays blank until the dialog ends.
    platform::update_window(dialog);
    g_extraction = payload::extract_and_register(platform::window_instance(dialog));
    g_extracted = true;
    platform::end_dialog(dialog, static_cast<std::intptr_t>(wparam));
    return 1;
  }
  return 0;
}

std::intptr_t order_info_dialog_proc(platform::Window dialog, unsigned message,
                                     std::uintptr_t wparam, std::intptr_t /*lparam*/) {
  if (message == platform::kWmInitDialog) {
    centre_window(dialog);
    return 1;
  }
  if (message == platform::kWmCommand && is_close_command(wparam)) {
    platform::end_dialog(dialog, static_cast<std::intptr_t>(wparam));
    return 1;
  }
  return 0;
}

const payload::ExtractResult* last_extraction() {
  return g_extracted ? &g_extraction : nullptr;
}

void forget_extraction() {
  g_extracted = false;
}

}  // namespace installer
