#include "memory/address_evaluation.h"

#include <vector>

#include "expr/c_number.h"
#include "expr/evaluate.h"

namespace vozo {

namespace {

bool isDecimalDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

// Only forms whose value cannot differ from the evaluator's are taken (no
// octal, no suffix, no sign, small enough to fit every integer type of the
// evaluator).
bool plainNumber(std::string_view text, uint64_t& value) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    if (text.size() - 2 > 15) return false;
    CDigits digits = parseDigits(text.substr(2), 16);
    if (digits.length != text.size() - 2) return false;
    value = digits.value;
    return true;
  }
  if (text.empty() || text.size() > 18 || !isDecimalDigit(text[0])) return false;
  if (text[0] == '0' && text.size() > 1) return false;  // octal and other prefixes
  CDigits digits = parseDigits(text, 10);
  if (digits.length != text.size()) return false;
  value = digits.value;
  return true;
}

namespace {

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
  uint64_t value = 0;
  if (text.empty() || plainNumber(text[0] == '+' ? text.substr(1) : text, value)) return {};
  return text;
}

std::string_view evaluatedSizeText(std::string_view text) {
  uint64_t value = 0;
  return text.empty() || plainNumber(text, value) ? std::string_view() : text;
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
      // The expressions of content left out of the tree were evaluated when
      // it was read; their text counts here, where the content stands.
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
