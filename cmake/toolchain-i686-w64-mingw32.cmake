# Cross build for i686 Windows with the mingw-w64 GCC toolchain (win32 thread model).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(SCRPKG_CROSS_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Nothing in the stub unwinds the stack: no unwind tables in its read-only data.
string(APPEND CMAKE_CXX_FLAGS_INIT " -fno-asynchronous-unwind-tables")
# The platform guarantees 4-byte stack alignment and the stub keeps no wider data on the
# stack: no realignment code in every function.
string(APPEND CMAKE_CXX_FLAGS_INIT " -mpreferred-stack-boundary=2")
# Code for the 80386, which Windows 95 still runs on: the compiler's default, the Pentium
# Pro, brings instructions (cmov, bswap, the multi-byte nop) that end a 386, 486 or Pentium
# with an illegal instruction. The assembler is told the same (with the 387, the 386's
# floating-point unit, for the demo screen saver), so that it refuses any instruction the
# 386 lacks instead of passing it. Tuned for the Pentium, the commonest of those machines.
# The root CMakeLists.txt adds these to every C and C++ compile of the build; unlike the
# flags above, they take effect in a build folder configured before.
set(SCRPKG_TARGET_CPU_OPTIONS -march=i386 -mtune=pentium -Wa,-march=i386+387)
