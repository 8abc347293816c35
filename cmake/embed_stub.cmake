# Writes OUTPUT, a C++ source that defines kEmbeddedStub and kEmbeddedStubSize from the file
# INPUT; without INPUT, an empty stub (a one-byte array and size 0).
if(DEFINED INPUT AND NOT INPUT STREQUAL "")
  file(READ ${INPUT} hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  # Sixteen bytes a line.
  string(REPEAT "0x..," 16 line)
  string(REGEX REPLACE "(${line})" "\\1\n  " bytes "${bytes}")
  string(REGEX REPLACE "\n  $" "" bytes "${bytes}")
  get_filename_component(name ${INPUT} NAME)
  set(comment "// Generated from ${name}: the installer stub built into this program.")
else()
  set(size 0)
  set(bytes "0x00,")
  set(comment "// Generated: no cross compiler was found, so no stub is built into this program.")
endif()
file(WRITE ${OUTPUT}.new "${comment}
#include \"scrpkg/embedded_stub.hpp\"

extern const unsigned char kEmbeddedStub[] = {
  ${bytes}
};
extern const unsigned long kEmbeddedStubSize = ${size}ul;
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
