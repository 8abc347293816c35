// The Windows headers as the Win32 side of the platform seam includes them: ANSI entry
// points, and the C library's stdio before <windows.h> so that snprintf binds to the
// function the stub gives itself (platform/win32/c_library.cpp).
#pragma once

#ifndef __USE_MINGW_ANSI_STDIO
#define __USE_MINGW_ANSI_STDIO 0
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#undef UNICODE
#undef _UNICODE

#include <stdio.h>
#include <windows.h>
