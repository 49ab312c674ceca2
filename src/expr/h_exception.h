#pragma once
// The tool's error object, the one way a run ends in failure: one 8-bit
// message text, thrown by value wherever the run must end (the command-line
// reader, the bounds of the readers and the evaluator, the section layout,
// the writers) and caught once, in runTool, which reports it as
// "error: <message>". Below that, failures are values (expr/outcome.h). A failure to open,
// read or write a file also carries the system's error number, which the
// entry point shows as a note when the input checks are on.

#include <string>
#include <utility>

namespace vozo {

class HException {
 public:
  explicit HException(std::string message, int systemError = 0)
      : message_(std::move(message)), systemError_(systemError) {}
  const std::string& message() const { return message_; }
  // The errno value of the file operation that failed; 0 for other failures.
  int systemError() const { return systemError_; }

 private:
  std::string message_;
  int systemError_;
};

}  // namespace vozo
