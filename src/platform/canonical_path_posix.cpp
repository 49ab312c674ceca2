#include "platform/canonical_path.h"

#include <cstdlib>
#include <memory>

namespace vozo::platform {

std::optional<std::string> canonicalPath(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                       &std::free);
  if (!resolved) return std::nullopt;
  return std::string(resolved.get());
}

}  // namespace vozo::platform
