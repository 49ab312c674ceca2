#include "platform/posix_descriptors.h"

#include <unistd.h>

#include <cerrno>

namespace vozo::platform {

long readUpTo(int descriptor, char* bytes, size_t size) {
  size_t got = 0;
  while (got < size) {
    const ssize_t read = ::read(descriptor, bytes + got, size - got);
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) return -1;
    if (read == 0) break;
    got += static_cast<size_t>(read);
  }
  return static_cast<long>(got);
}

int writeAll(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return errno;
    if (written == 0) return EIO;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return 0;
}

FileStatus fileStatusOf(const struct stat& status) {
  FileStatus result;
  result.kind = S_ISREG(status.st_mode)   ? FileKind::Regular
                : S_ISDIR(status.st_mode) ? FileKind::Directory
                                          : FileKind::Other;
  result.size = static_cast<uint64_t>(status.st_size);
  result.modified = static_cast<int64_t>(status.st_mtime);
  return result;
}

}  // namespace vozo::platform
