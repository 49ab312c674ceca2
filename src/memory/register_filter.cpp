#include "memory/register_filter.h"

#include "expr/evaluate.h"
#include "memory/address_evaluation.h"
#include "memory/memory_map_element.h"
#include "xml/same_bytes.h"

namespace vozo {

namespace {

bool isMemoryElement(const XMLElement* element) {
  return static_cast<const MemoryMapElement*>(element)->kind() != ElementKind::Other;
}

// The preprocessor's conditions: their content is moved up in place or
// dropped as a whole, never copied, counted or read. Those of the first four
// test macros only; `ifex` evaluates an expression.
bool isMacroCondition(std::string_view tag) {
  return tag == "if" || tag == "ifnot" || tag == "ifdef" || tag == "ifndef";
}

bool isCondition(const XMLElement* element) {
  return isMacroCondition(element->tagName()) || element->tagName() == "ifex";
}

}  // namespace

bool RegisterFilter::enclosingFits(std::span<XMLElement* const> enclosing) {
  // The open elements form a stack, so an ancestor found at its depth
  // again stands on the ancestors verified below it: only the new part of
  // the chain is looked at.
  if (verified_.size() > enclosing.size()) verified_.resize(enclosing.size());
  while (!verified_.empty() && verified_.back() != enclosing[verified_.size() - 1]) {
    verified_.pop_back();
  }
  for (size_t depth = verified_.size(); depth < enclosing.size(); ++depth) {
    const XMLElement* ancestor = enclosing[depth];
    if (!isMemoryElement(ancestor) && !isCondition(ancestor)) return false;
    verified_.push_back(ancestor);
  }
  return true;
}

bool RegisterFilter::mayLeaveOut(const XMLElement& element,
                                 std::span<XMLElement* const> enclosing) {
  conditional_ = !isMemoryElement(&element);
  if (conditional_ && (check_ != nullptr || !isCondition(&element))) return false;
  if (!enclosingFits(enclosing)) return false;
  expressionBytes_ = 0;
  return true;
}

bool RegisterFilter::acceptEvaluated(std::string_view text) {
  if (text.empty()) return true;
  if (conditional_) return false;
  // Past a bound the ordinary path fails at the element that passes it.
  if (text.size() > kMaxExpressionLength) return false;
  if (text.size() > SimpleExpressionParser::kMaxTextPerParser - expressionBytes_) return false;
  expressionBytes_ += text.size();
  return true;
}

bool RegisterFilter::acceptDescendant(std::string_view tagName,
                                      std::span<const XMLAttribute> attributes,
                                      bool namesAsBefore) {
  const ElementKind kind = elementKindForTag(tagName);
  if (kind != ElementKind::RegisterGroup && kind != ElementKind::Register &&
      kind != ElementKind::BitField && kind != ElementKind::Enum) {
    if (check_ != nullptr || !isMacroCondition(tagName)) return false;
    conditional_ = true;
    return expressionBytes_ == 0;
  }
  // Where the values a tree would keep stand: the last one written of each
  // name.
  AttributePlaces& places = places_[static_cast<size_t>(kind)];
  if (!namesAsBefore) {
    places = AttributePlaces();
    for (size_t i = 0; i < attributes.size(); ++i) {
      if (sameName(attributes[i].name, "start")) {
        places.start = static_cast<int>(i);
      } else if (sameName(attributes[i].name, "size")) {
        places.size = static_cast<int>(i);
      }
    }
  }
  const std::string_view start = places.start >= 0 ? attributes[places.start].value : "";
  const std::string_view size = places.size >= 0 ? attributes[places.size].value : "";
  // Only a group's size is an expression; the others' is a plain C number.
  return acceptEvaluated(evaluatedStartText(start)) &&
         (kind != ElementKind::RegisterGroup || acceptEvaluated(evaluatedSizeText(size))) &&
         (check_ == nullptr || check_->accept(kind, tagName, attributes, namesAsBefore));
}

void RegisterFilter::leftOut(XMLElement& element) {
  // At most kMaxTextPerParser, see acceptEvaluated.
  static_cast<MemoryMapElement&>(element).setLeftOutExpressionBytes(
      static_cast<uint32_t>(expressionBytes_));
}

}  // namespace vozo
