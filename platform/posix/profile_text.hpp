// Editing the text of an INI file the way the Windows profile functions do.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform::posix::detail {

using ProfileLines = std::vector<std::string>;

// Splits file contents into lines without their CR LF / LF ends.
ProfileLines split_profile_lines(const std::string& contents);

// Joins lines back, each ended with CR LF.
std::string join_profile_lines(const ProfileLines& lines);

// Sets key=value in the section (names compared ignoring case): replaces the value of an
// existing key, adds the key at the end of an existing section, or appends a new section.
// A null key removes the whole section; a null value removes the key.
void set_profile_value(ProfileLines& lines, const std::string& section, const char* key,
                       const char* value);

// The value of the key in the section, if present.
std::optional<std::string> profile_value(const ProfileLines& lines, const std::string& section,
                                         const std::string& key);

}  // namespace platform::posix::detail
