// Aurora, the demo screen saver: rippling curtains of light over a starry sky, drawn with
// GDI. Started without arguments or with /c it shows a short settings message; with /s it
// runs full screen until the mouse moves or a key is pressed; with /p HWND it draws inside
// the display settings' preview window. Its settings come from its .DAT file.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "demo/saver_args.hpp"
#include "demo/scene.hpp"
#include "demo/settings.hpp"

namespace aurora {

namespace {

constexpr char kClassName[] = "AuroraSaverWindow";
constexpr char kTitle[] = "Aurora Screen Saver";
constexpr char kSettingsText[] =
    "Aurora Screen Saver\r\n\r\n"
    "Noorderlicht boven een sterrenhemel. De snelheid, het aantal lichtgordijnen, de sterren "
    "en de kleur staan in het bestand AURORA.DAT.";
constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kFrameMilliseconds = 40;
constexpr int kMouseSlack = 4;  // pixels the mouse may drift before the saver ends

struct SaverState {
  AuroraSettings settings;
  unsigned tick = 0;
  bool full_screen = false;
  bool mouse_known = false;
  POINT first_mouse{0, 0};
};

SaverState g_state;

// Reads the first `key=value` file found; false when there is none.
bool read_settings_file(const char* path, AuroraSettings& settings) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char text[4096];
  DWORD length = 0;
  const BOOL read = ReadFile(file, text, sizeof text, &length, nullptr);
  CloseHandle(file);
  if (!read) return false;
  settings = parse_settings(text, length);
  return true;
}

// The .DAT next to the program (the build folder), then in the data folder that the
// installer made: Windows directory\TOLVERAN\LUMIVANE\NAME\NAME.DAT.
AuroraSettings load_settings() {
  AuroraSettings settings;
  char module[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
  if (length == 0 || length >= sizeof module) return settings;
  char* name = std::strrchr(module, '\\');
  name = name != nullptr ? name + 1 : module;
  char* dot = std::strrchr(name, '.');
  if (dot != nullptr) *dot = '\0';
  char path[2 * MAX_PATH];
  std::snprintf(path, sizeof path, "%.*s%s.DAT", static_cast<int>(name - module), module, name);
  if (read_settings_file(path, settings)) return settings;
  char windows[MAX_PATH];
  const UINT windows_length = GetWindowsDirectoryA(windows, sizeof windows);
  if (windows_length == 0 || windows_length >= sizeof windows) return settings;
  const char* separator = windows[windows_length - 1] == '\\' ? "" : "\\";
  const int written = std::snprintf(path, sizeof path, "%s%sTOLVERAN\\LUMIVANE\\%s\\%s.DAT",
                                    windows, separator, name, name);
  if (written > 0 && static_cast<std::size_t>(written) < sizeof path) {
    read_settings_file(path, settings);
  }
  return settings;
}

void fill(HDC dc, const RECT& rect, Rgb colour) {
  SetDCBrushColor(dc, RGB(colour.red, colour.green, colour.blue));
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void fill_strip(const Strip& strip, void* context) {
  const RECT rect{strip.left, strip.top, strip.right, strip.bottom};
  fill(static_cast<HDC>(context), rect, strip.colour);
}

void draw_sky(HDC dc, int width, int height) {
  fill(dc, RECT{0, 0, width, height}, kSky);
  for (int star = 0; star < g_state.settings.stars; ++star) {
    int x = 0;
    int y = 0;
    star_position(star, width, height, x, y);
    const int twinkle = 150 + static_cast<int>((g_state.tick + star * 7) % 40) * 2;
    SetPixel(dc, x, y, RGB(twinkle, twinkle, twinkle));
  }
}

// Draws the frame off screen, then copies it in one go: no flicker.
void paint(HWND window) {
  PAINTSTRUCT ps;
  HDC target = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  const int width = client.right;
  const int height = client.bottom;
  HDC frame = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
  HGDIOBJ previous = SelectObject(frame, bitmap);
  draw_sky(frame, width, height);
  draw_curtains(g_state.settings, width, height, g_state.tick, fill_strip, frame);
  BitBlt(target, 0, 0, width, height, frame, 0, 0, SRCCOPY);
  SelectObject(frame, previous);
  DeleteObject(bitmap);
  DeleteDC(frame);
  EndPaint(window, &ps);
}

bool mouse_moved_away(LPARAM position) {
  const POINT now{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  if (!g_state.mouse_known) {
    g_state.mouse_known = true;
    g_state.first_mouse = now;
    return false;
  }
  return std::abs(now.x - g_state.first_mouse.x) > kMouseSlack ||
         std::abs(now.y - g_state.first_mouse.y) > kMouseSlack;
}

// Input ends the full-screen saver; the preview ignores it.
bool ends_saver(UINT message, WPARAM wparam, LPARAM lparam) {
  if (!g_state.full_screen) return false;
  switch (message) {
    case WM_MOUSEMOVE:
      return mouse_moved_away(lparam);
    case WM_ACTIVATEAPP:
      return wparam == FALSE;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK saver_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (ends_saver(message, wparam, lparam)) {
    DestroyWindow(window);
    return 0;
  }
  switch (message) {
    case WM_CREATE:
      SetTimer(window, kFrameTimer, kFrameMilliseconds, nullptr);
      return 0;
    case WM_TIMER:
      ++g_state.tick;
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the frame covers everything
    case WM_PAINT:
      paint(window);
      return 0;
    case WM_SETCURSOR:
      if (!g_state.full_screen) break;
      SetCursor(nullptr);
      return TRUE;
    case WM_DESTROY:
      KillTimer(window, kFrameTimer);
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

bool register_class(HINSTANCE instance) {
  WNDCLASSA saver_class{};
  saver_class.lpfnWndProc = saver_proc;
  saver_class.hInstance = instance;
  saver_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  saver_class.lpszClassName = kClassName;
  return RegisterClassA(&saver_class) != 0;
}

HWND create_full_screen(HINSTANCE instance) {
  return CreateWindowExA(WS_EX_TOPMOST, kClassName, kTitle, WS_POPUP | WS_VISIBLE, 0, 0,
                         GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                         nullptr, instance, nullptr);
}

HWND create_preview(HINSTANCE instance, HWND parent) {
  if (!IsWindow(parent)) return nullptr;
  RECT area;
  GetClientRect(parent, &area);
  return CreateWindowExA(0, kClassName, kTitle, WS_CHILD | WS_VISIBLE, 0, 0, area.right,
                         area.bottom, parent, nullptr, instance, nullptr);
}

int run_window(HINSTANCE instance, const SaverRequest& request) {
  g_state.settings = load_settings();
  g_state.full_screen = request.mode == SaverMode::full_screen;
  if (!register_class(instance)) return 1;
  HWND window = g_state.full_screen
                    ? create_full_screen(instance)
                    : create_preview(instance, reinterpret_cast<HWND>(request.window));
  if (window == nullptr) return 1;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}

}  // namespace

}  // namespace aurora

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace aurora;
  const SaverRequest request = parse_saver_arguments(skip_program_name(GetCommandLineA()));
  switch (request.mode) {
    case SaverMode::full_screen:
    case SaverMode::preview:
      return run_window(instance, request);
    case SaverMode::password:
      return 0;  // no password of its own
    case SaverMode::settings:
      break;
  }
  MessageBoxA(reinterpret_cast<HWND>(request.window), kSettingsText, kTitle,
              MB_OK | MB_ICONINFORMATION);
  return 0;
}
