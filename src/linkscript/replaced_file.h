#pragma once
// An output file that is replaced as a whole.
//
// Opening checks at once that the path can be written, so an unwritable
// output fails before any work is done, but creates or changes nothing: an
// existing file is opened for writing without truncating it, and for a
// missing one the folder must allow a new file. write() then puts the new
// contents into a temporary file beside the output (see temporary_file.h)
// and renames it over the output: a run that is killed or fails at any
// moment leaves the old file or the new one, never an empty or partial one.
// When the file already holds exactly the new bytes it is left alone, time
// stamp included, so an unchanged output does not make a build redo the
// steps that depend on it.
//
// A symbolic link is followed: its target gets the new contents and the link
// stays. A path that names something other than a regular file (a terminal,
// a pipe, /dev/null) is written to directly. A file that can be written in a
// folder that allows no new file is rewritten in place; only then can a run
// killed while writing leave a partial file.

#include <memory>
#include <string>
#include <string_view>

#include "platform/output_file.h"

namespace vozo {

class ReplacedFile {
 public:
  // Throws HException "cannot open <path> for writing", with the system's
  // error number.
  explicit ReplacedFile(std::string path);
  ~ReplacedFile();
  ReplacedFile(const ReplacedFile&) = delete;
  ReplacedFile& operator=(const ReplacedFile&) = delete;

  // Gives the file `contents`. Throws HException "cannot write <path>", with
  // the system's error number; the temporary file is removed then.
  void write(std::string_view contents);

 private:
  // The folder (without symbolic links) and the name of the file that
  // writing to the path changes; the errno value when the folder does not
  // exist, else 0. Resolved once, when first needed.
  int resolveFinalFile();

  std::string path_;
  // The existing file, open for writing; null when there was none.
  std::unique_ptr<platform::OutputFile> existing_;
  bool finalFileResolved_ = false;
  std::string finalFolder_;
  std::string finalName_;
};

// Opens `path` and writes `contents` in one go.
void replaceFileContents(const std::string& path, std::string_view contents);

}  // namespace vozo
