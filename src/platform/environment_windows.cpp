#include "platform/environment.h"
#include "platform/windows_system.h"

namespace vozo::platform {

std::optional<std::string> environmentVariable(const char* name) {
  const std::wstring wideName(name, name + std::char_traits<char>::length(name));
  const DWORD length = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  if (length == 0) return std::nullopt;
  std::wstring value(length, L'\0');
  const DWORD written = GetEnvironmentVariableW(wideName.c_str(), value.data(), length);
  if (written >= length) return std::nullopt;
  value.resize(written);
  return utf8Text(value);
}

std::time_t currentTime() {
  return std::time(nullptr);
}

bool localTime(std::time_t time, std::tm& local) {
  return localtime_s(&local, &time) == 0;
}

}  // namespace vozo::platform
