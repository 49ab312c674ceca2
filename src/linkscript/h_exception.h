#pragma once
// The tool's error object: one 8-bit message text, thrown by value by the
// command-line reader, the entry point and the writers, and caught once in
// the entry point, which reports it as "error: <message>".

#include <string>
#include <utility>

namespace vozo {

class HException {
 public:
  explicit HException(std::string message) : message_(std::move(message)) {}
  const std::string& message() const { return message_; }

 private:
  std::string message_;
};

}  // namespace vozo
