# Adds the static library `embedded_stub`: the installer stub at `stub` as kEmbeddedStub and
# kEmbeddedStubSize (scrpkg/embedded_stub.hpp), made again when the stub or the targets
# named after it change; an empty stub (size 0) when `stub` is empty.
function(scrpkg_add_embedded_stub stub)
  set(dir ${CMAKE_BINARY_DIR}/embedded_stub)
  set(source ${dir}/embedded_stub.cpp)
  file(MAKE_DIRECTORY ${dir}/scrpkg)
  file(WRITE ${dir}/scrpkg/embedded_stub.hpp.new
    "// The installer stub (i686) built into this program; size 0 when it was built without one.\n"
    "#pragma once\n\n"
    "extern const unsigned char kEmbeddedStub[];\n"
    "extern const unsigned long kEmbeddedStubSize;\n")
  file(COPY_FILE ${dir}/scrpkg/embedded_stub.hpp.new ${dir}/scrpkg/embedded_stub.hpp
    ONLY_IF_DIFFERENT)
  if(stub)
    add_custom_command(
      OUTPUT ${source}
      COMMAND ${CMAKE_COMMAND} -DINPUT=${stub} -DOUTPUT=${source}
              -P ${PROJECT_SOURCE_DIR}/cmake/embed_stub.cmake
      DEPENDS ${ARGN} ${stub} ${PROJECT_SOURCE_DIR}/cmake/embed_stub.cmake
      COMMENT "Embedding the installer stub"
      VERBATIM)
  else()
    execute_process(COMMAND ${CMAKE_COMMAND} -DOUTPUT=${source}
                    -P ${PROJECT_SOURCE_DIR}/cmake/embed_stub.cmake)
  endif()
  add_library(embedded_stub STATIC ${source})
  target_include_directories(embedded_stub PUBLIC ${dir})
endfunction()
