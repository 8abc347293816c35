// The user-interface services of the platform seam: message boxes, cursors, modal dialogs
// and window placement.
#include "platform/platform.hpp"
#include "platform/win32/win32.hpp"

namespace platform {

namespace {

HWND as_window(Window window) {
  return static_cast<HWND>(window);
}

// The portable procedure of the modal dialog that runs now. Dialogs are modal and run
// one at a time on the one thread, so one slot is enough; dialog_box restores the
// previous value for the rare nested case.
DialogProc current_dialog_proc = nullptr;

INT_PTR CALLBACK dialog_trampoline(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (current_dialog_proc == nullptr) return FALSE;
  return current_dialog_proc(dialog, message, wparam, lparam);
}

}  // namespace

int message_box(const char* text, const char* caption, unsigned type) {
  return MessageBoxA(nullptr, text, caption, type);
}

void set_cursor(Cursor cursor) {
  SetCursor(LoadCursorA(nullptr, cursor == Cursor::wait ? IDC_WAIT : IDC_ARROW));
}

std::intptr_t dialog_box(Module module, int template_id, DialogProc proc) {
  DialogProc previous = current_dialog_proc;
  current_dialog_proc = proc;
  INT_PTR result = DialogBoxParamA(static_cast<HINSTANCE>(module), MAKEINTRESOURCEA(template_id),
                                   nullptr, dialog_trampoline, 0);
  current_dialog_proc = previous;
  return result;
}

void end_dialog(Window dialog, std::intptr_t result) {
  EndDialog(as_window(dialog), result);
}

Window dialog_item(Window dialog, int control_id) {
  return GetDlgItem(as_window(dialog), control_id);
}

void set_window_text(Window window, const char* text) {
  SetWindowTextA(as_window(window), text);
}

void set_item_text(Window dialog, int control_id, const char* text) {
  SetDlgItemTextA(as_window(dialog), control_id, text);
}

bool post_message(Window window, unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
  return PostMessageA(as_window(window), message, wparam, lparam) != FALSE;
}

// GetWindowLongA on 32-bit Windows, where the headers define GetWindowLongPtrA as it.
Module window_instance(Window window) {
  return reinterpret_cast<Module>(GetWindowLongPtrA(as_window(window), GWLP_HINSTANCE));
}

void update_window(Window window) {
  UpdateWindow(as_window(window));
}

Rect window_rect(Window window) {
  RECT rect{0, 0, 0, 0};
  GetWindowRect(as_window(window), &rect);
  return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

void move_window(Window window, int left, int top) {
  // Moves only: size and z-order kept, activation untouched, no repaint requested.
  SetWindowPos(as_window(window), nullptr, left, top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

int screen_width() {
  return GetSystemMetrics(SM_CXSCREEN);
}

int screen_height() {
  return GetSystemMetrics(SM_CYSCREEN);
}

}  // namespace platform
