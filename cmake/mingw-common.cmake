# What the mingw-w64 cross builds share; the toolchain file sets CMAKE_SYSTEM_PROCESSOR and
# SCRPKG_CROSS_PREFIX first, and SCRPKG_CROSS_TOOL for the host tool's build, which takes
# only the toolchain from here.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${SCRPKG_CROSS_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${SCRPKG_CROSS_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${SCRPKG_CROSS_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SCRPKG_CROSS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(SCRPKG_CROSS_TOOL)
  return()
endif()

# Everything the stub links is built without the C++ runtime's exception and RTTI
# machinery: the stub links no libstdc++. Function-local statics need no guards in a
# single-threaded program.
set(CMAKE_CXX_FLAGS_INIT "-fno-exceptions -fno-rtti -fno-threadsafe-statics")
# One section per function and object, so that the stub's link drops what it does not use.
string(APPEND CMAKE_CXX_FLAGS_INIT " -ffunction-sections -fdata-sections")
# snprintf goes through __ms_vsnprintf, which the stub defines itself
# (platform/win32/c_library.cpp), not through mingw's own formatting code. libstdc++'s
# headers switch mingw's own formatting on, so <stdio.h> is read first, before any of them.
set(CMAKE_C_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=0")
string(APPEND CMAKE_CXX_FLAGS_INIT " -D__USE_MINGW_ANSI_STDIO=0 -include stdio.h")
