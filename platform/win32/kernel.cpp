// The kernel services of the platform seam: module, directories, names, memory, disk space,
// libraries, settings and program launch.
#include "platform/platform.hpp"
#include "platform/win32/win32.hpp"

#include <shellapi.h>

namespace platform {

namespace {

HMODULE as_module(Module module) {
  return static_cast<HMODULE>(module);
}

}  // namespace

std::uint32_t module_file_name(Module module, char* buffer, std::uint32_t size) {
  return GetModuleFileNameA(as_module(module), buffer, size);
}

std::uint32_t windows_directory(char* buffer, std::uint32_t size) {
  return GetWindowsDirectoryA(buffer, size);
}

std::uint32_t short_path_name(const char* path, char* buffer, std::uint32_t size) {
  return GetShortPathNameA(path, buffer, size);
}

bool create_directory(const char* path) {
  return CreateDirectoryA(path, nullptr) != FALSE;
}

bool path_exists(const char* path) {
  return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

void* local_alloc(std::size_t size) {
  return LocalAlloc(LMEM_FIXED, size);
}

void local_free(void* memory) {
  LocalFree(memory);
}

FreeSpaceEx disk_free_space_ex(const char* path, std::uint64_t* free_to_caller) {
  using Query = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
  HMODULE kernel = LoadLibraryA("KERNEL32.DLL");
  if (kernel == nullptr) return FreeSpaceEx::unavailable;
  FARPROC found = GetProcAddress(kernel, "GetDiskFreeSpaceExA");
  if (found == nullptr) {
    FreeLibrary(kernel);
    return FreeSpaceEx::unavailable;
  }
  Query query = reinterpret_cast<Query>(reinterpret_cast<void*>(found));
  ULARGE_INTEGER to_caller, total, free_total;
  BOOL ok = query(path, &to_caller, &total, &free_total);
  FreeLibrary(kernel);
  if (!ok) return FreeSpaceEx::failed;
  *free_to_caller = to_caller.QuadPart;
  return FreeSpaceEx::ok;
}

bool disk_free_space(const char* path, std::uint32_t* sectors_per_cluster,
                     std::uint32_t* bytes_per_sector, std::uint32_t* free_clusters,
                     std::uint32_t* total_clusters) {
  DWORD sectors = 0, bytes = 0, free_count = 0, total = 0;
  if (!GetDiskFreeSpaceA(path, &sectors, &bytes, &free_count, &total)) return false;
  *sectors_per_cluster = sectors;
  *bytes_per_sector = bytes;
  *free_clusters = free_count;
  *total_clusters = total;
  return true;
}

Library library_load(const char* name) {
  return LoadLibraryA(name);
}

bool library_has_export(Library library, const char* name) {
  return GetProcAddress(static_cast<HMODULE>(library), name) != nullptr;
}

void library_free(Library library) {
  FreeLibrary(static_cast<HMODULE>(library));
}

bool write_profile_string(const char* section, const char* key, const char* value,
                          const char* file) {
  return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

bool set_screen_saver_active() {
  return SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, SPIF_UPDATEINIFILE) != FALSE;
}

std::uint32_t launch_program(const char* command_line, int show) {
  return WinExec(command_line, static_cast<UINT>(show));
}

std::intptr_t shell_open(const char* address) {
  HINSTANCE result = ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWMAXIMIZED);
  return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace platform
