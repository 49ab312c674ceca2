#include "memory/register_filter.h"

#include "expr/evaluate.h"
#include "memory/address_evaluation.h"
#include "memory/memory_map_element.h"

namespace vozo {

namespace {

bool isMemoryElement(const XMLElement* element) {
  return static_cast<const MemoryMapElement*>(element)->kind() != ElementKind::Other;
}

// The value a tree would keep for `name`: the last one written.
std::string_view lastValue(std::span<const XMLAttribute> attributes, std::string_view name) {
  for (auto attribute = attributes.rbegin(); attribute != attributes.rend(); ++attribute) {
    if (attribute->name == name) return attribute->value;
  }
  return {};
}

}  // namespace

bool RegisterFilter::mayLeaveOut(const XMLElement& element,
                                 std::span<XMLElement* const> enclosing) {
  if (!isMemoryElement(&element)) return false;
  for (const XMLElement* ancestor : enclosing) {
    if (!isMemoryElement(ancestor)) return false;
  }
  expressionBytes_ = 0;
  return true;
}

bool RegisterFilter::acceptEvaluated(std::string_view text) {
  if (text.empty()) return true;
  // Past the bound the ordinary path fails at the element that passes it.
  if (text.size() > SimpleExpressionParser::kMaxTextPerParser - expressionBytes_) return false;
  if (!evaluatesWithoutSpending(parser_, text)) return false;
  expressionBytes_ += text.size();
  return true;
}

bool RegisterFilter::acceptDescendant(std::string_view tagName,
                                      std::span<const XMLAttribute> attributes) {
  switch (elementKindForTag(tagName)) {
    case ElementKind::RegisterGroup:
      return acceptEvaluated(evaluatedStartText(lastValue(attributes, "start"))) &&
             acceptEvaluated(evaluatedSizeText(lastValue(attributes, "size")));
    case ElementKind::Register:
    case ElementKind::BitField:
    case ElementKind::Enum:
      return acceptEvaluated(evaluatedStartText(lastValue(attributes, "start")));
    default:
      return false;
  }
}

void RegisterFilter::leftOut(XMLElement& element) {
  // At most kMaxTextPerParser, see acceptEvaluated.
  static_cast<MemoryMapElement&>(element).setLeftOutExpressionBytes(
      static_cast<uint32_t>(expressionBytes_));
}

}  // namespace vozo
