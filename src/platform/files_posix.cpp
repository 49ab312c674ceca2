#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix_descriptors.h"

namespace vozo::platform {

FileStatus fileStatus(const std::string& path) {
  struct stat status;
  if (::stat(path.c_str(), &status) != 0) {
    FileStatus failed;
    failed.error = errno;
    return failed;
  }
  return fileStatusOf(status);
}

bool sameFile(const std::string& first, const std::string& second) {
  struct stat a;
  struct stat b;
  return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
         a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool isWritable(const std::string& path) {
  return ::access(path.c_str(), W_OK) == 0;
}

void removeFile(const std::string& path) {
  struct stat status;
  if (::lstat(path.c_str(), &status) == 0) ::unlink(path.c_str());
}

InputFile::Opened InputFile::open(const std::string& path) {
  if (path.find('\0') != std::string::npos) return {nullptr, ENOENT};
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return {nullptr, errno};
  struct stat status;
  int error = 0;
  if (::fstat(descriptor, &status) != 0) {
    error = errno;
  } else if (S_ISDIR(status.st_mode)) {
    error = EISDIR;
  }
  if (error != 0) {
    ::close(descriptor);
    return {nullptr, error};
  }
  return {std::make_unique<InputFile>(descriptor, S_ISREG(status.st_mode),
                                      static_cast<uint64_t>(status.st_size)),
          0};
}

InputFile::InputFile(std::intptr_t handle, bool regular, uint64_t size)
    : handle_(handle), regular_(regular), size_(size) {}

InputFile::~InputFile() {
  ::close(static_cast<int>(handle_));
}

InputFile::Read InputFile::read(char* bytes, size_t size) {
  const long got = readUpTo(static_cast<int>(handle_), bytes, size);
  if (got < 0) return {0, errno};
  return {static_cast<size_t>(got), 0};
}

}  // namespace vozo::platform
