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
// - while it exists, the signals that end a run and can be caught (hangup,
//   interrupt, quit, termination, file size limit) remove it before the run
//   ends with that signal, as it would have without the handler;
// - SIGKILL cannot be caught. The file is locked (flock) as long as its run
//   lives, so the next run for the same output tells a file a killed run left
//   (not locked: it removes it) from one another run is writing now (locked:
//   it waits until that run has renamed or removed it).

#include <memory>
#include <string>

namespace vozo {

class TemporaryFile {
 public:
  // Makes the temporary file for the output `outputName` in `folder`, empty
  // and open for writing, with mode 0666 less the umask. A file of the same
  // name that a killed run left is removed first. Null, with errno set,
  // when the folder allows no new file.
  static std::unique_ptr<TemporaryFile> create(const std::string& folder,
                                               const std::string& outputName);

  // Removes the file that a killed run writing `outputName` in `folder` left,
  // if there is one.
  static void removeLeftOver(const std::string& folder, const std::string& outputName);

  // Takes the open folder, the file's name in it and two descriptors of the
  // file, locked: one to write to and one that keeps the lock.
  TemporaryFile(int folder, std::string name, int descriptor, int lock);
  // Removes the file unless it became the output.
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int descriptor() const { return descriptor_; }

  // Closes the file (the file system reports there what it could not write)
  // and renames it to `outputName` in the same folder. False, with errno
  // set, when either fails.
  bool becomeOutput(const std::string& outputName);

 private:
  int folder_;
  std::string name_;
  int descriptor_;
  int lock_;
  bool renamed_ = false;
};

}  // namespace vozo
