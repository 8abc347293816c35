// scrpkg.exe's arguments and console in UTF-8.
#include "cli/windows_console.hpp"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace scrpkg {
namespace {

std::string utf8(const wchar_t* text) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
  bytes.pop_back();  // the NUL the count included
  return bytes;
}

// The console's code page before this program changed it: the console outlives the
// program, so its own setting is put back at exit. 0 without a console.
UINT g_console_code_page = 0;

void restore_console_code_page() {
  ::SetConsoleOutputCP(g_console_code_page);
}

}  // namespace

void use_utf8_arguments_and_console(int& argc, char**& argv) {
  g_console_code_page = ::GetConsoleOutputCP();
  if (g_console_code_page != 0 && ::SetConsoleOutputCP(CP_UTF8)) {
    std::atexit(restore_console_code_page);
  }
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return;  // keep the ANSI arguments
  static std::vector<std::string> arguments;
  static std::vector<char*> pointers;
  for (int i = 0; i < count; ++i) arguments.push_back(utf8(wide[i]));
  ::LocalFree(wide);
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  argc = count;
  argv = pointers.data();
}

}  // namespace scrpkg
