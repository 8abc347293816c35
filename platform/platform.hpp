// The platform seam: every Windows service the installer uses, and nothing else.
//
// The portable logic (payload, decode, installer) calls only these functions. The
// Win32 side (platform/win32) maps each one onto the real API call named beside it;
// the POSIX side (platform/posix) stands in for them inside a sandbox folder.
// Numeric constants carry the Windows values so both sides agree on them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace platform {

// Fixed buffer sizes used throughout the installer.
constexpr std::uint32_t kPathSize = 260;         // MAX_PATH
constexpr std::uint32_t kLocatorPathSize = 256;  // the locator's copy of the module path

// ---------------------------------------------------------------------------
// Kernel: module, directories, names

using Module = void*;  // HINSTANCE

// GetModuleFileNameA: copies the module's path; returns its length, 0 on failure.
std::uint32_t module_file_name(Module module, char* buffer, std::uint32_t size);

// GetWindowsDirectoryA: returns the length copied, the size needed (> size) when the
// buffer is too small (nothing copied then), or 0 on failure.
std::uint32_t windows_directory(char* buffer, std::uint32_t size);

// GetShortPathNameA: returns the length copied, the size needed when the buffer is too
// small, or 0 when the path does not exist.
std::uint32_t short_path_name(const char* path, char* buffer, std::uint32_t size);

// CreateDirectoryA without security attributes. False when it exists or fails.
bool create_directory(const char* path);

// A file status query on the path: true when a file or directory is there.
bool path_exists(const char* path);

// LocalAlloc(LMEM_FIXED) / LocalFree.
void* local_alloc(std::size_t size);
void local_free(void* memory);

// ---------------------------------------------------------------------------
// Old-style file handles (_lopen family)

using File = std::intptr_t;                      // HFILE
constexpr File kInvalidFile = -1;                // HFILE_ERROR
constexpr std::uint32_t kIoError = 0xFFFFFFFFu;  // (UINT)HFILE_ERROR from _lread/_lwrite

enum class SeekFrom { begin = 0, current = 1, end = 2 };

File file_open_read(const char* path);  // _lopen(path, OF_READ | OF_SHARE_DENY_NONE)
File file_create(const char* path);     // _lcreat(path, 0): normal attributes, truncates
std::uint32_t file_read(File file, void* buffer, std::uint32_t count);         // _lread
std::uint32_t file_write(File file, const void* buffer, std::uint32_t count);  // _lwrite
std::int32_t file_seek(File file, std::int32_t offset, SeekFrom origin);  // _llseek; -1 on error
bool file_close(File file);  // _lclose; false when the close failed (HFILE_ERROR)

// ---------------------------------------------------------------------------
// The decoder's byte streams, in the shape of the C library's fopen family. The Win32 side
// links no C runtime: a stream is an old-style kernel file handle, unbuffered (the decoder
// moves whole blocks), its value carried in the std::FILE* and never dereferenced; null is
// a stream that did not open. The POSIX side and scrpkg.exe use C streams. The path is a
// Windows path; the POSIX side maps it into the sandbox and injects faults here.

// "rb": _lopen(path, OF_READ | OF_SHARE_DENY_NONE); "wb": _lcreat(path, 0), which
// truncates. Null on failure.
std::FILE* stream_open(const char* path, const char* mode);
std::size_t stream_read(void* buffer, std::size_t count, std::FILE* stream);  // _lread; 0 on error
// _lwrite; 0 on error. A count of 0 writes nothing (_lwrite would cut the file there).
std::size_t stream_write(const void* buffer, std::size_t count, std::FILE* stream);
int stream_seek(std::FILE* stream, long offset);  // _llseek from the start; 0 on success
// _lclose; false when it failed: bytes the system (or a C stream) still held may be lost.
bool stream_close(std::FILE* stream);

// ---------------------------------------------------------------------------
// Disk space and libraries

enum class FreeSpaceEx { unavailable, failed, ok };

