#include <cerrno>
#include <mutex>
#include <utility>

#include "platform/temporary_file.h"
#include "platform/windows_system.h"

namespace vozo::platform {

struct TemporaryFile::State {
  std::string folder;
  // The file's full path; its handle shares nothing, which is the lock.
  std::wstring path;
  HANDLE handle;
  bool renamed = false;
};

namespace {

// The temporary file that exists now, for the console handler, which runs
// on a thread of its own. A run writes its outputs one after the other, so
// there is at most one.
std::mutex gPendingLock;
TemporaryFile::State* gPending = nullptr;

// Ctrl-C, Ctrl-Break, the closing of the console, logoff and shutdown: the
// file goes, then the next handler (the system's, which ends the process)
// takes the event.
BOOL WINAPI removePendingFile(DWORD) {
  std::lock_guard<std::mutex> held(gPendingLock);
  if (gPending != nullptr) {
    CloseHandle(std::exchange(gPending->handle, INVALID_HANDLE_VALUE));
    DeleteFileW(gPending->path.c_str());
    gPending = nullptr;
  }
  return FALSE;
}

void removeOnConsoleEvents(TemporaryFile::State* state) {
  static const bool installed = SetConsoleCtrlHandler(removePendingFile, TRUE) != 0;
  (void)installed;
  std::lock_guard<std::mutex> held(gPendingLock);
  gPending = state;
}

std::optional<std::wstring> temporaryPath(const std::string& folder,
                                          const std::string& outputName) {
  return widePath(folder + "\\" + temporaryName(outputName));
}

// The file at the temporary name was left by a run that was killed (no one
// holds it: it goes), or another run is writing it (its handle shares
// nothing: it stays). True when the name is free now.
bool removeIfLeftOver(const std::wstring& path) {
  return DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

}  // namespace

TemporaryFile::Created TemporaryFile::create(const std::string& folder,
                                             const std::string& outputName) {
  const std::optional<std::wstring> path = temporaryPath(folder, outputName);
  if (!path) return {nullptr, ENOENT};
  // Each turn either makes the file or waits a moment for a run that holds
  // the name; only runs for the same output, started at the same moment,
  // take turns.
  constexpr int kTurns = 3000;
  constexpr DWORD kWaitMilliseconds = 10;
  for (int turn = 0; turn < kTurns; ++turn) {
    const HANDLE handle = CreateFileW(path->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      return {std::make_unique<TemporaryFile>(
                  std::make_unique<State>(State{folder, *path, handle})),
              0};
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      return {nullptr, errorNumberOf(error)};
    }
    if (!removeIfLeftOver(*path)) Sleep(kWaitMilliseconds);
  }
  return {nullptr, EEXIST};
}

void TemporaryFile::removeLeftOver(const std::string& folder, const std::string& outputName) {
  if (const std::optional<std::wstring> path = temporaryPath(folder, outputName)) {
    removeIfLeftOver(*path);
  }
}

TemporaryFile::TemporaryFile(std::unique_ptr<State> state) : state_(std::move(state)) {
  removeOnConsoleEvents(state_.get());
}

TemporaryFile::~TemporaryFile() {
  std::lock_guard<std::mutex> held(gPendingLock);
  if (gPending == state_.get()) gPending = nullptr;
  if (state_->handle != INVALID_HANDLE_VALUE) CloseHandle(state_->handle);
  if (!state_->renamed) DeleteFileW(state_->path.c_str());
}

int TemporaryFile::setMode(unsigned) {
  return 0;
}

int TemporaryFile::write(std::string_view bytes) {
  return writeAllTo(state_->handle, bytes);
}

int TemporaryFile::becomeOutput(const std::string& outputName) {
  std::lock_guard<std::mutex> held(gPendingLock);
  // Closed first: the file system reports there what it could not write,
  // and a file open without sharing cannot be renamed. Between the close
  // and the rename another run for the same output could take the file for
  // left over; its rename would then fail, and that run end with an error.
  if (!CloseHandle(std::exchange(state_->handle, INVALID_HANDLE_VALUE))) return lastErrorNumber();
  const std::optional<std::wstring> output = widePath(state_->folder + "\\" + outputName);
  if (!output) return ENOENT;
  state_->renamed = MoveFileExW(state_->path.c_str(), output->c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!state_->renamed) return lastErrorNumber();
  if (gPending == state_.get()) gPending = nullptr;
  return 0;
}

}  // namespace vozo::platform
