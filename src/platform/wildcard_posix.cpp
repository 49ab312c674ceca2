#include "platform/wildcard.h"

#include <fnmatch.h>

namespace vozo::platform {

bool wildcardMatches(const std::string& pattern, const std::string& text) {
  return ::fnmatch(pattern.c_str(), text.c_str(), FNM_NOESCAPE) == 0;
}

}  // namespace vozo::platform
