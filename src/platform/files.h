#pragma once
// Reading input files and asking about files by path.
//
// Every function takes a UTF-8 path as the command line or an input gave it
// and reports a failure as an errno value (platform/error_text.h), 0 for none.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vozo::platform {

enum class FileKind { Regular, Directory, Other };

struct FileStatus {
  int error = 0;
  // Other: a pipe, a terminal or another device.
  FileKind kind = FileKind::Other;
  uint64_t size = 0;
  // Last modification, in seconds since 1970 (UTC).
  int64_t modified = 0;
};

// The status of the file `path` names, symbolic links followed.
FileStatus fileStatus(const std::string& path);

// Whether both paths name one existing file (a link to a file is that
// file).
bool sameFile(const std::string& first, const std::string& second);

// Whether this process may write the file at `path`.
bool isWritable(const std::string& path);

// Removes the file at `path` if there is one; failures are ignored.
void removeFile(const std::string& path);

// A file that opened, or the errno value of why it did not.
template <typename File>
struct OpenedFile {
  std::unique_ptr<File> file;
  int error = 0;
};

// A file open for reading, as any program opens one: a FIFO waits for its
// writer.
class InputFile {
 public:
  using Opened = OpenedFile<InputFile>;
  // A directory does not open (EISDIR), nor does a path with a NUL byte
  // inside (ENOENT).
  static Opened open(const std::string& path);

  InputFile(std::intptr_t handle, bool regular, uint64_t size);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // A regular file has a size to go by; a pipe or a device is read to its end.
  bool isRegular() const { return regular_; }
  uint64_t size() const { return size_; }

  struct Read {
    size_t count = 0;
    int error = 0;
  };
  // Reads until the file's end or until `size` bytes are in.
  Read read(char* bytes, size_t size);

 private:
  std::intptr_t handle_;
  bool regular_;
  uint64_t size_;
};

}  // namespace vozo::platform
