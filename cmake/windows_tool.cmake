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
include(${CMAKE_CURRENT_LIST_DIR}/embedded_stub.cmake)
scrpkg_add_embedded_stub("${SCRPKG_EMBED_STUB}")

add_subdirectory(tools)
