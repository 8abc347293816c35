// Text fields of a package: the display name and the entries' extensions, which the
// installer reads as Windows-1252 bytes.
#pragma once

#include <string>

namespace packer {

// Converts UTF-8 to Windows-1252. Throws PackError naming `what` when the text is not
// valid UTF-8 or holds a character that Windows-1252 lacks.
std::string utf8_to_cp1252(const std::string& utf8, const std::string& what);

// The display name field's contents: at most 32 bytes once converted, else PackError.
std::string display_name(const std::string& utf8);

// The file name of a path, without its folders.
std::string file_name(const std::string& path);

// The file name without its extension: the default display name.
std::string name_without_extension(const std::string& path);

// The extension field for a file: the file name from its last dot on (empty without a dot),
// at most 4 bytes once converted, else PackError.
std::string extension_field(const std::string& path);

}  // namespace packer
