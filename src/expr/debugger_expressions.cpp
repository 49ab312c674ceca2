#include "expr/debugger_expressions.h"

#include "expr/expression_parser.h"

namespace vozo {

Outcome<ExpressionValue> LeftSquareBracketExpression::combine(
    std::span<ExpressionValue> values) const {
  return parser().index(values[0], values[1]);
}

TextPiece LeftSquareBracketExpression::textPiece(size_t index) const {
  switch (index) {
    case 0:
      return {{}, &left()};
    case 1:
      return {"["};
    case 2:
      return {{}, &right()};
    default:
      return {"]"};
  }
}

Outcome<ExpressionValue> ArraySliceExpression::combine(std::span<ExpressionValue> values) const {
  return parser().arraySlice(values[0], values[1], values[2]);
}

TextPiece ArraySliceExpression::textPiece(size_t index) const {
  static constexpr std::string_view kSeparators[] = {"[", ":", "]"};
  if (index % 2 == 0) return {{}, operands_[index / 2]};
  return {kSeparators[index / 2]};
}

TextPiece MemberAccess::memberPiece(size_t index, std::string_view op) const {
  switch (index) {
    case 0:
      return {{}, &operand()};
    case 1:
      return {op};
    default:
      return {member_};
  }
}

Outcome<ExpressionValue> DotExpression::combine(std::span<ExpressionValue> values) const {
  return parser().member(values[0], member());
}

Outcome<ExpressionValue> PtrToMemberExpression::combine(std::span<ExpressionValue> values) const {
  return parser().pointedMember(values[0], member());
}

Outcome<ExpressionValue> CastExpression::combine(std::span<ExpressionValue> values) const {
  return parser().cast(typeText_, values[0]);
}

TextPiece CastExpression::textPiece(size_t index) const {
  switch (index) {
    case 0:
      return {"(("};
    case 1:
      return {typeText_};
    case 2:
      return {") "};
    default:
      return index == 3 ? TextPiece{{}, &operand()} : TextPiece{")"};
  }
}

Outcome<ExpressionValue> CallExpression::combine(std::span<ExpressionValue> values) const {
  return parser().call(*operands_[0], values);
}

size_t CallExpression::textPieceCount() const {
  // function "(" arguments with ", " between them ")"
  const size_t arguments = operands_.size() - 1;
  return 2 + (arguments == 0 ? 0 : arguments * 2 - 1) + 1;
}

TextPiece CallExpression::textPiece(size_t index) const {
  if (index == 0) return {{}, operands_[0]};
  if (index == 1) return {"("};
  if (index + 1 == textPieceCount()) return {")"};
  const size_t position = index - 2;
  if (position % 2 == 1) return {", "};
  return {{}, operands_[1 + position / 2]};
}

Outcome<ExpressionValue> SizeofExpression::combine(std::span<ExpressionValue>) const {
  if (operand_[0] != nullptr) return parser().sizeOfExpression(*operand_[0]);
  return parser().sizeOfType(typeText_);
}

TextPiece SizeofExpression::textPiece(size_t index) const {
  switch (index) {
    case 0:
      return {"sizeof("};
    case 1:
      return operand_[0] != nullptr ? TextPiece{{}, operand_[0]} : TextPiece{typeText_};
    default:
      return {")"};
  }
}

Outcome<ExpressionValue> AddressofLineExpression::combine(std::span<ExpressionValue>) const {
  return parser().addressOfLine(operand());
}

TextPiece AddressofLineExpression::textPiece(size_t index) const {
  switch (index) {
    case 0:
      return {"addressof("};
    case 1:
      return {{}, &operand()};
    default:
      return {")"};
  }
}

Outcome<ExpressionValue> SymbolAtExpression::combine(std::span<ExpressionValue>) const {
  return parser().symbolAt(file_, line_);
}

TextPiece SymbolAtExpression::textPiece(size_t index) const {
  switch (index) {
    case 0:
      return {"symbolat("};
    case 1:
      return {fileText_};
    case 2:
      return {", "};
    case 3:
      return {lineText_};
    default:
      return {")"};
  }
}

}  // namespace vozo
