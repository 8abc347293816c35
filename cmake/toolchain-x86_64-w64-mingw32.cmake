# Cross build for x86_64 Windows with the mingw-w64 GCC toolchain (win32 thread model).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SCRPKG_CROSS_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
