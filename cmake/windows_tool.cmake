# The Windows build of scrpkg (scrpkg.exe), configured when SCRPKG_WINDOWS_TOOL is ON in a
# mingw-w64 cross build: the portable core with the tool's own Windows file layer, the
# encoder and scrpkg, with the installer stub given by SCRPKG_EMBED_STUB built in.
set(SCRPKG_EMBED_STUB "" CACHE FILEPATH "The i686 installer stub to build into scrpkg.exe")

# The header-only libraries the tool uses come from the build machine's /usr/include. Only
# their own folders are put on the include path: the rest of /usr/include is the host's C
# library, which must not shadow mingw-w64's.
set(header_root ${CMAKE_BINARY_DIR}/host_headers)
foreach(library CLI nlohmann)
  find_path(${library}_HEADERS ${library} PATHS /usr/include NO_DEFAULT_PATH
            NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  file(MAKE_DIRECTORY ${header_root})
  file(CREATE_LINK ${${library}_HEADERS}/${library} ${header_root}/${library} SYMBOLIC)
endforeach()
foreach(target CLI11::CLI11 nlohmann_json::nlohmann_json)
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${header_root})
endforeach()
set(CLI11_FOUND TRUE)
set(nlohmann_json_FOUND TRUE)

# The embedded copy of the stub, as the native build makes it.
set(embedded_dir ${CMAKE_BINARY_DIR}/embedded_stub)
set(embedded_source ${embedded_dir}/embedded_stub.cpp)
file(MAKE_DIRECTORY ${embedded_dir}/scrpkg)
file(WRITE ${embedded_dir}/scrpkg/embedded_stub.hpp
  "// The installer stub (i686) built into this program; size 0 when it was built without one.\n"
  "#pragma once\n\n"
  "extern const unsigned char kEmbeddedStub[];\n"
  "extern const unsigned long kEmbeddedStubSize;\n")
add_custom_command(
  OUTPUT ${embedded_source}
  COMMAND ${CMAKE_COMMAND} -DINPUT=${SCRPKG_EMBED_STUB} -DOUTPUT=${embedded_source}
          -P ${PROJECT_SOURCE_DIR}/cmake/embed_stub.cmake
  DEPENDS ${SCRPKG_EMBED_STUB} ${PROJECT_SOURCE_DIR}/cmake/embed_stub.cmake
  VERBATIM)
add_library(embedded_stub STATIC ${embedded_source})
target_include_directories(embedded_stub PUBLIC ${embedded_dir})

add_subdirectory(tools)
