#pragma once
// The result of a step that may fail without ending the run: a value, or the
// failure's message. The lexer, the parser, the expression nodes, the value
// operations and the parser hooks return their failures this way, and the
// entry points of evaluate.h turn them into their flags and messages. A
// failure that ends the run is an HException instead (expr/h_exception.h).

#include <string>
#include <utility>
#include <variant>

namespace vozo {

// Why a step failed, in the words the evaluator reports ("divide by zero").
struct Failure {
  std::string message;
};

template <class T>
class Outcome {
 public:
  Outcome(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Outcome(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  // The value; only when ok().
  T& value() { return *std::get_if<0>(&state_); }
  const T& value() const { return *std::get_if<0>(&state_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  // The failure; only when !ok().
  Failure& failure() { return *std::get_if<1>(&state_); }
  const std::string& message() const { return std::get_if<1>(&state_)->message; }

 private:
  std::variant<T, Failure> state_;
};

}  // namespace vozo
