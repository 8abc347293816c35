# Cross build for i686 Windows with the mingw-w64 GCC toolchain (win32 thread model).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(SCRPKG_CROSS_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Nothing in the stub unwinds the stack: no unwind tables in its read-only data.
string(APPEND CMAKE_CXX_FLAGS_INIT " -fno-asynchronous-unwind-tables")
# The platform guarantees 4-byte stack alignment and the stub keeps no wider data on the
# stack: no realignment code in every function.
string(APPEND CMAKE_CXX_FLAGS_INIT " -mpreferred-stack-boundary=2")
