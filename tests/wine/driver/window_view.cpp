#include "window_view.hpp"

#include <cstring>

#include "json_line.hpp"

namespace wine_driver {

namespace {

struct Search {
  const std::set<DWORD>* process_ids;
  std::vector<HWND> found;
};

BOOL CALLBACK collect_top_level(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  if (search->process_ids->count(process_id) != 0 && IsWindowVisible(window)) {
    search->found.push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK collect_child(HWND window, LPARAM context) {
  reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  return TRUE;
}

// For another process's window this reads the text the system keeps for it; no message is
// sent, so a busy window can't block the driver.
std::string text_of(HWND window) {
  char buffer[4096];
  const int length = GetWindowTextA(window, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0u);
}

std::string class_of(HWND window) {
  char buffer[256];
  const int length = GetClassNameA(window, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0u);
}

RECT rect_of(HWND window) {
  RECT rect{0, 0, 0, 0};
  GetWindowRect(window, &rect);
  return rect;
}

bool has_style(HWND window, LONG style) {
  return (GetWindowLongA(window, GWL_STYLE) & style) == style;
}

std::string rect_json(const RECT& rect) {
  const std::string sides[] = {std::to_string(rect.left), std::to_string(rect.top),
                               std::to_string(rect.right), std::to_string(rect.bottom)};
  return json_array(sides, 4);
}

std::string control_json(const Control& control) {
  return JsonObject()
      .add("id", control.id)
      .add("class", control.class_name)
      .add("text", control.text)
      .add_raw("rect", rect_json(control.rect))
      .add_bool("visible", control.visible)
      .add_bool("enabled", control.enabled)
      .str();
}

}  // namespace

long long handle_number(HWND window) {
  return static_cast<long long>(reinterpret_cast<INT_PTR>(window));
}

std::vector<HWND> visible_windows_of(const std::set<DWORD>& process_ids) {
  Search search{&process_ids, {}};
  EnumWindows(collect_top_level, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TopWindow describe(HWND window) {
  TopWindow top{window, 0, class_of(window), text_of(window), rect_of(window), {}};
  GetWindowThreadProcessId(window, &top.process_id);
  std::vector<HWND> children;
  EnumChildWindows(window, collect_child, reinterpret_cast<LPARAM>(&children));
  for (HWND child : children) {
    top.controls.push_back(Control{child, GetDlgCtrlID(child), class_of(child), text_of(child),
                                   rect_of(child), has_style(child, WS_VISIBLE),
                                   !has_style(child, WS_DISABLED)});
  }
  return top;
}

std::vector<const Control*> answerable_buttons(const TopWindow& window) {
  std::vector<const Control*> buttons;
  for (const Control& control : window.controls) {
    if (_stricmp(control.class_name.c_str(), "Button") != 0) continue;
    const LONG kind = GetWindowLongA(control.handle, GWL_STYLE) & BS_TYPEMASK;
    if (kind != BS_PUSHBUTTON && kind != BS_DEFPUSHBUTTON) continue;
    if (control.visible && control.enabled) buttons.push_back(&control);
  }
  return buttons;
}

std::string window_json(const TopWindow& window, long long elapsed_ms) {
  std::vector<std::string> controls;
  for (const Control& control : window.controls) controls.push_back(control_json(control));
  return JsonObject()
      .add("event", "window")
      .add("ms", elapsed_ms)
      .add("hwnd", handle_number(window.handle))
      .add("pid", static_cast<long long>(window.process_id))
      .add("class", window.class_name)
      .add("text", window.text)
      .add_raw("rect", rect_json(window.rect))
      .add_raw("controls", json_array(controls.data(), controls.size()))
      .str();
}

}  // namespace wine_driver
