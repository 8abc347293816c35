#include "options.hpp"

#include <cerrno>
#include <cstdlib>

namespace wine_driver {

namespace {

// A whole decimal number in [minimum, maximum].
bool parse_number(const std::string& text, long minimum, long maximum, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtol(text.c_str(), &end, 10);
  return errno == 0 && *end == '\0' && value >= minimum && value <= maximum;
}

bool needs_quotes(const std::string& argument) {
  return argument.empty() || argument.find_first_of(" \t\n\v\"") != std::string::npos;
}

// Backslashes count double only in front of a quote, the closing one included.
std::string quote(const std::string& argument) {
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(2 * backslashes, '\\');
  return out + "\"";
}

}  // namespace

bool parse_options(const std::vector<std::string>& args, Options& options, std::string& error) {
  std::size_t i = 0;
  for (; i < args.size(); ++i) {
    const std::string& flag = args[i];
    if (flag == "--") {
      ++i;
      break;
    }
    if (flag.rfind("--", 0) != 0) break;
    if (i + 1 >= args.size()) {
      error = flag + " needs a value";
      return false;
    }
    const std::string& value = args[++i];
    long number = 0;
    if (flag == "--answer" && parse_number(value, 1, 0xFFFF, number)) {
      options.answers.push_back(static_cast<int>(number));
    } else if (flag == "--timeout" && parse_number(value, 1, 3600, number)) {
      options.timeout_ms = static_cast<unsigned>(number) * 1000u;
    } else if (flag == "--poll" && parse_number(value, 1, 1000, number)) {
      options.poll_ms = static_cast<unsigned>(number);
    } else if (flag == "--pause" && parse_number(value, 0, 60000, number)) {
      options.pause_ms = static_cast<unsigned>(number);
    } else if (flag == "--log") {
      options.log_path = value;
    } else {
      error = "bad option: " + flag + " " + value;
      return false;
    }
  }
  options.command.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  if (options.command.empty()) {
    error = "no program to start";
    return false;
  }
  return true;
}

std::string command_line(const std::vector<std::string>& command) {
  std::string line;
  for (const std::string& argument : command) {
    if (!line.empty()) line += ' ';
    line += needs_quotes(argument) ? quote(argument) : argument;
  }
  return line;
}

const char* usage() {
  return "usage: driver [--answer ID]... [--log FILE] [--timeout SECONDS] [--poll MS] "
         "[--pause MS] [--] PROGRAM [ARGUMENTS...]\n"
         "Starts PROGRAM, logs every top-level window of it and of the processes it starts as\n"
         "JSON Lines, answers each window that has buttons with the next ID (a WM_COMMAND as\n"
         "from that button), waits up to 30 s for the processes PROGRAM started to end, and\n"
         "exits with PROGRAM's exit code.\n"
         "Own failures: 90 usage, 91 start, 92 timeout, 93 window without an answer left,\n"
         "94 answer that names no visible button, 95 answers left over.\n";
}

}  // namespace wine_driver
