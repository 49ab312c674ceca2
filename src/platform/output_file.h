#pragma once
// The output side of the file system: an existing output open for writing,
// the file that writing to a path changes, and whether a folder takes a new
// file. The temporary file that replaces an output is in temporary_file.h.
//
// Failures are errno values (platform/error_text.h), 0 for none.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace vozo::platform {

// An existing file open for writing, neither created nor truncated: a run
// that is killed before its text is complete leaves the old file as it was.
class OutputFile {
 public:
  using Opened = OpenedFile<OutputFile>;
  // ENOENT when there is no file at `path`.
  static Opened openExisting(const std::string& path);

  explicit OutputFile(std::intptr_t handle) : handle_(handle) {}
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  struct Status {
    int error = 0;
    // Not regular: a terminal, a pipe, a device such as /dev/null or NUL.
    bool regular = false;
    uint64_t size = 0;
    // The permission bits, for the file that replaces this one.
    unsigned mode = 0;
  };
  Status status() const;

  // Writes `bytes` where the file stands (a terminal, a pipe, a device).
  int writeAll(std::string_view bytes);

  // Gives the regular file the bytes `contents` where it is, for a folder
  // that allows no temporary file. The space is reserved first where the
  // file system can, so that a full disk fails before the old bytes are
  // touched.
  int rewriteInPlace(std::string_view contents);

 private:
  std::intptr_t handle_;
};

struct FinalFile {
  int error = 0;
  std::string folder{};
  std::string name{};
};

// The file that writing to `path` changes, as a folder without symbolic links
// and a name in it: a symbolic link is followed, even one whose target does
// not exist yet. An error when the folder does not exist.
FinalFile finalFile(const std::string& path);

// 0 when this process may make a file in `folder`, else why not.
int folderAllowsNewFile(const std::string& folder);

}  // namespace vozo::platform
