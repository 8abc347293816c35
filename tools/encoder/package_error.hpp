// The one error type of package making: a message fit to show the user as it is.
#pragma once

#include <stdexcept>

namespace packer {

class PackError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace packer
