// Program launch and the shell: recorded as events, the launch optionally run for real.
#include "platform/platform.hpp"
#include "platform/posix/state.hpp"

#include <sys/wait.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::uint32_t kLaunched = 33;
constexpr std::uint32_t kFileNotFound = 2;  // ERROR_FILE_NOT_FOUND, as WinExec reports it
constexpr std::intptr_t kShellOpened = 42;
constexpr std::intptr_t kShellFailed = 2;

// The program part of a command line: quoted, or up to the first blank.
std::string program_of(const std::string& command_line) {
  if (!command_line.empty() && command_line[0] == '"') {
    return command_line.substr(1, command_line.find('"', 1) - 1);
  }
  return command_line.substr(0, command_line.find(' '));
}

// Starts `runner program` detached: the intermediate child exits at once, so the started
// program is never waited for and leaves no zombie behind.
bool start_detached(const std::string& runner, const std::string& program) {
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    if (::fork() == 0) {
      ::execlp(runner.c_str(), runner.c_str(), program.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::uint32_t run_with_configured_runner(const std::string& command_line) {
  const std::string& runner = posix::detail::state().config.machine.launch_with;
  if (runner.empty()) return kLaunched;
  const std::string host = posix::detail::in_windows_directory(program_of(command_line));
  if (host.empty() || ::access(host.c_str(), F_OK) != 0) return kFileNotFound;
  return start_detached(runner, host) ? kLaunched : kFileNotFound;
}

}  // namespace

std::uint32_t launch_program(const char* command_line, int show) {
  const std::string line = command_line == nullptr ? std::string() : command_line;
  const std::uint32_t result = run_with_configured_runner(line);
  posix::Event event = posix::detail::event_of(posix::Event::Kind::launch);
  event.address = line;
  event.show_command = show;
  event.start_result = result;
  posix::detail::emit(event);
  return result;
}

std::intptr_t shell_open(const char* address) {
  const std::intptr_t result =
      posix::detail::state().config.machine.shell_open_fails ? kShellFailed : kShellOpened;
  posix::Event event = posix::detail::event_of(posix::Event::Kind::shell_open);
  event.address = address == nullptr ? "" : address;
  event.show_command = kShowMaximized;
  event.start_result = result;
  posix::detail::emit(event);
  return result;
}

}  // namespace platform
