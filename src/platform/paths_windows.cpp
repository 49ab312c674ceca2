#include "platform/paths.h"
#include "platform/windows_system.h"

namespace vozo::platform {
namespace {

bool startsWithDrive(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

}  // namespace

bool isPathSeparator(char c) {
  return c == '/' || c == '\\';
}

bool isAbsolutePath(std::string_view path) {
  if (!path.empty() && isPathSeparator(path.front())) return true;
  return startsWithDrive(path) && path.size() >= 3 && isPathSeparator(path[2]);
}

size_t lastPathSeparator(std::string_view path) {
  return path.find_last_of("/\\");
}

size_t rootLength(std::string_view path) {
  if (startsWithDrive(path) && path.size() >= 3 && isPathSeparator(path[2])) return 3;
  return !path.empty() && isPathSeparator(path.front()) ? 1 : 0;
}

size_t driveLength(std::string_view path) {
  return startsWithDrive(path) ? 2 : 0;
}

std::string withForwardSlashes(std::string_view path) {
  std::string forward(path);
  for (char& c : forward) {
    if (c == '\\') c = '/';
  }
  return forward;
}

std::optional<std::string> currentDirectory() {
  const DWORD length = GetCurrentDirectoryW(0, nullptr);
  if (length == 0) return std::nullopt;
  std::wstring directory(length, L'\0');
  const DWORD written = GetCurrentDirectoryW(length, directory.data());
  if (written == 0 || written >= length) return std::nullopt;
  directory.resize(written);
  // Without the prefix that a long working directory may carry.
  if (directory.starts_with(L"\\\\?\\")) directory.erase(0, 4);
  return utf8Text(directory);
}

}  // namespace vozo::platform
