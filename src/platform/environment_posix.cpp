#include "platform/environment.h"

#include <cstdlib>

namespace vozo::platform {

std::optional<std::string> environmentVariable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::time_t currentTime() {
  return std::time(nullptr);
}

bool localTime(std::time_t time, std::tm& local) {
  return ::localtime_r(&time, &local) != nullptr;
}

}  // namespace vozo::platform
