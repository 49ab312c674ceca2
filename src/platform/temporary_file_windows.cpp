#include <cerrno>
#include <mutex>
#include <utility>

#include "platform/temporary_file.h"
#include "platform/windows_system.h"

namespace vozo::platform {

struct TemporaryFile::State {
  std::string folder;
  // The file's full path, and its handle: open from the file's making until
  // it has been renamed or removed, and shared with no other opener but one
  // that renames it (this run's MoveFileExW), which is the lock.
  std::wstring path;
  HANDLE handle;
  bool renamed = false;
};

namespace {

// How long a run waits for another that holds the temporary name, or for
// the output that another run has open, in turns of kWaitMilliseconds.
constexpr int kTurns = 3000;
constexpr DWORD kWaitMilliseconds = 10;

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

// The file at the temporary name was left by a run that was killed (no
// handle is open on it: it is opened alone and goes when closed), or another
// run is writing it (its handle refuses this opener: it stays). True when the
// name is free now.
bool removeIfLeftOver(const std::wstring& path) {
  const HANDLE leftOver = CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (leftOver == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  CloseHandle(leftOver);
  return true;
}

// Whether a failure to make the file at `path` means that its name is taken
// (by a live run, by a left-over file, or by one being removed), rather than
// that the folder allows no new file.
bool nameTaken(const std::wstring& path, DWORD error) {
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
      error == ERROR_SHARING_VIOLATION) {
    return true;
  }
  // A file that is being removed refuses new openers, and may refuse to
  // tell its attributes, until it is gone.
  if (error != ERROR_ACCESS_DENIED) return false;
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  const DWORD why = GetLastError();
  return why != ERROR_FILE_NOT_FOUND && why != ERROR_PATH_NOT_FOUND;
}

}  // namespace

TemporaryFile::Created TemporaryFile::create(const std::string& folder,
                                             const std::string& outputName) {
  const std::optional<std::wstring> path = temporaryPath(folder, outputName);
  if (!path) return {nullptr, ENOENT};
  // Each turn either makes the file or waits a moment for a run that holds
  // the name; only runs for the same output, started at the same moment,
  // take turns.
  for (int turn = 0; turn < kTurns; ++turn) {
    const HANDLE handle = CreateFileW(path->c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      return {
          std::make_unique<TemporaryFile>(std::make_unique<State>(State{folder, *path, handle})),
          0};
    }
    const DWORD error = GetLastError();
    if (!nameTaken(*path, error)) return {nullptr, errorNumberOf(error)};
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
  // Removed while this run still holds it: after that the name may be
  // another run's.
  if (!state_->renamed) DeleteFileW(state_->path.c_str());
  if (state_->handle != INVALID_HANDLE_VALUE) CloseHandle(state_->handle);
}

int TemporaryFile::setMode(unsigned) {
  return 0;
}

int TemporaryFile::write(std::string_view bytes) {
  return writeAllTo(state_->handle, bytes);
}

int TemporaryFile::becomeOutput(const std::string& outputName) {
  const std::optional<std::wstring> output = widePath(state_->folder + "\\" + outputName);
  if (!output) return ENOENT;
  std::lock_guard<std::mutex> held(gPendingLock);
  // Renamed while this run's handle is open, so that no other run takes the
  // file for left over meanwhile. An output that another run has open (to
  // compare or to write it) cannot be replaced until that run closes it.
  DWORD error = ERROR_SUCCESS;
  for (int turn = 0; turn < kTurns; ++turn) {
    if (MoveFileExW(state_->path.c_str(), output->c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      state_->renamed = true;
      break;
    }
    error = GetLastError();
    const DWORD attributes = GetFileAttributesW(output->c_str());
    const bool readOnly =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || readOnly) break;
    Sleep(kWaitMilliseconds);
  }
  if (gPending == state_.get()) gPending = nullptr;
  // Closed last: the file system reports there what it could not write.
  const bool closed = CloseHandle(std::exchange(state_->handle, INVALID_HANDLE_VALUE)) != 0;
  if (!state_->renamed) return errorNumberOf(error);
  return closed ? 0 : lastErrorNumber();
}

}  // namespace vozo::platform
