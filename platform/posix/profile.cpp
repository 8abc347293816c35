// Profile strings in INI files (system.ini) and the screen-saver switch recorded there.
#include "platform/platform.hpp"
#include "platform/posix/profile_text.hpp"
#include "platform/posix/state.hpp"

#include <fstream>
#include <iterator>
#include <sstream>

namespace platform {

namespace {

using posix::detail::ProfileLines;

ProfileLines read_profile(const std::string& host) {
  std::ifstream in(host, std::ios::binary);
  const std::string contents{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return posix::detail::split_profile_lines(contents);
}

bool write_profile(const std::string& host, const ProfileLines& lines) {
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out << posix::detail::join_profile_lines(lines);
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

bool write_profile_string(const char* section, const char* key, const char* value,
                          const char* file) {
  if (section == nullptr || file == nullptr) return false;
  const std::string host = posix::detail::in_windows_directory(file);
  if (host.empty()) return false;
  ProfileLines lines = read_profile(host);
  posix::detail::set_profile_value(lines, section, key, value);
  return write_profile(host, lines);
}

// The setting is kept as ScreenSaveActive=1 under [windows]; the event carries the screen
// saver registered under [boot] so the log shows what was switched on.
bool set_screen_saver_active() {
  if (!write_profile_string("windows", "ScreenSaveActive", "1", "system.ini")) return false;
  posix::Event event = posix::detail::event_of(posix::Event::Kind::registration);
  const auto registered = posix::detail::profile_value(
      read_profile(posix::detail::in_windows_directory("system.ini")), "boot", "SCRNSAVE.EXE");
  event.ini_value = registered.value_or("");
  posix::detail::emit(event);
  return true;
}

}  // namespace platform
