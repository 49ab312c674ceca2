#pragma once
// Hands out the command-line arguments one at a time, front first.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vozo {

class ArgumentReader {
 public:
  // The arguments after the program path.
  explicit ArgumentReader(std::vector<std::string> arguments) : arguments_(std::move(arguments)) {}

  // Takes the next argument. When none is left: with an empty
  // `missingMessage` returns no value (the end of the command line, which is
  // not the same as an empty argument); otherwise throws HException with
  // `missingMessage`.
  std::optional<std::string> next(std::string_view missingMessage);

 private:
  std::vector<std::string> arguments_;
  size_t position_ = 0;
};

}  // namespace vozo
