// Dynamic libraries: every library is present unless the configuration lists it missing.
#include "platform/platform.hpp"
#include "platform/posix/state.hpp"

#include <algorithm>

namespace platform {

namespace {

bool listed_missing(const std::string& name) {
  const auto& missing = posix::detail::state().config.machine.missing;
  return std::any_of(missing.begin(), missing.end(), [&](const std::string& entry) {
    return posix::detail::same_text_ignoring_case(entry, name);
  });
}

struct LoadedLibrary {
  std::string name;
};

}  // namespace

Library library_load(const char* name) {
  if (name == nullptr || listed_missing(name)) return nullptr;
  ++posix::detail::state().open_libraries;
  return new LoadedLibrary{name};
}

bool library_has_export(Library library, const char* name) {
  return library != nullptr && name != nullptr && !listed_missing(name);
}

void library_free(Library library) {
  if (library == nullptr) return;
  delete static_cast<LoadedLibrary*>(library);
  --posix::detail::state().open_libraries;
}

}  // namespace platform
