#include "platform/paths.h"

#include <unistd.h>

#include <cerrno>

namespace vozo::platform {

bool isPathSeparator(char c) {
  return c == '/';
}

bool isAbsolutePath(std::string_view path) {
  return !path.empty() && path.front() == '/';
}

size_t lastPathSeparator(std::string_view path) {
  return path.rfind('/');
}

size_t rootLength(std::string_view path) {
  return isAbsolutePath(path) ? 1 : 0;
}

size_t driveLength(std::string_view) {
  return 0;
}

std::string withForwardSlashes(std::string_view path) {
  return std::string(path);
}

std::optional<std::string> currentDirectory() {
  std::string buffer(256, '\0');
  for (;;) {
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
      buffer.resize(std::char_traits<char>::length(buffer.data()));
      return buffer;
    }
    if (errno != ERANGE) return std::nullopt;
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace vozo::platform
