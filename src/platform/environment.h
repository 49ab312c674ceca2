#pragma once
// The environment and the local clock.

#include <ctime>
#include <optional>
#include <string>

namespace vozo::platform {

// The value of the environment variable `name`, or nothing when it is not
// set.
std::optional<std::string> environmentVariable(const char* name);

// The time now, in seconds since 1970 (UTC).
std::time_t currentTime();

// The local time of `time` in `local`; false when the system cannot tell.
bool localTime(std::time_t time, std::tm& local);

}  // namespace vozo::platform
