#include "processes.hpp"

#include <tlhelp32.h>

#include <vector>

#include "json_line.hpp"

namespace wine_driver {

namespace {

// Wine starts its desktop and console hosts as children of the first program that needs
// them; they belong to the system, not to the watched program, and outlive it.
bool is_system_helper(const char* exe) {
  return _stricmp(exe, "explorer.exe") == 0 || _stricmp(exe, "conhost.exe") == 0;
}

// Wine's desktop process marks the desktop window with this property once its display driver
// is loaded; other programs read it to load the same driver for their windows.
constexpr char kDisplayDriverMark[] = "__wine_display_device_guid";

}  // namespace

void wait_for_desktop(unsigned timeout_ms) {
  if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr) return;
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  HWND desktop = GetDesktopWindow();  // starts the desktop process when there is none yet
  while (GetPropA(desktop, kDisplayDriverMark) == nullptr && GetTickCount64() < deadline) {
    // Answered once the desktop process runs its message loop.
    SendMessageTimeoutA(desktop, WM_NULL, 0, 0, SMTO_NORMAL, 1000, nullptr);
    Sleep(50);
  }
}

ProcessWatch::~ProcessWatch() {
  for (const Watched& process : watched_) CloseHandle(process.handle);
}

bool ProcessWatch::start(const std::string& command_line) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::vector<char> line(command_line.begin(), command_line.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    report_(JsonObject()
                .add("event", "error")
                .add("message", "cannot start: " + command_line)
                .add("code", static_cast<long long>(GetLastError()))
                .str());
    return false;
  }
  CloseHandle(started.hThread);
  main_id_ = started.dwProcessId;
  watched_.push_back(Watched{main_id_, started.hProcess, false});
  ids_.insert(main_id_);
  report_(JsonObject()
              .add("event", "start")
              .add("pid", static_cast<long long>(main_id_))
              .add("command", command_line)
              .str());
  return true;
}

void ProcessWatch::adopt(DWORD id, DWORD parent, const char* exe) {
  HANDLE handle =
      OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, id);
  if (handle == nullptr) return;  // ended already
  watched_.push_back(Watched{id, handle, false});
  ids_.insert(id);
  report_(JsonObject()
              .add("event", "process")
              .add("pid", static_cast<long long>(id))
              .add("parent", static_cast<long long>(parent))
              .add("exe", exe)
              .str());
}

void ProcessWatch::refresh() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot != INVALID_HANDLE_VALUE) {
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
      if (ids_.count(entry.th32ParentProcessID) != 0 && ids_.count(entry.th32ProcessID) == 0 &&
          !is_system_helper(entry.szExeFile)) {
        adopt(entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile);
      }
    }
    CloseHandle(snapshot);
  }
  note_endings();
}

void ProcessWatch::note_endings() {
  for (Watched& process : watched_) {
    if (process.ended || WaitForSingleObject(process.handle, 0) != WAIT_OBJECT_0) continue;
    process.ended = true;
    DWORD code = 0;
    GetExitCodeProcess(process.handle, &code);
    if (process.id == main_id_) main_exit_code_ = code;
    report_(JsonObject()
                .add("event", "exit")
                .add("pid", static_cast<long long>(process.id))
                .add("code", static_cast<long long>(code))
                .str());
  }
}

bool ProcessWatch::main_ended() const {
  return !watched_.empty() && watched_.front().ended;
}

std::string ProcessWatch::running_ids() const {
  std::string ids;
  for (const Watched& process : watched_) {
    if (process.ended) continue;
    if (!ids.empty()) ids += ' ';
    ids += std::to_string(process.id);
  }
  return ids;
}

bool ProcessWatch::all_ended() const {
  for (const Watched& process : watched_) {
    if (!process.ended) return false;
  }
  return true;
}

void ProcessWatch::terminate_running() {
  for (Watched& process : watched_) {
    if (!process.ended) TerminateProcess(process.handle, 1);
  }
}

}  // namespace wine_driver
