// Text helpers for showing the installer's Windows-1252 strings on a UTF-8 terminal.
#pragma once

#include <string>
#include <string_view>

namespace scrpkg {

// Every byte becomes its Windows-1252 character in UTF-8. The five bytes that code page
// leaves unassigned become the C1 control of the same number, as Windows maps them.
std::string cp1252_to_utf8(std::string_view ansi);

// UTF-8 text safe to print on a terminal: each C0 control and DEL becomes \xHH and each
// C1 control (U+0080 to U+009F) \u00HH, so a package cannot drive the terminal.
std::string escaped_controls(std::string_view utf8);

// The text without the blanks (0x20) at its end.
std::string without_trailing_blanks(std::string_view text);

// The text up to its first NUL byte, at most `size` bytes.
std::string fixed_field(const char* field, std::size_t size);

// "\r\n" and lone "\r" become "\n".
std::string unix_line_ends(std::string_view text);

// Host names are UTF-8 already; anything that is not valid UTF-8 is read as Windows-1252.
std::string host_text_to_utf8(std::string_view text);

}  // namespace scrpkg
