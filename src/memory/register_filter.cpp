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

}  // namespace

bool RegisterFilter::mayLeaveOut(const XMLElement& element,
                                 std::span<XMLElement* const> enclosing) {
  if (!isMemoryElement(&element)) return false;
  for (const XMLElement* ancestor : enclosing) {
    if (!isMemoryElement(ancestor)) return false;
  }
  expressionBytes_ = 0;
  if (check_) check_->restart();
  return true;
}

bool RegisterFilter::acceptEvaluated(std::string_view text) {
  if (text.empty()) return true;
  // Past the bound the ordinary path fails at the element that passes it.
  if (text.size() > SimpleExpressionParser::kMaxTextPerParser - expressionBytes_) return false;
  // Register maps repeat the same offsets in every group.
  if (!evaluating_.contains(text)) {
    if (!evaluatesWithoutSpending(parser_, text)) return false;
    if (evaluating_.size() < kRememberedTexts) evaluating_.emplace(text);
  }
  expressionBytes_ += text.size();
  return true;
}

bool RegisterFilter::acceptDescendant(std::string_view tagName,
                                      std::span<const XMLAttribute> attributes) {
  const ElementKind kind = elementKindForTag(tagName);
  if (kind != ElementKind::RegisterGroup && kind != ElementKind::Register &&
      kind != ElementKind::BitField && kind != ElementKind::Enum) {
    return false;
  }
  // The values a tree would keep: the last one written of each name.
  std::string_view start, size;
  for (const XMLAttribute& attribute : attributes) {
    if (sameName(attribute.name, "start")) {
      start = attribute.value;
    } else if (sameName(attribute.name, "size")) {
      size = attribute.value;
    }
  }
  // Only a group's size is an expression; the others' is a plain C number.
  return acceptEvaluated(evaluatedStartText(start)) &&
         (kind != ElementKind::RegisterGroup || acceptEvaluated(evaluatedSizeText(size))) &&
         (check_ == nullptr || check_->accept(kind, tagName, attributes));
}

void RegisterFilter::leftOut(XMLElement& element) {
  // At most kMaxTextPerParser, see acceptEvaluated.
  auto& holder = static_cast<MemoryMapElement&>(element);
  holder.setLeftOutExpressionBytes(static_cast<uint32_t>(expressionBytes_));
  if (check_) check_->leftOut(holder);
}

}  // namespace vozo
