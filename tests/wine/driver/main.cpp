// The automation driver: starts a program under Windows (or Wine), logs every top-level
// window of it and of the processes it starts as JSON Lines, answers each window that has
// push buttons from a script, and exits with the program's exit code.
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "json_line.hpp"
#include "options.hpp"
#include "processes.hpp"
#include "window_view.hpp"

namespace wine_driver {

namespace {

// How long the processes started by the program may run on after it has ended.
constexpr ULONGLONG kLingerMs = 30000;

enum DriverExit : int {
  kUsage = 90,
  kStartFailed = 91,
  kTimedOut = 92,
  kNoAnswerLeft = 93,
  kNoSuchButton = 94,
  kAnswersLeftOver = 95,
};

// Every event goes to standard output and, when asked, to a file, flushed at once so that a
// killed run still leaves what it saw.
class Log {
 public:
  explicit Log(const std::string& path)
      : file_(path.empty() ? nullptr : std::fopen(path.c_str(), "wb")) {}
  ~Log() {
    if (file_ != nullptr) std::fclose(file_);
  }
  Log(const Log&) = delete;
  Log& operator=(const Log&) = delete;
  bool usable(const std::string& path) const { return path.empty() || file_ != nullptr; }
  void write(const std::string& line) {
    std::fprintf(stdout, "%s\n", line.c_str());
    std::fflush(stdout);
    if (file_ == nullptr) return;
    std::fprintf(file_, "%s\n", line.c_str());
    std::fflush(file_);
  }

 private:
  std::FILE* file_;
};

class Session {
 public:
  Session(const Options& options, Log& log)
      : options_(options), log_(log), processes_([&log](const std::string& e) { log.write(e); }) {}

  int run() {
    wait_for_desktop(options_.timeout_ms);
    if (!processes_.start(command_line(options_.command))) return kStartFailed;
    const ULONGLONG deadline = GetTickCount64() + options_.timeout_ms;
    ULONGLONG linger_deadline = 0;
    for (;;) {
      processes_.refresh();
      const int failure = look_at_windows();
      if (failure != 0) return fail(failure);
      if (processes_.all_ended()) {
        processes_.refresh();  // a process started just before its parent ended
        if (processes_.all_ended()) break;
      }
      const ULONGLONG now = GetTickCount64();
      if (now >= deadline) return fail(error(kTimedOut, "timed out"));
      if (processes_.main_ended() && linger_deadline == 0) linger_deadline = now + kLingerMs;
      if (linger_deadline != 0 && now >= linger_deadline) {
        left_running();
        break;
      }
      Sleep(options_.poll_ms);
    }
    if (next_answer_ < options_.answers.size()) {
      return error(kAnswersLeftOver,
                   "answers left over: " + std::to_string(options_.answers.size() - next_answer_));
    }
    const int code = static_cast<int>(processes_.main_exit_code());
    log_.write(JsonObject().add("event", "done").add("code", code).str());
    return code;
  }

 private:
  long long elapsed_ms() const { return static_cast<long long>(GetTickCount64() - started_); }

  int error(int code, const std::string& message) {
    log_.write(JsonObject().add("event", "error").add("code", code).add("message", message).str());
    return code;
  }

  // Processes the program started and left without windows to answer: noted, not waited for.
  void left_running() {
    log_.write(
        JsonObject().add("event", "left running").add("pids", processes_.running_ids()).str());
  }

  int fail(int code) {
    processes_.terminate_running();
    return code;
  }

  // Logs the windows that appeared and answers them; logs those that went away.
  int look_at_windows() {
    std::set<HWND> still_open;
    for (HWND window : visible_windows_of(processes_.ids())) {
      still_open.insert(window);
      if (!seen_.insert(window).second) continue;
      const TopWindow described = describe(window);
      log_.write(window_json(described, elapsed_ms()));
      const int failure = answer(described);
      if (failure != 0) return failure;
    }
    for (auto it = seen_.begin(); it != seen_.end();) {
      if (still_open.count(*it) != 0) {
        ++it;
        continue;
      }
      log_.write(JsonObject()
                     .add("event", "closed")
                     .add("ms", elapsed_ms())
                     .add("hwnd", handle_number(*it))
                     .str());
      it = seen_.erase(it);
    }
    return 0;
  }

  // A window without push buttons (the progress panel) closes by itself: nothing to do.
  int answer(const TopWindow& window) {
    const std::vector<const Control*> buttons = answerable_buttons(window);
    if (buttons.empty()) return 0;
    if (next_answer_ >= options_.answers.size()) {
      return error(kNoAnswerLeft, "unexpected window: " + window.text);
    }
    const int id = options_.answers[next_answer_++];
    for (const Control* button : buttons) {
      if (button->id != id) continue;
      if (options_.pause_ms > 0) Sleep(options_.pause_ms);
      PostMessageA(window.handle, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(button->handle));
      log_.write(JsonObject()
                     .add("event", "answer")
                     .add("ms", elapsed_ms())
                     .add("hwnd", handle_number(window.handle))
                     .add("id", id)
                     .str());
      return 0;
    }
    return error(kNoSuchButton, "no button " + std::to_string(id) + " in: " + window.text);
  }

  const Options& options_;
  Log& log_;
  ProcessWatch processes_;
  std::set<HWND> seen_;
  std::size_t next_answer_ = 0;
  ULONGLONG started_ = GetTickCount64();
};

}  // namespace

}  // namespace wine_driver

int main(int argc, char** argv) {
  using namespace wine_driver;
  Options options;
  std::string problem;
  if (!parse_options(std::vector<std::string>(argv + 1, argv + argc), options, problem)) {
    std::fprintf(stderr, "driver: %s\n%s", problem.c_str(), usage());
    return kUsage;
  }
  Log log(options.log_path);
  if (!log.usable(options.log_path)) {
    std::fprintf(stderr, "driver: cannot write %s\n", options.log_path.c_str());
    return kUsage;
  }
  Session session(options, log);
  return session.run();
}
