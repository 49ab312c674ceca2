#pragma once

#include <optional>
#include <string>
#include <vector>

#include "size/usage_checks.h"

namespace vozo::size {

struct SizeOptions {
  std::string elfPath;
  bool sections = false;
  bool json = false;
  std::optional<std::string> svgPath;
  std::vector<Budget> budgets;
  bool help = false;
  bool version = false;
};

// What --help and --version print, on standard output.
extern const char* const kSizeUsage;
extern const char* const kSizeVersion;  // "vozo-size <version>\n"

// Reads the arguments after the program name; throws std::invalid_argument
// with a message naming the problem.
SizeOptions parseSizeOptions(const std::vector<std::string>& arguments);

}  // namespace vozo::size
