#pragma once
// Shared pieces of the fuzz targets.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "expr/h_exception.h"
#include "xml/macro_table.h"

namespace vozo::fuzz {

inline std::string_view asText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// An input whose first line holds NAME=VALUE;... macro definitions and whose
// rest is the text to work on.
struct DefinitionsAndText {
  std::string_view definitions;
  std::string_view text;
};

inline DefinitionsAndText splitDefinitions(std::string_view input) {
  const size_t newline = input.find('\n');
  if (newline == std::string_view::npos) return {input, {}};
  return {input.substr(0, newline), input.substr(newline + 1)};
}

// A built-in table with two stored names and one computed one, so that the
// lookups of every kind are reached without the host clock.
class FixedMacroTable : public MacroTable {
 public:
  const std::string* find(std::string_view name) const override {
    if (name == "HostOS") return &hostOs_;
    if (name == "Micro") return &micro_;
    if (name == "Date") return &micro_;
    return nullptr;
  }
  bool computedValue(std::string_view name, std::string& result) const override {
    if (name != "Date") return false;
    result = "1 Jan 2000";
    return true;
  }

 private:
  std::string hostOs_ = "linux";
  std::string micro_ = "ARM";
};

// Runs `body`; the errors that end a run on purpose (a resource bound, a
// rejected input file) are expected results, anything else escapes and is a
// finding.
template <class Body>
void expectingLimitErrors(Body&& body) {
  try {
    body();
  } catch (const HException&) {
  }
}

}  // namespace vozo::fuzz
