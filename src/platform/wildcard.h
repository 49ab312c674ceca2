#pragma once
// Shell wildcard matching of a whole text, as the C library's fnmatch does
// without flags and without escapes: "*" any run of bytes, "?" one byte,
// "[...]" one byte of a set ("[!...]" or "[^...]" of the bytes not in it,
// with ranges "a-z" and classes "[:digit:]"); "/" and a leading "." are
// ordinary bytes, "\" stands for itself.

#include <string>

namespace vozo::platform {

bool wildcardMatches(const std::string& pattern, const std::string& text);

}  // namespace vozo::platform
