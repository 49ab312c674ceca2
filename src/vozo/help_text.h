#pragma once
// What --help and --version print, on standard output.

#include <string>

namespace vozo {

// The usage text followed by the options it does not list.
std::string helpText();

// "vozo <version>\n".
std::string versionText();

}  // namespace vozo
