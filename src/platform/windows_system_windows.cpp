#include "platform/windows_system.h"

#include <algorithm>
#include <cerrno>

namespace vozo::platform {
namespace {

// Paths from this length on get the "\\?\" prefix: the classic limit is 260
// characters with the terminating NUL, and a folder's name must leave room
// for a file name of 8.3 characters in it (248).
constexpr size_t kLongPath = 248;

std::optional<std::wstring> wideText(std::string_view text) {
  if (text.empty()) return std::wstring();
  if (text.find('\0') != std::string_view::npos) return std::nullopt;
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                         static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                      wide.data(), length);
  return wide;
}

}  // namespace

std::optional<std::wstring> widePath(std::string_view path) {
  std::optional<std::wstring> wide = wideText(path);
  if (!wide) return std::nullopt;
  for (wchar_t& c : *wide) {
    if (c == L'/') c = L'\\';
  }
  if (wide->size() < kLongPath || wide->starts_with(L"\\\\?\\")) return wide;
  // A long path: made absolute ("." and ".." resolved, which the prefix
  // would no longer do), then prefixed.
  const DWORD length = GetFullPathNameW(wide->c_str(), 0, nullptr, nullptr);
  if (length == 0) return wide;
  std::wstring full(length, L'\0');
  const DWORD written = GetFullPathNameW(wide->c_str(), length, full.data(), nullptr);
  if (written == 0 || written >= length) return wide;
  full.resize(written);
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::string utf8Text(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), length,
                      nullptr, nullptr);
  return utf8;
}

int errorNumberOf(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_CANNOT_MAKE:
      return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
      return EPIPE;
    case ERROR_NOT_SAME_DEVICE:
      return EXDEV;
    case ERROR_DIR_NOT_EMPTY:
      return ENOTEMPTY;
    case ERROR_INVALID_PARAMETER:
      return EINVAL;
    case ERROR_BUSY:
      return EBUSY;
    default:
      return EIO;
  }
}

OpenedHandle openExistingFile(const std::string& path, DWORD access) {
  const std::optional<std::wstring> wide = widePath(path);
  if (!wide) return {INVALID_HANDLE_VALUE, ENOENT};
  const DWORD attributes = GetFileAttributesW(wide->c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return {INVALID_HANDLE_VALUE, EISDIR};
  }
  const HANDLE handle =
      CreateFileW(wide->c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {INVALID_HANDLE_VALUE, lastErrorNumber()};
  return {handle, 0};
}

int writeAllTo(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    constexpr size_t kLargestWrite = 1 << 30;
    const DWORD wanted = static_cast<DWORD>(std::min(bytes.size(), kLargestWrite));
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data(), wanted, &written, nullptr)) return lastErrorNumber();
    if (written == 0) return EIO;
    bytes.remove_prefix(written);
  }
  return 0;
}

WideFolderAndName splitWidePath(std::wstring path) {
  if (path.starts_with(L"\\\\?\\UNC\\")) {
    path = L"\\\\" + path.substr(8);
  } else if (path.starts_with(L"\\\\?\\")) {
    path.erase(0, 4);
  }
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {L".", path};
  const bool driveRoot = slash == 2 && path[1] == L':';
  return {path.substr(0, driveRoot || slash == 0 ? slash + 1 : slash), path.substr(slash + 1)};
}

int lastErrorNumber() {
  return errorNumberOf(GetLastError());
}

}  // namespace vozo::platform
