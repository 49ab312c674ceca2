#include "linkscript/replaced_file.h"

#include <cerrno>
#include <memory>
#include <optional>
#include <span>

#include "expr/h_exception.h"
#include "platform/files.h"
#include "platform/temporary_file.h"

namespace vozo {
namespace {

[[noreturn]] void failOpen(const std::string& path, int error) {
  throw HException("cannot open " + path + " for writing", error);
}

[[noreturn]] void failWrite(const std::string& path, int error) {
  throw HException("cannot write " + path, error);
}

// True when the file at `path` holds exactly `contents`.
bool holdsExactly(const std::string& path, std::string_view contents, uint64_t size) {
  if (size != contents.size()) return false;
  platform::InputFile::Opened opened = platform::InputFile::open(path);
  if (!opened.file) return false;
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
  for (;;) {
    const platform::InputFile::Read got = opened.file->read(buffer.data(), buffer.size());
    if (got.error != 0) return false;
    std::string_view chunk(buffer.data(), got.count);
    if (!contents.starts_with(chunk)) return false;
    contents.remove_prefix(chunk.size());
    // A short read is the file's end.
    if (got.count < buffer.size()) return contents.empty();
  }
}

}  // namespace

ReplacedFile::ReplacedFile(std::string path) : path_(std::move(path)) {
  platform::OutputFile::Opened opened = platform::OutputFile::openExisting(path_);
  existing_ = std::move(opened.file);
  if (existing_) return;
  if (opened.error != ENOENT) failOpen(path_, opened.error);
  if (const int error = resolveFinalFile()) failOpen(path_, error);
  if (const int error = platform::folderAllowsNewFile(finalFolder_)) failOpen(path_, error);
}

int ReplacedFile::resolveFinalFile() {
  if (finalFileResolved_) return 0;
  platform::FinalFile file = platform::finalFile(path_);
  if (file.error != 0) return file.error;
  finalFolder_ = std::move(file.folder);
  finalName_ = std::move(file.name);
  finalFileResolved_ = true;
  return 0;
}

ReplacedFile::~ReplacedFile() = default;

void ReplacedFile::write(std::string_view contents) {
  std::optional<unsigned> existingMode;
  if (existing_) {
    const platform::OutputFile::Status status = existing_->status();
    if (status.error != 0) failWrite(path_, status.error);
    if (!status.regular) {
      if (const int error = existing_->writeAll(contents)) failWrite(path_, error);
      return;
    }
    if (holdsExactly(path_, contents, status.size)) {
      if (resolveFinalFile() == 0) {
        platform::TemporaryFile::removeLeftOver(finalFolder_, finalName_);
      }
      return;
    }
    existingMode = status.mode;
  }

  if (const int error = resolveFinalFile()) failWrite(path_, error);
  // The output is not held open while the temporary file is made and takes
  // its place: Windows cannot replace a file that is open, and another run
  // for the same output may be waiting for this one's temporary name.
  existing_.reset();
  platform::TemporaryFile::Created temporary =
      platform::TemporaryFile::create(finalFolder_, finalName_);
  if (!temporary.file) {
    // A folder that allows no new file: an existing output is rewritten in
    // place.
    if (!existingMode) failWrite(path_, temporary.error);
    platform::OutputFile::Opened again = platform::OutputFile::openExisting(path_);
    if (!again.file) failWrite(path_, again.error);
    if (const int error = again.file->rewriteInPlace(contents)) failWrite(path_, error);
    return;
  }
  // The new file gets the mode the output has.
  int error = existingMode ? temporary.file->setMode(*existingMode) : 0;
  if (error == 0) error = temporary.file->write(contents);
  if (error == 0) error = temporary.file->becomeOutput(finalName_);
  if (error != 0) failWrite(path_, error);
}

void replaceFileContents(const std::string& path, std::string_view contents) {
  ReplacedFile(path).write(contents);
}

}  // namespace vozo
