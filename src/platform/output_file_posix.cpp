#include "platform/output_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/canonical_path.h"
#include "platform/posix_descriptors.h"

namespace vozo::platform {
namespace {

int descriptorOf(std::intptr_t handle) {
  return static_cast<int>(handle);
}

FinalFile splitPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {0, ".", path};
  return {0, slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

}  // namespace

OutputFile::Opened OutputFile::openExisting(const std::string& path) {
  // A path with a NUL byte would name a different file.
  if (path.find('\0') != std::string::npos) return {nullptr, EINVAL};
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (descriptor < 0) return {nullptr, errno};
  return {std::make_unique<OutputFile>(descriptor), 0};
}

OutputFile::~OutputFile() {
  ::close(descriptorOf(handle_));
}

OutputFile::Status OutputFile::status() const {
  struct stat status;
  if (::fstat(descriptorOf(handle_), &status) != 0) return {.error = errno};
  return {0, S_ISREG(status.st_mode), static_cast<uint64_t>(status.st_size),
          static_cast<unsigned>(status.st_mode & 07777)};
}

int OutputFile::writeAll(std::string_view bytes) {
  return platform::writeAll(descriptorOf(handle_), bytes);
}

int OutputFile::rewriteInPlace(std::string_view contents) {
  const int descriptor = descriptorOf(handle_);
  const auto size = static_cast<off_t>(contents.size());
  if (size != 0 && ::fallocate(descriptor, FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
      errno != EOPNOTSUPP && errno != ENOSYS) {
    return errno;
  }
  if (const int error = platform::writeAll(descriptor, contents)) return error;
  return ::ftruncate(descriptor, size) == 0 ? 0 : errno;
}

FinalFile finalFile(const std::string& path) {
  std::string current = path;
  // As many links as the system follows in one path.
  constexpr int kMaxLinks = 40;
  for (int links = 0; links <= kMaxLinks; ++links) {
    if (std::optional<std::string> resolved = canonicalPath(current)) return splitPath(*resolved);
    if (errno != ENOENT) return {.error = errno};
    FinalFile parts = splitPath(current);
    // An empty path, or one that ends in "/", names no file to make.
    if (parts.name.empty()) return {.error = errno};
    std::optional<std::string> folder = canonicalPath(parts.folder);
    if (!folder) return {.error = errno};
    parts.folder = *folder;
    const std::string file = (parts.folder == "/" ? "" : parts.folder) + "/" + parts.name;
    char target[PATH_MAX];
    const ssize_t length = ::readlink(file.c_str(), target, sizeof target);
    if (length < 0 || static_cast<size_t>(length) == sizeof target) return parts;
    current.assign(target, static_cast<size_t>(length));
    if (current.front() != '/') current = parts.folder + "/" + current;
  }
  return {.error = ELOOP};
}

int folderAllowsNewFile(const std::string& folder) {
  return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0 ? 0 : errno;
}

}  // namespace vozo::platform
