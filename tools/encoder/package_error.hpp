// The error types of package making: messages fit to show the user as they are.
#pragma once

#include <stdexcept>

namespace packer {

class PackError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The package would end past what its readers reach; the message leaves the package
// unnamed ("would be N bytes; ...") for the caller to name.
class PackTooLarge : public PackError {
 public:
  using PackError::PackError;
};

}  // namespace packer
