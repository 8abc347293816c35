/* A stand-in screen saver for the end-to-end tests: it shows nothing, appends one record of
 * how it was started to C:\PROBE.LOG and exits. One record per start, so a test can count
 * the launches. The tests also make it the prefix's web browser, to record what the
 * installer asks the shell to open. */
#include <windows.h>

static const char kRecordPath[] = "C:\\PROBE.LOG";

/* The arguments: the command line after the program name (quoted or not) and its blanks. */
static const char* arguments_of(const char* line) {
  if (*line == '"') {
    ++line;
    while (*line != '\0' && *line != '"') ++line;
    if (*line == '"') ++line;
  } else {
    while (*line != '\0' && *line != ' ' && *line != '\t') ++line;
  }
  while (*line == ' ' || *line == '\t') ++line;
  return line;
}

static void append(HANDLE file, const char* label, const char* value) {
  DWORD written = 0;
  WriteFile(file, label, (DWORD)lstrlenA(label), &written, NULL);
  WriteFile(file, value, (DWORD)lstrlenA(value), &written, NULL);
  WriteFile(file, "\r\n", 2, &written, NULL);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show) {
  char module_path[MAX_PATH];
  char directory[MAX_PATH];
  char show_command[16];
  HANDLE file;
  const char* line = GetCommandLineA();
  (void)instance;
  (void)previous;
  (void)command;
  module_path[0] = '\0';
  directory[0] = '\0';
  GetModuleFileNameA(NULL, module_path, sizeof module_path);
  GetCurrentDirectoryA(sizeof directory, directory);
  wsprintfA(show_command, "%d", show); /* as the starter asked, else SW_SHOWDEFAULT */
  file = CreateFileA(kRecordPath, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return 1;
  append(file, "module=", module_path);
  append(file, "command=", line);
  append(file, "arguments=", arguments_of(line));
  append(file, "show=", show_command);
  append(file, "directory=", directory);
  append(file, "end", "");
  CloseHandle(file);
  return 0;
}
