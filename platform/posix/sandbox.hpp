// The POSIX stand-in for a Windows machine: a host folder plays the Windows directory,
// its parent the drive root C:\, and the user's answers come from a callback.
//
// The installer logic sees only Windows paths (backslashes, case-insensitive); the
// sandbox maps them onto host paths and never lets one escape the drive root.
//
// What stands in for what:
// - C:\ is the parent of the Windows directory's host folder, Z:\ the host root, and a
//   path starting with '/' is a host path already; other drives and relative paths fail.
// - system.ini is a real file in the Windows directory; switching screen saving on writes
//   ScreenSaveActive=1 under [windows] there.
// - Message boxes are answered by Machine::answer; without one, the box's first button.
// - Dialogs run their procedures: WM_INITDIALOG, then every message posted to the dialog
//   in order until the procedure ends it. When nothing is waiting, the simulated user
//   presses Escape (WM_COMMAND with IDCANCEL); a dialog that ignores that too is
//   abandoned with the result -1. A dialog painted at once (UpdateWindow) is reported
//   as a paint event; ordinary painting, when the queue runs dry, is not.
// - Launches and shell opens are recorded; a launch runs for real only with launch_with.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/posix/dialog_resources.hpp"

namespace platform::posix {

// The largest simulated free space, in kilobytes, whose byte count a 64-bit value holds.
constexpr std::uint64_t kLargestFreeKb = UINT64_MAX / 1024;

// One thing the installer did that a person at a Windows machine would have seen.
struct Event {
  enum class Kind { message_box, dialog, shell_open, launch, registration, cursor, paint };
  Kind kind;
  std::string caption;  // message box caption; dialog (or painted dialog) window text
  std::string text;     // message box text (Windows-1252 bytes as written)
  unsigned type = 0;    // message box type flags
  int button = 0;       // message box: the button pressed
  int resource = 0;     // dialog template number
  std::vector<std::pair<int, std::string>> items;  // dialog control texts set at run time
  std::optional<DialogTemplate> dialog;            // dialog: its template; none when unreadable
  std::intptr_t dialog_result = 0;                 // dialog: the value it ended with
  std::string address;                             // shell open address; launch command line
  int show_command = 0;                            // launch / shell open: how the window is shown
  std::intptr_t start_result = 0;                  // launch / shell open: what the call returned
  bool waiting = false;                            // cursor: the wait cursor (otherwise the arrow)
  std::string ini_value;                           // registration: the SCRNSAVE.EXE value written
  int left = 0, top = 0, right = 0, bottom = 0;    // dialog: outer rectangle when it ended
};

// Answers a message box: given caption, text and type, returns the button id pressed.
using AnswerFn =
    std::function<int(const std::string& caption, const std::string& text, unsigned type)>;
// Sees every event as it happens (logging, terminal display).
using ObserverFn = std::function<void(const Event&)>;

// The machine the sandbox stands for.
struct Machine {
  std::string windows_dir_host;          // host folder standing for the Windows directory
  std::string module_host_path;          // host path of the running package (shown under Z:\)
  AnswerFn answer;                       // the user; required when a message box is shown
  std::set<std::string> missing;         // "OPENGL32.DLL", "GLU32.DLL", "glGenTextures",
                                         // "GetDiskFreeSpaceExA" (case as written here)
  std::optional<std::uint64_t> free_kb;  // free space (up to kLargestFreeKb), else the host's
  int screen_width = 1024, screen_height = 768;
  bool shell_open_fails = false;  // the browser cannot be started
  std::string launch_with;        // program that runs a launched .SCR ("wine"), or empty
};

// Failures a test injects into calls that seldom fail on a real machine.
struct Faults {
  bool no_windows_dir = false;               // GetWindowsDirectoryA fails
  bool no_module_path = false;               // GetModuleFileNameA fails
  bool fail_create_directory = false;        // CreateDirectoryA fails
  bool fail_local_alloc = false;             // LocalAlloc fails
  std::optional<std::uint64_t> write_limit;  // writes fail short once this many bytes were written
  std::string failing_close;  // file name (any case): closing a file created so reports failure
};

struct Config {
  Machine machine;
  Faults faults;
  ObserverFn observe;  // optional
};

// Installs the configuration for the calls that follow (one sandbox per process at a time).
void configure(const Config& config);
const Config& config();

// The host path a Windows path maps to, or empty when it would leave the sandbox.
std::string host_path(const std::string& windows_path);

// The host path that the Windows path `relative` names inside the host folder `folder`, each
// name matched ignoring case as the sandbox's calls match it; empty when it would leave it.
std::string host_path_in(const std::string& folder, const std::string& relative);

// The module path as the installer sees it: the host path under Z:\ with backslashes.
std::string module_windows_path();

// The Windows directory as the installer sees it: C:\ and the host folder's own name.
std::string windows_directory_path();

// Libraries loaded and not yet freed since configure() (every load must be released).
int open_library_count();

// Closes of HFILE_ERROR, a handle that was never open, since configure(): a fault that
// Windows does not report.
int invalid_close_count();

// Bytes written through file_write and stream_write since configure().
std::uint64_t bytes_written();

// True when `answer` is one of the buttons of a message box of the given type.
bool is_button_of(unsigned type, int answer);

}  // namespace platform::posix
