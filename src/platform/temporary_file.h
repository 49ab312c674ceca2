#pragma once
// The file that the new text of an output is written to before it takes the
// output's place by a rename, which replaces the output at once.
//
// It lies in the output's folder (a rename only works within one file
// system) under a short hidden name made from the output's name,
// ".vozo-<16 hex digits>.tmp": it fits in the folder whatever the output's
// name is, and a later run writing the same output knows where to look for it.
//
// A run that is killed must leave no such file behind:
// - while it exists, the ways to end a run that can be caught remove it
//   before the run ends as it would have without them: on POSIX hosts the
//   signals hangup, interrupt, quit, termination and file size limit; on
//   Windows Ctrl-C, Ctrl-Break and the closing of the console;
// - a kill that cannot be caught (SIGKILL, TerminateProcess) leaves it. The
//   file is locked as long as its run lives (flock on POSIX hosts; on Windows
//   its open handle, while a file no one holds open can be opened alone), so
//   the next run for the same output tells a file a killed run left (not
//   locked: it removes it) from one another run is writing now (locked: it
//   waits until that run has renamed or removed it).

#include <memory>
#include <string>
#include <string_view>

namespace vozo::platform {

// ".vozo-<FNV-1a hash of the output's name>.tmp".
std::string temporaryName(const std::string& outputName);

class TemporaryFile {
 public:
  struct Created {
    std::unique_ptr<TemporaryFile> file;
    int error = 0;
  };
  // Makes the temporary file for the output `outputName` in `folder`, empty
  // and open for writing, with mode 0666 less the umask. A file of the same
  // name that a killed run left is removed first. No file, with the errno
  // value, when the folder allows no new file.
  static Created create(const std::string& folder, const std::string& outputName);

  // Removes the file that a killed run writing `outputName` in `folder` left,
  // if there is one.
  static void removeLeftOver(const std::string& folder, const std::string& outputName);

  // The host's own record of the open file (see the implementations).
  struct State;
  explicit TemporaryFile(std::unique_ptr<State> state);
  // Removes the file unless it became the output.
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // Each returns 0, or the errno value of the failure.
  // Gives the file the permission bits `mode` (an output's own, kept when
  // the file replaces it); nothing to do on Windows.
  int setMode(unsigned mode);
  int write(std::string_view bytes);
  // Closes the file (the file system reports there what it could not write)
  // and renames it to `outputName` in the same folder.
  int becomeOutput(const std::string& outputName);

 private:
  std::unique_ptr<State> state_;
};

}  // namespace vozo::platform
