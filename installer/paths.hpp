// Names the install sequence and its checks derive from the installer's module path, on
// top of the shared ones in payload/names.hpp.
//
// Every builder writes into a fixed path buffer and returns false, leaving an empty
// string, when the result would not fit.
#pragma once

#include "platform/platform.hpp"

namespace installer {

using PathBuffer = char[platform::kPathSize];

// The screen-saver file the installation writes, in the module path's own case: the file
// name cut at its first dot, then ".SCR" (Aurora.exe -> Aurora.SCR, My.Saver.exe -> My.SCR).
bool saver_file_name(const char* module_path, PathBuffer& out);

// The installer's base name (file name cut at its last dot) followed by ".EXE"
// (My.Saver.exe -> My.Saver.EXE).
bool renamed_installer_name(const char* module_path, PathBuffer& out);

// The data folder's last part as the completion message spells it: a backslash and the
// upper-case installer base name (C:\X\Aurora.exe -> \AURORA).
bool data_folder_suffix(const char* module_path, PathBuffer& out);

}  // namespace installer
