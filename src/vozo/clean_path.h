#pragma once
// Lexical path cleaning and the removal of a partly written output file.

#include <string>
#include <string_view>

namespace vozo {

// Cleans a path without looking at the file system: it is split at "/";
// empty components (except a leading one, so an absolute path stays
// absolute) and "." components are dropped; ".." removes the last kept name
// component, and stays when there is none to remove (a ".." never cancels an
// earlier ".."); the rest is joined with "/".
//   cleanPath("a//b/./c/../d") == "a/b/d"
//   cleanPath("../../x")       == "../../x"
//   cleanPath("/a/..")         == "/"
std::string cleanPath(std::string_view path);

// Removes the file at the cleaned `path` if something exists there. Failures
// are ignored: this runs while another failure is being reported.
void removeFileIfPresent(std::string_view path);

}  // namespace vozo
