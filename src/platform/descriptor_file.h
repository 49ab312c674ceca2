#pragma once
// A file open for reading through a POSIX file descriptor, for a library
// that reads through one (libelf, in vozo-size). POSIX hosts only: the
// program that uses it is built for Linux only.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/files.h"

namespace vozo::platform {

class DescriptorFile {
 public:
  using Opened = OpenedFile<DescriptorFile>;
  // Opens without waiting: a FIFO opens at once, and then is no regular file.
  static Opened open(const std::string& path);

  explicit DescriptorFile(int descriptor) : descriptor_(descriptor) {}
  ~DescriptorFile();
  DescriptorFile(const DescriptorFile&) = delete;
  DescriptorFile& operator=(const DescriptorFile&) = delete;

  int descriptor() const { return descriptor_; }
  // The kind and size of the open file.
  FileStatus status() const;
  // Up to `size` bytes from `offset`; fewer at the file's end or on an error.
  std::string readAt(uint64_t offset, size_t size) const;

 private:
  int descriptor_;
};

}  // namespace vozo::platform
