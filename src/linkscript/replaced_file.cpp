#include "linkscript/replaced_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>

#include "expr/h_exception.h"
#include "linkscript/temporary_file.h"

namespace vozo {
namespace {

[[noreturn]] void failOpen(const std::string& path, int error) {
  throw HException("cannot open " + path + " for writing", error);
}

[[noreturn]] void failWrite(const std::string& path, int error) {
  throw HException("cannot write " + path, error);
}

bool writeAll(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return false;
    if (written == 0) {
      errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// True when the file at `path` holds exactly `contents`.
bool holdsExactly(const std::string& path, std::string_view contents, off_t size) {
  if (size < 0 || static_cast<size_t>(size) != contents.size()) return false;
  int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return false;
  // A script of a few pages is read in pieces into the stack, which the run
  // has already touched this deep: a fresh heap buffer would cost a page
  // fault per page, more than the reads. A large one goes through a larger
  // buffer, so that the reads stay few. Neither is zero-filled, since the
  // reads overwrite what is compared.
  constexpr size_t kLargeBuffer = 64 * 1024;
  char stackBuffer[4096];
  std::unique_ptr<char[]> heapBuffer;
  std::span<char> buffer(stackBuffer);
  if (contents.size() >= kLargeBuffer) {
    heapBuffer = std::make_unique_for_overwrite<char[]>(kLargeBuffer);
    buffer = std::span<char>(heapBuffer.get(), kLargeBuffer);
  }
  bool same = true;
  while (same) {
    ssize_t got = ::read(descriptor, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      same = got == 0 && contents.empty();
      break;
    }
    std::string_view chunk(buffer.data(), static_cast<size_t>(got));
    same = contents.starts_with(chunk);
    contents.remove_prefix(chunk.size());
  }
  ::close(descriptor);
  return same;
}

// Gives the open regular file `descriptor` the bytes `contents` where it is,
// for a folder that allows no temporary file. The space is reserved first,
// so that a full disk fails before the old bytes are touched.
bool rewriteInPlace(int descriptor, std::string_view contents) {
  const auto size = static_cast<off_t>(contents.size());
  if (size != 0 && ::fallocate(descriptor, FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
      errno != EOPNOTSUPP && errno != ENOSYS) {
    return false;
  }
  return writeAll(descriptor, contents) && ::ftruncate(descriptor, size) == 0;
}

struct FolderAndName {
  std::string folder;
  std::string name;
};

FolderAndName splitPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::optional<std::string> realPath(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                       &std::free);
  if (!resolved) return std::nullopt;
  return std::string(resolved.get());
}

// The file that writing to `path` changes, as a folder without symbolic links
// and a name in it: a symbolic link is followed, even one whose target does
// not exist yet. Nothing, with errno set, when the folder does not exist.
std::optional<FolderAndName> finalFile(const std::string& path) {
  std::string current = path;
  // As many links as the system follows in one path.
  constexpr int kMaxLinks = 40;
  for (int links = 0; links <= kMaxLinks; ++links) {
    if (std::optional<std::string> resolved = realPath(current)) return splitPath(*resolved);
    if (errno != ENOENT) return std::nullopt;
    FolderAndName parts = splitPath(current);
    // An empty path, or one that ends in "/", names no file to make.
    if (parts.name.empty()) return std::nullopt;
    std::optional<std::string> folder = realPath(parts.folder);
    if (!folder) return std::nullopt;
    parts.folder = *folder;
    const std::string file = (parts.folder == "/" ? "" : parts.folder) + "/" + parts.name;
    char target[PATH_MAX];
    const ssize_t length = ::readlink(file.c_str(), target, sizeof target);
    if (length < 0 || static_cast<size_t>(length) == sizeof target) return parts;
    current.assign(target, static_cast<size_t>(length));
    if (current.front() != '/') current = parts.folder + "/" + current;
  }
  errno = ELOOP;
  return std::nullopt;
}

}  // namespace

ReplacedFile::ReplacedFile(std::string path) : path_(std::move(path)) {
  // A path with a NUL byte would name a different file.
  if (path_.find('\0') != std::string::npos) failOpen(path_, EINVAL);
  // Neither O_CREAT nor O_TRUNC: a run that is killed before its text is
  // complete must leave the old file as it was, or no file.
  descriptor_ = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
  if (descriptor_ >= 0) return;
  if (errno != ENOENT) failOpen(path_, errno);
  if (!resolveFinalFile()) failOpen(path_, errno);
  if (::faccessat(AT_FDCWD, finalFolder_.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
    failOpen(path_, errno);
  }
}

bool ReplacedFile::resolveFinalFile() {
  if (finalFileResolved_) return true;
  std::optional<FolderAndName> file = finalFile(path_);
  if (!file) return false;
  finalFolder_ = std::move(file->folder);
  finalName_ = std::move(file->name);
  finalFileResolved_ = true;
  return true;
}

ReplacedFile::~ReplacedFile() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

void ReplacedFile::write(std::string_view contents) {
  std::optional<mode_t> existingMode;
  if (descriptor_ >= 0) {
    struct stat status;
    if (::fstat(descriptor_, &status) != 0) failWrite(path_, errno);
    if (!S_ISREG(status.st_mode)) {
      if (!writeAll(descriptor_, contents)) failWrite(path_, errno);
      return;
    }
    if (holdsExactly(path_, contents, status.st_size)) {
      if (resolveFinalFile()) TemporaryFile::removeLeftOver(finalFolder_, finalName_);
      return;
    }
    existingMode = status.st_mode & 07777;
  }

  if (!resolveFinalFile()) failWrite(path_, errno);
  std::unique_ptr<TemporaryFile> temporary = TemporaryFile::create(finalFolder_, finalName_);
  if (!temporary) {
    const int error = errno;
    if (descriptor_ < 0 || !rewriteInPlace(descriptor_, contents)) {
      failWrite(path_, descriptor_ < 0 ? error : errno);
    }
    return;
  }
  // The new file gets the mode the output has.
  if ((existingMode && ::fchmod(temporary->descriptor(), *existingMode) != 0) ||
      !writeAll(temporary->descriptor(), contents) || !temporary->becomeOutput(finalName_)) {
    failWrite(path_, errno);
  }
}

void replaceFileContents(const std::string& path, std::string_view contents) {
  ReplacedFile(path).write(contents);
}

}  // namespace vozo
