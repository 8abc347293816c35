// The verdicts in words, for the inspector. A file of its own so that the installer stub,
// which never shows them, does not carry the texts.
#include "payload/integrity.hpp"

namespace payload {

const char* integrity_text(Integrity verdict) {
  switch (verdict) {
    case Integrity::sound:
      return "the payload is complete";
    case Integrity::not_found:
      return "no payload found: not an executable with a resource section";
    case Integrity::header_incomplete:
      return "the file ends inside the payload header";
    case Integrity::table_unterminated:
      return "the file ends before the entry table's terminating entry";
    case Integrity::table_empty:
      return "the entry table is empty: not a package";
    case Integrity::body_outside_file:
      return "an entry's stored bytes reach past the end of the file";
    case Integrity::body_overlaps_table:
      return "an entry's stored bytes overlap the payload header or entry table";
    case Integrity::size_impossible:
      return "a compressed entry's original size is more than its stored bytes can hold";
    case Integrity::extension_unsafe:
      return "an extra file's extension holds a character no file name may carry";
  }
  return "unknown verdict";
}

}  // namespace payload
