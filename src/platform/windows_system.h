#pragma once
// What the Windows implementations share: paths in the system's UTF-16 form
// and the system's error codes as errno values. Included by *_windows.cpp
// only.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace vozo::platform {

// `path` (UTF-8, "/" or "\" between its parts) as the wide-character API
// takes it: "\" between the parts, and an absolute path longer than the
// classic limit of 260 characters made absolute and given the "\\?\" prefix,
// which lifts that limit. Nothing when `path` is not valid UTF-8 or holds a
// NUL byte.
std::optional<std::wstring> widePath(std::string_view path);

// The UTF-8 form of a UTF-16 text from the system.
std::string utf8Text(std::wstring_view text);

// The errno value for the system error `code` (GetLastError).
int errorNumberOf(DWORD code);

// The errno value for the last error of the calling thread.
int lastErrorNumber();

// Opens the existing file `path` for `access` (GENERIC_READ or
// GENERIC_WRITE), shared with every other opener, so that others may read,
// write, rename or replace it meanwhile. A folder does not open (EISDIR): it
// would need backup semantics, and on POSIX hosts it fails alike.
struct OpenedHandle {
  HANDLE handle = INVALID_HANDLE_VALUE;
  int error = 0;
};
OpenedHandle openExistingFile(const std::string& path, DWORD access);

// Writes all of `bytes` to `handle`: 0, or the errno value of the failure.
int writeAllTo(HANDLE handle, std::string_view bytes);

// The part of the absolute wide path `path` that names its folder, and the
// part after that. A root keeps its separator ("C:\"); a "\\?\" prefix is
// left out.
struct WideFolderAndName {
  std::wstring folder;
  std::wstring name;
};
WideFolderAndName splitWidePath(std::wstring path);

// A handle that is closed when this goes.
class HandleOwner {
 public:
  explicit HandleOwner(HANDLE handle) : handle_(handle) {}
  ~HandleOwner() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  HandleOwner(const HandleOwner&) = delete;
  HandleOwner& operator=(const HandleOwner&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace vozo::platform
