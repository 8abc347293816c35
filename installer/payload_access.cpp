#include "installer/payload_access.hpp"

#include "payload/integrity.hpp"
#include "payload/locator.hpp"

namespace installer {

static_assert(sizeof(payload::g_display_name) == kDisplayNameChars + 1,
              "the display name buffer holds the field and its NUL");

char* display_name() {
  return payload::g_display_name;
}

std::uint32_t installed_size_total() {
  return payload::g_installed_total;
}

bool sum_installed_size() {
  payload::g_installed_total = 0;  // one sum per run, however often the sequence runs
  return payload::sum_installed_size();
}

bool payload_intact() {
  return payload::check_integrity(nullptr) == payload::Integrity::sound;
}

}  // namespace installer
