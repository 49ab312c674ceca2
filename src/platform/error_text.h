#pragma once
// The text of a system error number, as vozo's messages show it.
//
// Error numbers are the C library's errno values (ENOENT, EACCES, ...) on
// every host: the Windows implementation turns the system's own codes into
// them, and gives each the same text as on Linux, so that a message reads
// the same wherever vozo runs.

#include <string>

namespace vozo::platform {

std::string errorText(int error);

}  // namespace vozo::platform
