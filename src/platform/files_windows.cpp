#include <cerrno>

#include "platform/canonical_path.h"
#include "platform/files.h"
#include "platform/windows_system.h"

namespace vozo::platform {
namespace {

// Seconds between 1601-01-01, where file times start, and 1970-01-01.
constexpr int64_t kEpochDifference = 11644473600;

int64_t unixSeconds(const FILETIME& time) {
  const uint64_t ticks = (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
  return static_cast<int64_t>(ticks / 10000000) - kEpochDifference;
}

HANDLE handleOf(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

FileStatus fileStatus(const std::string& path) {
  FileStatus result;
  const std::optional<std::wstring> wide = widePath(path);
  if (!wide) {
    result.error = ENOENT;
    return result;
  }
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(wide->c_str(), GetFileExInfoStandard, &data)) {
    // A device such as NUL or CON has no attributes to ask for, but opens.
    const HANDLE device = CreateFileW(wide->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
      result.error = lastErrorNumber();
      return result;
    }
    CloseHandle(device);
    result.kind = FileKind::Other;
    return result;
  }
  result.kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::Directory
                                                                        : FileKind::Regular;
  result.size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  result.modified = unixSeconds(data.ftLastWriteTime);
  return result;
}

bool sameFile(const std::string& first, const std::string& second) {
  const std::optional<std::string> a = canonicalPath(first);
  return a && a == canonicalPath(second);
}

bool isWritable(const std::string& path) {
  const std::optional<std::wstring> wide = widePath(path);
  if (!wide) return false;
  const DWORD attributes = GetFileAttributesW(wide->c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) == 0;
}

void removeFile(const std::string& path) {
  if (const std::optional<std::wstring> wide = widePath(path)) DeleteFileW(wide->c_str());
}

InputFile::Opened InputFile::open(const std::string& path) {
  const OpenedHandle opened = openExistingFile(path, GENERIC_READ);
  if (opened.error != 0) return {nullptr, opened.error};
  const HANDLE handle = opened.handle;
  const bool regular = GetFileType(handle) == FILE_TYPE_DISK;
  LARGE_INTEGER size{};
  if (regular && !GetFileSizeEx(handle, &size)) {
    const int error = lastErrorNumber();
    CloseHandle(handle);
    return {nullptr, error};
  }
  return {std::make_unique<InputFile>(reinterpret_cast<std::intptr_t>(handle), regular,
                                      static_cast<uint64_t>(size.QuadPart)),
          0};
}

InputFile::InputFile(std::intptr_t handle, bool regular, uint64_t size)
    : handle_(handle), regular_(regular), size_(size) {}

InputFile::~InputFile() {
  CloseHandle(handleOf(handle_));
}

InputFile::Read InputFile::read(char* bytes, size_t size) {
  size_t got = 0;
  while (got < size) {
    constexpr size_t kLargestRead = 1 << 30;
    const DWORD wanted = static_cast<DWORD>(std::min(size - got, kLargestRead));
    DWORD read = 0;
    if (!ReadFile(handleOf(handle_), bytes + got, wanted, &read, nullptr)) {
      // A pipe whose writer has gone is at its end.
      if (GetLastError() == ERROR_BROKEN_PIPE) break;
      return {got, lastErrorNumber()};
    }
    if (read == 0) break;
    got += read;
  }
  return {got, 0};
}

}  // namespace vozo::platform
