#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>
#include <utility>

#include "platform/posix_descriptors.h"
#include "platform/temporary_file.h"

namespace vozo::platform {

struct TemporaryFile::State {
  // The open folder, the file's name in it and two descriptors of the file,
  // locked: one to write to and one that keeps the lock.
  int folder;
  std::string name;
  int descriptor;
  int lock;
  bool renamed = false;
};

namespace {

// The signals whose default action ends the run and that a handler can
// catch, as a build sends them: make and terminals (hangup, interrupt,
// quit), CI and process managers (termination), and a write past the file
// size limit.
constexpr int kEndingSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGXFSZ};
constexpr size_t kSignalCount = std::size(kEndingSignals);

// The temporary file that exists now, in plain storage for the handler. A
// run writes its outputs one after the other, so there is at most one.
int gPendingFolder = -1;
char gPendingName[32];
volatile sig_atomic_t gPending = 0;
bool gHandlerInstalled[kSignalCount];

extern "C" void removePendingFileAndEnd(int signal) {
  if (gPending) ::unlinkat(gPendingFolder, gPendingName, 0);
  // Installed with SA_RESETHAND, so the signal, blocked while this handler
  // runs, takes its default effect as soon as the handler returns.
  ::raise(signal);
}

// Removes the file when one of the ending signals arrives. A signal that the
// process ignores or handles itself is left so.
void removeOnSignals(int folder, const std::string& name) {
  if (gPending || name.size() >= sizeof gPendingName) return;
  gPendingFolder = folder;
  std::memcpy(gPendingName, name.c_str(), name.size() + 1);
  gPending = 1;
  for (size_t i = 0; i < kSignalCount; ++i) {
    struct sigaction current {};
    if (::sigaction(kEndingSignals[i], nullptr, &current) != 0) continue;
    if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) continue;
    struct sigaction action {};
    action.sa_handler = removePendingFileAndEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    gHandlerInstalled[i] = ::sigaction(kEndingSignals[i], &action, nullptr) == 0;
  }
}

void stopRemovingOnSignals() {
  gPending = 0;
  for (size_t i = 0; i < kSignalCount; ++i) {
    if (std::exchange(gHandlerInstalled[i], false)) ::signal(kEndingSignals[i], SIG_DFL);
  }
}

// Holds the ending signals back while it lives: the file's rename or removal
// and the end of the handler's duty happen together, so the handler never
// removes a name that another run has taken since.
class EndingSignalsHeld {
 public:
  EndingSignalsHeld() {
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : kEndingSignals) sigaddset(&signals, signal);
    ::sigprocmask(SIG_BLOCK, &signals, &previous_);
  }
  ~EndingSignalsHeld() { ::sigprocmask(SIG_SETMASK, &previous_, nullptr); }
  EndingSignalsHeld(const EndingSignalsHeld&) = delete;
  EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

 private:
  sigset_t previous_;
};

// True when `name` in `folder` still is the file open as `descriptor`.
bool namesFile(int folder, const std::string& name, int descriptor) {
  struct stat opened;
  struct stat named;
  return ::fstat(descriptor, &opened) == 0 &&
         ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// A file at the temporary name was left by a killed run, whose lock went
// with it, or is being written by a live run for the same output, which
// holds the lock until it has renamed or removed the file. Taking the lock
// waits for the live run; a file that still has the name then is left over.
// On a file system without locks every such file counts as left over.
void removeIfLeftOver(int folder, const std::string& name) {
  const int descriptor =
      ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return;
  ::flock(descriptor, LOCK_EX);
  if (namesFile(folder, name, descriptor)) ::unlinkat(folder, name.c_str(), 0);
  ::close(descriptor);
}

// The folder, opened for the *at calls that name files in it.
int openFolder(const std::string& folder) {
  return ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace

TemporaryFile::Created TemporaryFile::create(const std::string& folderPath,
                                             const std::string& outputName) {
  const int folder = openFolder(folderPath);
  if (folder < 0) return {nullptr, errno};
  const std::string name = temporaryName(outputName);
  // Each turn either makes the file or waits for a run that holds the name;
  // only runs for the same output, started at the same moment, take turns.
  constexpr int kTurns = 100;
  int error = EEXIST;
  for (int turn = 0; turn < kTurns; ++turn) {
    {
      // A signal that comes while the file is made waits until the handler
      // that removes it is in place.
      EndingSignalsHeld held;
      const int descriptor =
          ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      error = errno;
      if (descriptor >= 0) {
        // Between the open and the lock another run may have taken the file
        // for left over and removed it: then this run makes a new one.
        ::flock(descriptor, LOCK_EX);
        if (!namesFile(folder, name, descriptor)) {
          ::close(descriptor);
          error = EEXIST;
          continue;
        }
        const int lock = ::dup(descriptor);
        if (lock >= 0) {
          return {std::make_unique<TemporaryFile>(
                      std::make_unique<State>(State{folder, name, descriptor, lock})),
                  0};
        }
        error = errno;
        ::unlinkat(folder, name.c_str(), 0);
        ::close(descriptor);
        break;
      }
    }
    if (error != EEXIST) break;
    removeIfLeftOver(folder, name);
  }
  ::close(folder);
  return {nullptr, error};
}

void TemporaryFile::removeLeftOver(const std::string& folderPath, const std::string& outputName) {
  const int folder = openFolder(folderPath);
  if (folder < 0) return;
  removeIfLeftOver(folder, temporaryName(outputName));
  ::close(folder);
}

TemporaryFile::TemporaryFile(std::unique_ptr<State> state) : state_(std::move(state)) {
  removeOnSignals(state_->folder, state_->name);
}

TemporaryFile::~TemporaryFile() {
  if (state_->descriptor >= 0) ::close(state_->descriptor);
  {
    EndingSignalsHeld held;
    // Removed while this run still holds the lock: after that the name may
    // be another run's.
    if (!state_->renamed) ::unlinkat(state_->folder, state_->name.c_str(), 0);
    stopRemovingOnSignals();
  }
  ::close(state_->lock);
  ::close(state_->folder);
}

int TemporaryFile::setMode(unsigned mode) {
  return ::fchmod(state_->descriptor, static_cast<mode_t>(mode)) == 0 ? 0 : errno;
}

int TemporaryFile::write(std::string_view bytes) {
  return writeAll(state_->descriptor, bytes);
}

int TemporaryFile::becomeOutput(const std::string& outputName) {
  if (::close(std::exchange(state_->descriptor, -1)) != 0) return errno;
  EndingSignalsHeld held;
  state_->renamed =
      ::renameat(state_->folder, state_->name.c_str(), state_->folder, outputName.c_str()) == 0;
  if (!state_->renamed) return errno;
  stopRemovingOnSignals();
  return 0;
}

}  // namespace vozo::platform
