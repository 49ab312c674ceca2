#pragma once
// An output file that is replaced as a whole, never rewritten in place.
//
// Opening checks at once that the path can be written (creating an empty
// file when there is none), so an unwritable output fails before any work is
// done. write() then puts the new contents into a temporary file beside the
// output and renames it over the output: a crash or a full disk leaves either
// the old file or the new one, never a partial one. When the file already
// holds exactly the new bytes it is left alone, time stamp included, so an
// unchanged output does not make a build redo the steps that depend on it.
// A path that names something other than a regular file (a terminal, a pipe,
// /dev/null) is written to directly.

#include <string>
#include <string_view>

namespace vozo {

class ReplacedFile {
 public:
  // Throws HException "cannot open <path> for writing".
  explicit ReplacedFile(std::string path);
  ~ReplacedFile();
  ReplacedFile(const ReplacedFile&) = delete;
  ReplacedFile& operator=(const ReplacedFile&) = delete;

  // Gives the file `contents`. Throws HException "cannot write <path>"; the
  // temporary file is removed then.
  void write(std::string_view contents);

 private:
  std::string path_;
  int descriptor_ = -1;
};

// Opens `path` and writes `contents` in one go.
void replaceFileContents(const std::string& path, std::string_view contents);

}  // namespace vozo
