# Cross build of the host tool scrpkg for x86_64 Windows with the mingw-w64 GCC toolchain.
# Unlike the stub's builds, the tool keeps exceptions and RTTI (its command-line parser needs
# them) and links the C and C++ runtimes statically into one executable.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SCRPKG_CROSS_PREFIX x86_64-w64-mingw32)
set(SCRPKG_CROSS_TOOL ON)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -s")
