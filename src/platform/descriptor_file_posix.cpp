#include "platform/descriptor_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include "platform/posix_descriptors.h"

namespace vozo::platform {

DescriptorFile::Opened DescriptorFile::open(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return {nullptr, errno};
  return {std::make_unique<DescriptorFile>(descriptor), 0};
}

DescriptorFile::~DescriptorFile() {
  ::close(descriptor_);
}

FileStatus DescriptorFile::status() const {
  struct stat status;
  if (::fstat(descriptor_, &status) != 0) {
    FileStatus failed;
    failed.error = errno;
    return failed;
  }
  return fileStatusOf(status);
}

std::string DescriptorFile::readAt(uint64_t offset, size_t size) const {
  std::string bytes(size, '\0');
  const ssize_t read = offset <= static_cast<uint64_t>(std::numeric_limits<off_t>::max())
                           ? ::pread(descriptor_, bytes.data(), size, static_cast<off_t>(offset))
                           : 0;
  bytes.resize(read > 0 ? static_cast<size_t>(read) : 0);
  return bytes;
}

}  // namespace vozo::platform
