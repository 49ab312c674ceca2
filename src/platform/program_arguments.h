#pragma once
// The command line as vozo reads it.

#include <string>
#include <vector>

namespace vozo::platform {

// The arguments after the program's name, in UTF-8. On POSIX hosts those of
// `argv`; on Windows those the system holds in UTF-16, since `argv` there
// is in the local code page, which cannot hold every file name.
std::vector<std::string> programArguments(int argc, char** argv);

}  // namespace vozo::platform