// Loads KERNEL32.DLL, looks up GetDiskFreeSpaceExA at run time and calls it for the path;
// the library is released on every path. `unavailable` when the library or the export is
// missing, `failed` when the call fails; on `ok` *free_to_caller holds the first output.
FreeSpaceEx disk_free_space_ex(const char* path, std::uint64_t* free_to_caller);

// GetDiskFreeSpaceA. False on failure.
bool disk_free_space(const char* path, std::uint32_t* sectors_per_cluster,
                     std::uint32_t* bytes_per_sector, std::uint32_t* free_clusters,
                     std::uint32_t* total_clusters);

using Library = void*;                                       // HMODULE
Library library_load(const char* name);                      // LoadLibraryA; null on failure
bool library_has_export(Library library, const char* name);  // GetProcAddress != null
void library_free(Library library);                          // FreeLibrary

// ---------------------------------------------------------------------------
// System settings, launch and shell

// WritePrivateProfileStringA(section, key, value, file).
bool write_profile_string(const char* section, const char* key, const char* value,
                          const char* file);

// SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, 0, SPIF_UPDATEINIFILE).
bool set_screen_saver_active();

constexpr int kShowNormal = 5;     // SW_SHOW
constexpr int kShowMaximized = 3;  // SW_SHOWMAXIMIZED

// WinExec(command_line, show). Returns the call's result (> 31 on success).
std::uint32_t launch_program(const char* command_line, int show);

// ShellExecuteA(0, "open", address, 0, 0, SW_SHOWMAXIMIZED). Returns the call's result
// as an integer (> 32 on success).
std::intptr_t shell_open(const char* address);

// ---------------------------------------------------------------------------
// User interface

// MessageBoxA type flags and results.
constexpr unsigned kMbOk = 0x00;
constexpr unsigned kMbOkCancel = 0x01;
constexpr unsigned kMbYesNoCancel = 0x03;
constexpr unsigned kMbYesNo = 0x04;
constexpr unsigned kMbIconError = 0x10;
constexpr unsigned kMbIconQuestion = 0x20;
constexpr unsigned kMbIconExclamation = 0x30;
constexpr unsigned kMbIconInformation = 0x40;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// MessageBoxA with no owner window. Returns the button pressed.
int message_box(const char* text, const char* caption, unsigned type);

enum class Cursor { arrow, wait };
void set_cursor(Cursor cursor);  // SetCursor(LoadCursor(0, IDC_ARROW / IDC_WAIT))

// Dialogs. The dialog procedures are portable code (installer/dialogs); the platform
// runs them modally from the installer's resource templates.
using Window = void*;  // HWND

constexpr unsigned kWmInitDialog = 0x0110;
constexpr unsigned kWmCommand = 0x0111;

using DialogProc = std::intptr_t (*)(Window dialog, unsigned message, std::uintptr_t wparam,
                                     std::intptr_t lparam);

// DialogBoxParamA(module, template_id, no owner, proc, 0). Returns EndDialog's result.
std::intptr_t dialog_box(Module module, int template_id, DialogProc proc);
void end_dialog(Window dialog, std::intptr_t result);                 // EndDialog
Window dialog_item(Window dialog, int control_id);                    // GetDlgItem
void set_window_text(Window window, const char* text);                // SetWindowTextA
void set_item_text(Window dialog, int control_id, const char* text);  // SetDlgItemTextA
bool post_message(Window window, unsigned message, std::uintptr_t wparam, std::intptr_t lparam);
Module window_instance(Window window);  // GetWindowLongA(GWL_HINSTANCE)
void update_window(Window window);      // UpdateWindow: paints what is pending, now

struct Rect {
  int left, top, right, bottom;
};
Rect window_rect(Window window);                     // GetWindowRect
void move_window(Window window, int left, int top);  // SetWindowPos, size and z-order kept
int screen_width();                                  // GetSystemMetrics(SM_CXSCREEN)
int screen_height();                                 // GetSystemMetrics(SM_CYSCREEN)

}  // namespace platform
