// Names and paths derived from the installer's own file name and the Windows directory.
//
// A package file called AURORA.EXE installs AURORA.SCR in the Windows directory and its
// data files in <Windows>\TOLVERAN\LUMIVANE\AURORA. Every function writes into a caller
// buffer of the given size and reports whether the result fit; a result that would not
// fit is never written past the buffer (the buffer then holds an empty string).
#pragma once

#include <cstdint>

#include "platform/platform.hpp"

namespace payload {

constexpr char kVendorFolder[] = "TOLVERAN";
constexpr char kProductFolder[] = "LUMIVANE";
constexpr char kSaverExtension[] = ".SCR";
constexpr char kDataExtension[] = ".DAT";
constexpr char kExtraPrefix[] = "FILE";
constexpr int kDataFolderLevels = 3;  // TOLVERAN, LUMIVANE, installer base name

// ---------------------------------------------------------------------------
// Text in fixed buffers

// Letters a to z become A to Z; no other character changes.
void upper_case(char* text);

// Copies text into buffer. False, with an empty buffer, when it would not fit.
bool copy_text(char* buffer, std::uint32_t size, const char* text);

// Appends text to the string in buffer. False, with an empty buffer, when it would not fit.
bool append_text(char* buffer, std::uint32_t size, const char* text);

// Appends `\` unless the string already ends in one.
bool add_separator(char* directory, std::uint32_t size);

// ---------------------------------------------------------------------------
// Derivations from a module path (pure)

// The text after the last backslash of path (the whole path when it has none).
const char* file_name_of(const char* path);

// The file name without directory and without its last extension, case kept. A file
// name without a dot is taken whole.
bool installer_base_name(const char* module_path, char* out, std::uint32_t size);

// The file name cut at its first dot, followed by ".SCR", in upper case.
bool target_name_of(const char* module_path, char* out, std::uint32_t size);

// ---------------------------------------------------------------------------
// Paths (pure)

struct InstallNames {
  char windows_dir[platform::kPathSize];  // Windows directory with separator
  char base_name[platform::kPathSize];    // installer base name
  const char* target_name;                // target screen-saver name
};

// One level of the data folder: 0 is <Windows>\TOLVERAN, 1 adds \LUMIVANE, 2 adds
// \<base name>, the data folder itself.
bool data_folder_level(const InstallNames& names, int level, char* out, std::uint32_t size);

inline bool data_folder(const InstallNames& names, char* out, std::uint32_t size) {
  return data_folder_level(names, kDataFolderLevels - 1, out, size);
}

// Target path of the table entry at `index`. From index 2 on, an extra file numbered
// index + base - 2, with `extension`, the entry's 4-character field up to its first NUL.
bool target_path(const InstallNames& names, std::uint32_t index, std::uint16_t base,
                 const char* extension, char* out, std::uint32_t size);

// ---------------------------------------------------------------------------
// From the platform

// The module's own path. False, with an empty buffer, when it can't be had or fills the
// buffer (then it may be cut, and older systems leave it without a terminator).
bool module_path(platform::Module module, char* out, std::uint32_t size);

// The Windows directory with separator. False when it can't be had or would not fit.
bool windows_directory_with_separator(char* out, std::uint32_t size);

// Windows directory with separator and installer base name of the module, with the kept
// target screen-saver name (derived here when it was not derived before).
bool load_install_names(platform::Module module, InstallNames& names);

// The target screen-saver name, kept for the extraction, the registration and the launch.
// Empty until derive_target_name has run, and when the module path could not be had.
extern char g_target_name[platform::kPathSize];

// Derives the target screen-saver name from the module's path and keeps it in
// g_target_name, which it returns.
const char* derive_target_name(platform::Module module);

}  // namespace payload
