#include "report_output.h"

#include <cerrno>

#include "platform/error_text.h"
#include "platform/files.h"
#include "size/printable_text.h"

namespace vozo::size {

namespace {

std::string reason(int error) {
  return error != 0 ? platform::errorText(error) : "an unknown error";
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
  const platform::FileStatus status = platform::fileStatus(path);
  const bool regular = status.error == 0 && status.kind == platform::FileKind::Regular;
  std::optional<std::string> failure = writeWhole(file, text);
  errno = 0;
  if (std::fclose(file) != 0 && !failure) failure = reason(errno);
  // A device or FIFO is not ours to remove.
  if (failure && regular) std::remove(path.c_str());
  return failure;
}

void printError(std::string_view where, std::string_view message) {
  std::fprintf(stderr, "%s: error: %s\n", printableText(where).c_str(),
               printableText(message).c_str());
}

}  // namespace vozo::size
