# The Windows installer stub inside the native build.
#
# When the mingw-w64 cross compilers are installed, the stub is built by a cross build of
# this same source tree (i686: the shipped stub; x86_64: the same code for tests under
# 64-bit Wine). The i686 stub is embedded into the static library `embedded_stub`:
#
#   extern const unsigned char kEmbeddedStub[];
#   extern const unsigned long kEmbeddedStubSize;   // 0 when no cross compiler was found
#
# For tests: the variables SCRPKG_STUB_PATH / SCRPKG_STUB64_PATH hold the stubs' paths
# (empty when not built), the targets scrstub_i686 / scrstub_x86_64 build them, and linking
# the interface target `stub_paths` adds both as compile definitions (string literals, "" when
# not built) together with SCRPKG_HAVE_STUB / SCRPKG_HAVE_STUB64 (0 or 1),
# SCRPKG_STUB_TWIN_PATH: the i686 stub linked a second time, to check its bytes repeat, and
# SCRPKG_STUB_MAP_PATH: the i686 stub's link map, which names the function at an address.
include(ExternalProject)

option(SCRPKG_CROSS_STUBS "Build the Windows stubs when the mingw-w64 compilers are installed" ON)

set(SCRPKG_STUB_PATH "")
set(SCRPKG_STUB_TWIN_PATH "")
set(SCRPKG_STUB_MAP_PATH "")
set(SCRPKG_STUB64_PATH "")

# Adds a cross build of the tree that makes scrstub.exe, and scrstub_twin.exe (the same
# objects linked again) when `twin` is ON; sets `out_path` to the stub's path.
function(scrpkg_add_cross_stub target toolchain twin out_path)
  set(binary_dir ${CMAKE_BINARY_DIR}/${target})
  set(stub ${binary_dir}/scrstub.exe)
  set(byproducts ${stub} ${binary_dir}/scrstub.map)
  if(twin)
    list(APPEND byproducts ${binary_dir}/scrstub_twin.exe)
  endif()
  ExternalProject_Add(${target}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${binary_dir}
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/${toolchain}
      -DCMAKE_BUILD_TYPE=MinSizeRel
      -DSCRPKG_TESTS=OFF
      -DSCRPKG_STUB_TWIN=${twin}
      -DSCRPKG_FINISH_STUB_IMAGE=${SCRPKG_FINISH_STUB_IMAGE}
    BUILD_BYPRODUCTS ${byproducts}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    DEPENDS finish_stub_image)
  set(${out_path} ${stub} PARENT_SCOPE)
endfunction()

if(SCRPKG_CROSS_STUBS)
  find_program(SCRPKG_I686_CXX i686-w64-mingw32-g++)
  find_program(SCRPKG_X86_64_CXX x86_64-w64-mingw32-g++)
  if(SCRPKG_I686_CXX)
    scrpkg_add_cross_stub(scrstub_i686 toolchain-i686-w64-mingw32.cmake ON SCRPKG_STUB_PATH)
    set(SCRPKG_STUB_TWIN_PATH ${CMAKE_BINARY_DIR}/scrstub_i686/scrstub_twin.exe)
    set(SCRPKG_STUB_MAP_PATH ${CMAKE_BINARY_DIR}/scrstub_i686/scrstub.map)
  endif()
  if(SCRPKG_X86_64_CXX)
    scrpkg_add_cross_stub(scrstub_x86_64 toolchain-x86_64-w64-mingw32.cmake OFF SCRPKG_STUB64_PATH)
  endif()
endif()

# The embedded copy of the i686 stub.
include(${CMAKE_CURRENT_LIST_DIR}/embedded_stub.cmake)
scrpkg_add_embedded_stub("${SCRPKG_STUB_PATH}" scrstub_i686)

add_library(stub_paths INTERFACE)
target_compile_definitions(stub_paths INTERFACE
  SCRPKG_STUB_PATH="${SCRPKG_STUB_PATH}" SCRPKG_HAVE_STUB=$<BOOL:${SCRPKG_STUB_PATH}>
  SCRPKG_STUB_TWIN_PATH="${SCRPKG_STUB_TWIN_PATH}" SCRPKG_STUB_MAP_PATH="${SCRPKG_STUB_MAP_PATH}"
  SCRPKG_STUB64_PATH="${SCRPKG_STUB64_PATH}" SCRPKG_HAVE_STUB64=$<BOOL:${SCRPKG_STUB64_PATH}>)
