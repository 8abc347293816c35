# scrpkg.exe, the host tool for x86_64 Windows: a cross build of this same tree with
# SCRPKG_WINDOWS_TOOL on and the i686 stub of this build embedded. Built when the x86_64
# mingw-w64 compiler and the stub are there; SCRPKG_EXE_PATH holds its path, or is empty.
set(SCRPKG_EXE_PATH "")
if(SCRPKG_X86_64_CXX AND SCRPKG_STUB_PATH)
  set(scrpkg_exe_dir ${CMAKE_BINARY_DIR}/scrpkg_win64)
  set(SCRPKG_EXE_PATH ${scrpkg_exe_dir}/tools/scrpkg/scrpkg.exe)
  ExternalProject_Add(scrpkg_win64
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${scrpkg_exe_dir}
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/toolchain-x86_64-w64-mingw32-tool.cmake
      -DCMAKE_BUILD_TYPE=Release
      -DSCRPKG_WINDOWS_TOOL=ON
      -DSCRPKG_TESTS=OFF
      -DSCRPKG_EMBED_STUB=${SCRPKG_STUB_PATH}
    BUILD_BYPRODUCTS ${SCRPKG_EXE_PATH}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    DEPENDS scrstub_i686)
endif()
