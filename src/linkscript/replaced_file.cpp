#include "linkscript/replaced_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <span>

#include "linkscript/h_exception.h"

namespace vozo {
namespace {

bool writeAll(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
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

// The file a path finally names: a symbolic link is replaced at its target,
// so the link stays.
std::string resolvedPath(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                       &std::free);
  return resolved ? std::string(resolved.get()) : path;
}

}  // namespace

ReplacedFile::ReplacedFile(std::string path) : path_(std::move(path)) {
  // A path with a NUL byte would name a different file. No O_TRUNC: the old
  // contents stay until the new ones are complete.
  if (path_.find('\0') == std::string::npos) {
    descriptor_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  }
  if (descriptor_ < 0) throw HException("cannot open " + path_ + " for writing");
}

ReplacedFile::~ReplacedFile() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

void ReplacedFile::write(std::string_view contents) {
  const HException failure("cannot write " + path_);
  struct stat status;
  if (::fstat(descriptor_, &status) != 0) throw failure;
  if (!S_ISREG(status.st_mode)) {
    if (!writeAll(descriptor_, contents)) throw failure;
    return;
  }
  const std::string target = resolvedPath(path_);
  if (holdsExactly(target, contents, status.st_size)) return;

  std::string temporary = target + ".tmpXXXXXX";
  int descriptor = ::mkstemp(temporary.data());
  if (descriptor < 0) throw failure;
  // The new file gets the mode the output has (or was created with).
  bool ok = ::fchmod(descriptor, status.st_mode & 07777) == 0 && writeAll(descriptor, contents);
  ok = ::close(descriptor) == 0 && ok;
  if (!ok || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    throw failure;
  }
}

void replaceFileContents(const std::string& path, std::string_view contents) {
  ReplacedFile(path).write(contents);
}

}  // namespace vozo
