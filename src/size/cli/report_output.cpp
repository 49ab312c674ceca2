#include "report_output.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "size/printable_text.h"

namespace vozo::size {

namespace {

std::string reason(int error) {
  return error != 0 ? std::strerror(error) : "an unknown error";
}

bool isRegularFile(std::FILE* file) {
  struct stat status;
  return ::fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

std::optional<std::string> writeWhole(std::FILE* file, std::string_view text) {
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fflush(file) != 0 ||
      std::ferror(file)) {
    return reason(errno);
  }
  return std::nullopt;
}

std::optional<std::string> writeFile(const std::string& path, std::string_view text) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (!file) return reason(errno);
  const bool regular = isRegularFile(file);
  std::optional<std::string> failure = writeWhole(file, text);
  errno = 0;
  if (std::fclose(file) != 0 && !failure) failure = reason(errno);
  // A device or FIFO is not ours to remove.
  if (failure && regular) std::remove(path.c_str());
  return failure;
}

bool sameFile(const std::string& first, const std::string& second) {
  struct stat a;
  struct stat b;
  return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
         a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void printError(std::string_view where, std::string_view message) {
  std::fprintf(stderr, "%s: error: %s\n", printableText(where).c_str(),
               printableText(message).c_str());
}

}  // namespace vozo::size
