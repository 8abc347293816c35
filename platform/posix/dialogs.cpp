// Modal dialogs simulated closely enough for the portable dialog procedures to run as they
// would on Windows, by the rules that platform/posix/sandbox.hpp lists.
#include "platform/platform.hpp"
#include "platform/posix/dialog_resources.hpp"
#include "platform/posix/sandbox.hpp"
#include "platform/posix/state.hpp"

#include <deque>
#include <map>
#include <set>

namespace platform {

namespace {

struct DialogWindow;

// What a Window handle points at: the dialog itself or one of its controls.
struct WindowObject {
  DialogWindow* dialog;
  int control_id;  // 0 for the dialog window
};

struct Message {
  unsigned message;
  std::uintptr_t wparam;
  std::intptr_t lparam;
};

struct DialogWindow {
  WindowObject self{this, 0};
  int resource = 0;
  std::optional<posix::DialogTemplate> layout;  // as read from the running package
  Module instance = nullptr;
  std::string text;
  Rect rect{};
  std::map<int, WindowObject> controls;  // a map's elements stay put: their addresses are handles
  std::vector<std::pair<int, std::string>> items_set;
  std::deque<Message> queue;
  bool ended = false;
  std::intptr_t result = 0;
};

constexpr std::intptr_t kAbandoned = -1;
constexpr std::size_t kMessageCap = 100000;  // a procedure that keeps posting is abandoned

std::set<const WindowObject*>& live_windows() {
  static std::set<const WindowObject*> windows;
  return windows;
}

WindowObject* lookup(Window window) {
  auto* object = static_cast<WindowObject*>(window);
  return live_windows().count(object) != 0 ? object : nullptr;
}

DialogWindow* lookup_dialog(Window window) {
  WindowObject* object = lookup(window);
  return object != nullptr && object->control_id == 0 ? object->dialog : nullptr;
}

void open_window(DialogWindow& dialog, const posix::DialogTemplate& layout, Module module) {
  dialog.instance = module;
  dialog.text = layout.caption;
  dialog.rect = posix::dialog_pixel_rect(layout);
  live_windows().insert(&dialog.self);
  for (const posix::DialogControl& item : layout.controls) {
    if (item.id == -1) continue;  // a control without a number cannot be looked up
    const auto placed = dialog.controls.emplace(item.id, WindowObject{&dialog, item.id});
    live_windows().insert(&placed.first->second);
  }
}

void close_window(DialogWindow& dialog) {
  live_windows().erase(&dialog.self);
  for (const auto& entry : dialog.controls) live_windows().erase(&entry.second);
}

void record_item_text(DialogWindow& dialog, int id, const char* text) {
  const std::string value = text == nullptr ? "" : text;
  for (auto& item : dialog.items_set) {
    if (item.first == id) {
      item.second = value;
      return;
    }
  }
  dialog.items_set.emplace_back(id, value);
}

// Delivers queued messages until the dialog ends, Escape being the idle user's answer.
void run_messages(DialogWindow& dialog, DialogProc proc) {
  bool escaped = false;
  for (std::size_t delivered = 0; !dialog.ended; ++delivered) {
    if (dialog.queue.empty() && !escaped) {
      dialog.queue.push_back({kWmCommand, static_cast<std::uintptr_t>(kIdCancel), 0});
      escaped = true;
    }
    if (dialog.queue.empty() || delivered == kMessageCap) {
      dialog.result = kAbandoned;
      return;
    }
    const Message next = dialog.queue.front();
    dialog.queue.pop_front();
    proc(&dialog.self, next.message, next.wparam, next.lparam);
  }
}

void report(const DialogWindow& dialog) {
  posix::Event event = posix::detail::event_of(posix::Event::Kind::dialog);
  event.resource = dialog.resource;
  event.caption = dialog.text;
  event.items = dialog.items_set;
  event.dialog = dialog.layout;
  event.left = dialog.rect.left;
  event.top = dialog.rect.top;
  event.right = dialog.rect.right;
  event.bottom = dialog.rect.bottom;
  event.dialog_result = dialog.result;
  posix::detail::emit(event);
}

}  // namespace

// Without a readable template Windows fails the call with -1 and no window; so does this,
// reporting the dialog without its template.
std::intptr_t dialog_box(Module module, int template_id, DialogProc proc) {
  DialogWindow dialog;
  dialog.resource = template_id;
  dialog.layout =
      posix::read_dialog_template(posix::config().machine.module_host_path, template_id);
  if (!dialog.layout || proc == nullptr) {
    dialog.result = kAbandoned;
    report(dialog);
    return kAbandoned;
  }
  open_window(dialog, *dialog.layout, module);
  proc(&dialog.self, kWmInitDialog, 0, 0);
  run_messages(dialog, proc);
  report(dialog);
  close_window(dialog);
  return dialog.result;
}

void end_dialog(Window dialog, std::intptr_t result) {
  DialogWindow* target = lookup_dialog(dialog);
  if (target == nullptr || target->ended) return;
  target->ended = true;
  target->result = result;
}

Window dialog_item(Window dialog, int control_id) {
  DialogWindow* target = lookup_dialog(dialog);
  if (target == nullptr) return nullptr;
  const auto found = target->controls.find(control_id);
  return found == target->controls.end() ? nullptr : &found->second;
}

void set_window_text(Window window, const char* text) {
  WindowObject* object = lookup(window);
  if (object == nullptr) return;
  if (object->control_id != 0) {
    record_item_text(*object->dialog, object->control_id, text);
  } else {
    object->dialog->text = text == nullptr ? "" : text;
  }
}

void set_item_text(Window dialog, int control_id, const char* text) {
  set_window_text(dialog_item(dialog, control_id), text);
}

// Messages for a control are accepted and dropped: the controls here do nothing with them.
bool post_message(Window window, unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
  WindowObject* object = lookup(window);
  if (object == nullptr) return false;
  if (object->control_id == 0) object->dialog->queue.push_back({message, wparam, lparam});
  return true;
}

Module window_instance(Window window) {
  WindowObject* object = lookup(window);
  return object == nullptr ? nullptr : object->dialog->instance;
}

// The dialog as it stands is drawn at once: reported with the texts it shows.
void update_window(Window window) {
  DialogWindow* dialog = lookup_dialog(window);
  if (dialog == nullptr) return;
  posix::Event event = posix::detail::event_of(posix::Event::Kind::paint);
  event.resource = dialog->resource;
  event.caption = dialog->text;
  event.items = dialog->items_set;
  posix::detail::emit(event);
}

Rect window_rect(Window window) {
  DialogWindow* dialog = lookup_dialog(window);
  return dialog == nullptr ? Rect{} : dialog->rect;
}

void move_window(Window window, int left, int top) {
  DialogWindow* dialog = lookup_dialog(window);
  if (dialog == nullptr) return;
  const int width = dialog->rect.right - dialog->rect.left;
  const int height = dialog->rect.bottom - dialog->rect.top;
  dialog->rect = {left, top, left + width, top + height};
}

}  // namespace platform
