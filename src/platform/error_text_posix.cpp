#include "platform/error_text.h"

#include <cstring>

namespace vozo::platform {

std::string errorText(int error) {
  return std::strerror(error);
}

}  // namespace vozo::platform
