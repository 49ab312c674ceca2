#include "linkscript/lld_compatible.h"

namespace vozo {

namespace {

// Characters after which a "+" starts an operand instead of adding to one.
constexpr std::string_view kBeforeUnary = "(,?:+-*/%&|^~!<>=";

}  // namespace

std::string withoutUnaryPlus(std::string_view expression) {
  std::string result;
  result.reserve(expression.size());
  char previous = '\0';  // the last character written that is no space
  bool quoted = false;
  for (char c : expression) {
    if (quoted) {
      quoted = c != '"';
    } else if (c == '"') {
      quoted = true;
    } else if (c == '+' && (previous == '\0' || kBeforeUnary.find(previous) != std::string_view::npos)) {
      continue;
    }
    result += c;
    if (c != ' ' && c != '\t') previous = c;
  }
  return result;
}

std::string_view linkerMadeInputSections(std::string_view sectionName) {
  if (sectionName == ".data") return "*(.got.plt .igot.plt .tm_clone_table)";
  return {};
}

}  // namespace vozo
