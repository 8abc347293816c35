// The installer's entry: registers the host window class, creates the hidden host window
// whose creation runs the install sequence, and runs the message loop until the window's
// destruction posts the quit message with the sequence's exit status.
#include "installer/sequence.hpp"
#include "platform/platform.hpp"
#include "platform/win32/win32.hpp"

namespace {

constexpr char kHostClassName[] = "KEWAInst";
constexpr WORD kIconId = 101;

HINSTANCE installer_module = nullptr;
int sequence_status = 0;
bool creation_handler_ran = false;
bool quit_posted = false;

LRESULT CALLBACK host_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      creation_handler_ran = true;
      sequence_status = installer::run_install_sequence(installer_module);
      return -1;  // refuse creation: the window is never shown
    case WM_DESTROY:
      PostQuitMessage(sequence_status);
      quit_posted = true;
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

bool register_host_class(HINSTANCE module) {
  WNDCLASSA host_class{};
  host_class.style = CS_HREDRAW | CS_VREDRAW;
  host_class.lpfnWndProc = host_window_proc;
  host_class.hInstance = module;
  host_class.hIcon = LoadIconA(module, MAKEINTRESOURCEA(kIconId));
  host_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  host_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  host_class.lpszClassName = kHostClassName;
  return RegisterClassA(&host_class) != 0;
}

int run_message_loop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE module, HINSTANCE previous, LPSTR, int) {
  if (previous == nullptr && !register_host_class(module)) return 0;
  installer_module = module;
  HWND host =
      CreateWindowExA(0, kHostClassName, "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, module, nullptr);
  if (host == nullptr) {
    // Without the creation handler no destruction message comes, and so no quit message.
    if (!creation_handler_ran) return 0;
    // Windows sends the destruction message to a window whose creation was refused; Wine
    // sends only WM_NCDESTROY. Post the quit message here when it did not come.
    if (!quit_posted) PostQuitMessage(sequence_status);
  }
  return run_message_loop();
}
