#pragma once
// The failure object of the expression layer. The lexer, the parser, the
// evaluator and the parser hooks throw it; the entry points in evaluate.h
// catch it and report failure through their flag.

#include <string>
#include <utility>

namespace vozo {

class ParserException {
 public:
  explicit ParserException(std::string message) : message_(std::move(message)) {}
  const std::string& message() const { return message_; }

 private:
  std::string message_;
};

}  // namespace vozo
