// What the driver sees of a top-level window and its controls, read from outside the
// window's process.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace wine_driver {

struct Control {
  HWND handle;
  long long id;
  std::string class_name;
  std::string text;
  RECT rect;  // screen coordinates
  bool visible;
  bool enabled;
};

struct TopWindow {
  HWND handle;
  DWORD process_id;
  std::string class_name;
  std::string text;
  RECT rect;  // screen coordinates
  std::vector<Control> controls;
};

// The visible top-level windows that belong to one of `process_ids`, in z-order.
std::vector<HWND> visible_windows_of(const std::set<DWORD>& process_ids);

TopWindow describe(HWND window);

// The visible, enabled push buttons of a window, which the driver may answer with.
std::vector<const Control*> answerable_buttons(const TopWindow& window);

// The window as the fields of a JSON object (class, text, rect, controls...).
std::string window_json(const TopWindow& window, long long elapsed_ms);

long long handle_number(HWND window);

}  // namespace wine_driver
