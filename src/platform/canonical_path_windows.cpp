#include "platform/canonical_path.h"
#include "platform/windows_system.h"

namespace vozo::platform {

std::optional<std::string> canonicalPath(const std::string& path) {
  const std::optional<std::wstring> wide = widePath(path);
  if (!wide) return std::nullopt;
  // The system's own name of the open file: links resolved, one spelling for
  // every way of naming it. A folder opens with backup semantics.
  HandleOwner file(CreateFileW(wide->c_str(), 0,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return std::nullopt;
  const DWORD length = GetFinalPathNameByHandleW(file.get(), nullptr, 0, FILE_NAME_NORMALIZED);
  if (length == 0) return std::nullopt;
  std::wstring name(length, L'\0');
  const DWORD written =
      GetFinalPathNameByHandleW(file.get(), name.data(), length, FILE_NAME_NORMALIZED);
  if (written == 0 || written >= length) return std::nullopt;
  name.resize(written);
  if (name.starts_with(L"\\\\?\\UNC\\")) {
    name = L"\\\\" + name.substr(8);
  } else if (name.starts_with(L"\\\\?\\")) {
    name.erase(0, 4);
  }
  return utf8Text(name);
}

}  // namespace vozo::platform
