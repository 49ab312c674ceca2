#include <cerrno>

#include "platform/output_file.h"
#include "platform/windows_system.h"

namespace vozo::platform {
namespace {

HANDLE handleOf(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

OutputFile::Opened OutputFile::openExisting(const std::string& path) {
  // A path with a NUL byte would name a different file.
  if (path.find('\0') != std::string::npos) return {nullptr, EINVAL};
  // Shared for deleting too, so that the new file can take the name.
  const OpenedHandle opened = openExistingFile(path, GENERIC_WRITE);
  if (opened.error != 0) return {nullptr, opened.error};
  return {std::make_unique<OutputFile>(reinterpret_cast<std::intptr_t>(opened.handle)), 0};
}

OutputFile::~OutputFile() {
  CloseHandle(handleOf(handle_));
}

OutputFile::Status OutputFile::status() const {
  const HANDLE handle = handleOf(handle_);
  if (GetFileType(handle) != FILE_TYPE_DISK) return {0, false, 0, 0};
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle, &size)) return {.error = lastErrorNumber()};
  return {0, true, static_cast<uint64_t>(size.QuadPart), 0};
}

int OutputFile::writeAll(std::string_view bytes) {
  return writeAllTo(handleOf(handle_), bytes);
}

int OutputFile::rewriteInPlace(std::string_view contents) {
  const HANDLE handle = handleOf(handle_);
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(handle, start, nullptr, FILE_BEGIN)) return lastErrorNumber();
  if (const int error = writeAllTo(handle, contents)) return error;
  return SetEndOfFile(handle) ? 0 : lastErrorNumber();
}

// Windows follows no symbolic link here: the file is the one the full path
// names.
FinalFile finalFile(const std::string& path) {
  const std::optional<std::wstring> wide = widePath(path);
  if (!wide || wide->empty()) return {.error = ENOENT};
  const DWORD length = GetFullPathNameW(wide->c_str(), 0, nullptr, nullptr);
  if (length == 0) return {.error = lastErrorNumber()};
  std::wstring full(length, L'\0');
  const DWORD written = GetFullPathNameW(wide->c_str(), length, full.data(), nullptr);
  if (written == 0 || written >= length) return {.error = lastErrorNumber()};
  full.resize(written);
  WideFolderAndName parts = splitWidePath(full);
  // A path that ends in a separator names no file to make.
  if (parts.name.empty()) return {.error = ENOENT};
  const std::string folder = utf8Text(parts.folder);
  const std::optional<std::wstring> wideFolder = widePath(folder);
  const DWORD attributes =
      wideFolder ? GetFileAttributesW(wideFolder->c_str()) : INVALID_FILE_ATTRIBUTES;
  if (attributes == INVALID_FILE_ATTRIBUTES) return {.error = ENOENT};
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return {.error = ENOTDIR};
  return {0, folder, utf8Text(parts.name)};
}

// Whether a folder takes a new file shows only when one is made: the
// temporary file reports that.
int folderAllowsNewFile(const std::string& folder) {
  const std::optional<std::wstring> wide = widePath(folder);
  if (!wide) return ENOENT;
  const DWORD attributes = GetFileAttributesW(wide->c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return lastErrorNumber();
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? 0 : ENOTDIR;
}

}  // namespace vozo::platform
