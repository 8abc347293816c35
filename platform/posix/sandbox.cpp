// Configuration and bookkeeping of the sandbox.
#include "platform/posix/state.hpp"

#include <algorithm>
#include <cstring>

namespace platform::posix {

namespace detail {

State& state() {
  static State instance;
  return instance;
}

Event event_of(Event::Kind kind) {
  Event event;
  event.kind = kind;
  return event;
}

void emit(const Event& event) {
  if (state().config.observe) state().config.observe(event);
}

std::size_t writable(std::size_t count) {
  const auto& limit = state().config.faults.write_limit;
  if (!limit) return count;
  if (state().written >= *limit) return 0;
  const std::uint64_t room = *limit - state().written;
  return room < count ? static_cast<std::size_t>(room) : count;
}

void note_written(std::size_t count) {
  state().written += count;
}

void watch_close(const char* windows_path, int descriptor) {
  const std::string& name = state().config.faults.failing_close;
  if (name.empty() || windows_path == nullptr) return;
  const std::string path = windows_path;
  const std::size_t name_at = path.find_last_of("\\/") + 1;  // 0 without a separator
  if (same_text_ignoring_case(path.substr(name_at), name)) {
    state().failing_closes.insert(descriptor);
  }
}

bool close_fails(int descriptor) {
  return state().failing_closes.erase(descriptor) != 0;
}

// Only A to Z fold, whatever the host's locale says.
static char ascii_lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_text_ignoring_case(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return ascii_lower(x) == ascii_lower(y);
         });
}

std::uint32_t copy_or_size_needed(const std::string& text, char* buffer, std::uint32_t size) {
  const auto length = static_cast<std::uint32_t>(text.size());
  if (buffer == nullptr || size <= length) return length + 1;
  std::memcpy(buffer, text.c_str(), length + 1);
  return length;
}

std::string mapped(const char* windows_path) {
  return windows_path == nullptr ? std::string() : host_path(windows_path);
}

std::string in_windows_directory(const std::string& name) {
  if (name.find_first_of("\\/:") != std::string::npos) return host_path(name);
  const std::string folder = windows_directory_path();
  return folder.empty() ? std::string() : host_path(folder + "\\" + name);
}

}  // namespace detail

void configure(const Config& config) {
  detail::state() = detail::State();  // every count and watch starts afresh
  detail::state().config = config;
}

const Config& config() {
  return detail::state().config;
}

int open_library_count() {
  return detail::state().open_libraries;
}

int invalid_close_count() {
  return detail::state().invalid_closes;
}

std::uint64_t bytes_written() {
  return detail::state().written;
}

}  // namespace platform::posix
