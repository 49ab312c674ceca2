#include "memory/address_evaluation.h"

#include <algorithm>
#include <vector>

#include "expr/c_number.h"
#include "expr/evaluate.h"

namespace vozo {

namespace {

bool isDecimalDigit(char c) {
  return c >= '0' && c <= '9';
}

// Only forms whose value cannot differ from the evaluator's are taken (no
// octal, no suffix, no sign, small enough to fit every integer type of the
// evaluator): "0x" or "0X" and 1 to 15 hexadecimal digits, or 1 to 18
// decimal digits without a leading zero. Returns the base of the digits
// after the prefix, or 0 when the text has no such shape (its digits are
// not looked at).
unsigned plainNumberBase(std::string_view text, std::string_view& digits) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    digits = text.substr(2);
    return digits.size() <= 15 ? 16 : 0;
  }
  if (text.empty() || text.size() > 18 || !isDecimalDigit(text[0])) return 0;
  if (text[0] == '0' && text.size() > 1) return 0;  // octal and other prefixes
  digits = text;
  return 10;
}

}  // namespace

bool plainNumber(std::string_view text, uint64_t& value) {
  std::string_view digits;
  const unsigned base = plainNumberBase(text, digits);
  if (base == 0) return false;
  CDigits parsed = parseDigits(digits, base);
  if (parsed.length != digits.size()) return false;
  value = parsed.value;
  return true;
}

namespace {

// plainNumber without the value.
bool isPlainNumber(std::string_view text) {
  std::string_view digits;
  const unsigned base = plainNumberBase(text, digits);
  if (base == 10) {
    return std::all_of(digits.begin(), digits.end(), isDecimalDigit);
  }
  return base == 16 && std::all_of(digits.begin(), digits.end(), [](char c) {
           return isDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
         });
}

bool evaluateExpression(std::string_view text, SimpleExpressionParser& parser, uint64_t& value) {
  if (plainNumber(text, value)) return true;
  bool ok = false;
  value = evaluateUnsigned(parser, text, ok);
  return ok;
}

// Evaluates one element against `base`; returns the base for its children.
uint64_t evaluateElement(MemoryMapElement& element, uint64_t base, SimpleExpressionParser& parser) {
  ElementKind kind = element.kind();
  uint64_t childBase = base;
  switch (kind) {
    case ElementKind::MemorySegment:
    case ElementKind::ProgramSection:
    case ElementKind::RegisterGroup: {
      if (auto start = element.startText()) {
        uint64_t value = startValue(*start, base, parser);
        element.setStart(value);
        childBase = static_cast<uint32_t>(value);
      }
      if (auto size = element.sizeText()) {
        uint64_t value = 0;
        if (evaluateExpression(*size, parser, value)) element.setSize(static_cast<uint32_t>(value));
      }
      break;
    }
    case ElementKind::Register:
    case ElementKind::BitField:
    case ElementKind::Enum: {
      if (auto start = element.startText()) {
        element.setStart(startValue(*start, kind == ElementKind::Register ? base : 0, parser));
      }
      if (auto size = element.sizeText()) element.setSize(parseCUnsigned(*size));
      break;
    }
    default:
      break;
  }
  return childBase;
}

}  // namespace

uint64_t startValue(std::string_view text, uint64_t base, SimpleExpressionParser& parser) {
  if (text.empty()) return 0;
  const bool relative = text[0] == '+';
  uint64_t value = 0;
  // Unary plus leaves a bare number as it is; the evaluator gets the whole
  // text and gives 0 when it fails.
  if (!plainNumber(relative ? text.substr(1) : text, value)) {
    bool ok = false;
    value = evaluateUnsigned(parser, text, ok);
  }
  return relative ? value + base : value;
}

std::string_view evaluatedStartText(std::string_view text) {
  if (text.empty() || isPlainNumber(text[0] == '+' ? text.substr(1) : text)) return {};
  return text;
}

std::string_view evaluatedSizeText(std::string_view text) {
  return text.empty() || isPlainNumber(text) ? std::string_view() : text;
}

void evaluateAddresses(MemoryMapElement* root, SimpleExpressionParser& parser,
                       const std::function<void(const MemoryMapElement&)>& visit) {
  if (root == nullptr) return;
  // bases[i] is the base handed to the elements at depth i + 1 below the
  // root's parent; `base` is the one of the current sibling list.
  std::vector<uint64_t> bases;
  uint64_t base = 0;
  XMLNode* node = root;
  for (;;) {
    if (node->isElement()) {
      auto& element = static_cast<MemoryMapElement&>(*node);
      uint64_t childBase = evaluateElement(element, base, parser);
      // The expression texts of content left out of the tree count here,
      // where the content stands, as its evaluation would spend them.
      if (uint32_t bytes = element.leftOutExpressionBytes()) spendExpressionText(parser, bytes);
      if (visit) visit(element);
      if (XMLNode* child = element.firstChild()) {
        bases.push_back(base);
        base = childBase;
        node = child;
        continue;
      }
    }
    // Next sibling, or the next sibling of the nearest ancestor that has one.
    while (node != root && node->nextSibling() == nullptr) {
      node = node->parent();
      base = bases.back();
      bases.pop_back();
    }
    if (node == root) return;
    node = node->nextSibling();
  }
}

}  // namespace vozo
