// The processes the driver watches: the program it started and every process started by a
// watched one (the installer launches the installed screen saver on its way out).
#pragma once

#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace wine_driver {

// Under Wine, makes sure the desktop is up before a program needs it: Wine starts its desktop
// process on a program's first request and waits only seconds for it, after which that
// program can make no window at all; under a slow emulator the start takes longer. Waits at
// most `timeout_ms` for the desktop process's display driver. Does nothing under Windows.
void wait_for_desktop(unsigned timeout_ms);

class ProcessWatch {
 public:
  // Reports each event as a finished JSON object.
  explicit ProcessWatch(std::function<void(const std::string&)> report) : report_(report) {}
  ~ProcessWatch();
  ProcessWatch(const ProcessWatch&) = delete;
  ProcessWatch& operator=(const ProcessWatch&) = delete;

  bool start(const std::string& command_line);
  // Adopts processes started by watched ones and notes those that have ended.
  void refresh();
  bool main_ended() const;
  bool all_ended() const;
  // The ids of the watched processes still running, separated by blanks.
  std::string running_ids() const;
  // The started program's exit code; meaningful once it has ended.
  DWORD main_exit_code() const { return main_exit_code_; }
  // Every watched process id, ended ones included (their windows are gone anyway).
  const std::set<DWORD>& ids() const { return ids_; }
  void terminate_running();

 private:
  struct Watched {
    DWORD id;
    HANDLE handle;
    bool ended;
  };
  void adopt(DWORD id, DWORD parent, const char* exe);
  void note_endings();

  std::function<void(const std::string&)> report_;
  std::vector<Watched> watched_;
  std::set<DWORD> ids_;
  DWORD main_id_ = 0;
  DWORD main_exit_code_ = 0;
};

}  // namespace wine_driver
