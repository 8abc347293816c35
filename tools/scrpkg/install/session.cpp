#include "install/session.hpp"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "cli/status.hpp"
#include "install/answers.hpp"
#include "install/display.hpp"
#include "install/log.hpp"
#include "installer/sequence.hpp"
#include "platform/posix/sandbox.hpp"

namespace scrpkg::install {
namespace {

namespace fs = std::filesystem;
using platform::posix::Event;

AnswerMode answer_mode(const InstallOptions& options, bool stdin_is_terminal) {
  if (options.answers) return AnswerMode::scripted;
  if (options.press_defaults) return AnswerMode::defaults;
  return stdin_is_terminal ? AnswerMode::interactive : AnswerMode::none;
}

bool on_path(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::string folders = path;
  for (std::size_t start = 0; start <= folders.size();) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const fs::path candidate = fs::path(folders.substr(start, end - start)) / program;
    if (::access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

std::string launcher(const InstallOptions& options, std::ostream& out) {
  if (!options.launch) return "";
  if (on_path("wine")) {
    // The started wine inherits this process's environment.
    if (!options.wine_prefix.empty())
      ::setenv("WINEPREFIX", fs::absolute(options.wine_prefix).lexically_normal().c_str(), 1);
    return "wine";
  }
  if (!options.quiet) out << "note: wine is not on PATH, so the screen saver will not be started\n";
  return "";
}

void prepare_windows_dir(const std::string& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) throw Failure{kExitUsage, "cannot create " + folder + ": " + ec.message()};
}

platform::posix::Config sandbox_config(const InstallOptions& options, std::ostream& out) {
  platform::posix::Config config;
  config.machine.windows_dir_host = fs::absolute(options.windows_dir).lexically_normal().string();
  config.machine.module_host_path = fs::absolute(options.package).lexically_normal().string();
  config.machine.missing.insert(options.missing.begin(), options.missing.end());
  config.machine.free_kb = options.free_kb;
  config.machine.launch_with = launcher(options, out);
  return config;
}

void show_launch_note(const Event& event, const InstallOptions& options, std::ostream& out) {
  if (event.kind == Event::Kind::launch && !options.launch && !options.quiet)
    out << "(not started: --launch runs it with wine)\n";
}

// Answers come from --answers, -y or the terminal; an OK-only box can't stop the
// installer, so a missing answer there ends the run at once.
BoxAnswerer make_answerer(const InstallOptions& options, std::istream& in, std::ostream& out,
                          bool stdin_is_terminal) {
  return BoxAnswerer(answer_mode(options, stdin_is_terminal),
                     options.answers ? split_answers(*options.answers) : std::vector<std::string>{},
                     in, out, !options.quiet);
}

void stop_on_unanswerable_box(BoxAnswerer& answerer, EventLog& log) {
  answerer.on_unstoppable_error([&log](const std::string& message) {
    log.write(exit_record(kExitUsage, message));
    throw Failure{kExitUsage, message};  // through the installer, to the command
  });
}

int finish_run(const BoxAnswerer& answerer, EventLog& log, int status,
               const InstallOptions& options, std::ostream& out) {
  if (answerer.error()) {
    log.write(exit_record(kExitUsage, *answerer.error()));
    print_error(*answerer.error());
    return kExitUsage;
  }
  log.write(exit_record(status, ""));
  if (auto why = log.close()) {
    print_error(options.log + ": " + *why);
    return kExitUsage;
  }
  if (!options.quiet) out << "installer exit status: " << status << '\n';
  return status;
}

}  // namespace

int run_install(const InstallOptions& options, std::istream& in, std::ostream& out,
                bool stdin_is_terminal) {
  prepare_windows_dir(options.windows_dir);
  EventLog log(options.log);
  if (!options.log.empty() && !log.is_open())
    throw Failure{kExitUsage, "cannot write " + options.log};
  BoxAnswerer answerer = make_answerer(options, in, out, stdin_is_terminal);
  stop_on_unanswerable_box(answerer, log);
  EventDisplay display(out);

  platform::posix::Config config = sandbox_config(options, out);
  config.machine.answer = [&answerer](const auto&... box) { return answerer.answer(box...); };
  config.observe = [&](const Event& event) {
    if (answerer.error()) return;  // the run is over for the user
    log.write(event_record(event));
    if (!options.quiet) display(event);
    show_launch_note(event, options, out);
  };
  platform::posix::configure(config);
  const int status = installer::run_install_sequence(nullptr);
  return finish_run(answerer, log, status, options, out);
}

}  // namespace scrpkg::install
