// The stub's own formatting in place of the C runtime's: the installer's texts need only
// %s. Plain C++ without Windows headers, so the host's tests can hold it against its
// vsnprintf.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace platform::win32 {

// vsnprintf for the directives %s and %%; any other directive is copied as it stands and
// takes no argument (installer/texts.hpp checks that its texts hold none). Writes at most size - 1 characters and a NUL (nothing when size is
// 0) and returns the length of the whole text, as if nothing had been cut.
int format_text(char* out, std::size_t size, const char* format, std::va_list args);

}  // namespace platform::win32
