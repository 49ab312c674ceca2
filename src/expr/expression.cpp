#include "expr/expression.h"

#include <utility>

#include "expr/expression_parser.h"

namespace vozo {

namespace {

// Lends the parser's evaluation buffers to one walk, or fresh ones when a
// hook evaluates another expression while the parser's are in use.
class ScratchLease {
 public:
  explicit ScratchLease(EvaluationScratch& shared) {
    if (!shared.inUse) {
      scratch_ = &shared;
      shared.inUse = true;
    } else {
      scratch_ = &own_;
    }
  }
  ~ScratchLease() {
    scratch_->frames.clear();
    scratch_->values.clear();
    scratch_->inUse = false;
  }
  ScratchLease(const ScratchLease&) = delete;
  ScratchLease& operator=(const ScratchLease&) = delete;
  EvaluationScratch& get() { return *scratch_; }

 private:
  EvaluationScratch own_;
  EvaluationScratch* scratch_;
};

}  // namespace

Outcome<ExpressionValue> Expression::evaluate() const {
  if (evaluatedOperands().empty()) return combine({});  // constants and names

  ScratchLease lease(parser().evaluationScratch());
  auto& frames = lease.get().frames;
  auto& values = lease.get().values;
  frames.push_back({this, 0, 0});
  while (!frames.empty()) {
    EvaluationScratch::Frame& frame = frames.back();
    const auto needed = frame.node->evaluatedOperands();
    if (frame.nextOperand < needed.size()) {
      const Expression* operand = needed[frame.nextOperand++];
      frames.push_back({operand, 0, values.size()});  // invalidates `frame`
      continue;
    }
    const std::span<ExpressionValue> operandValues(values.data() + frame.firstValue,
                                                   values.size() - frame.firstValue);
    Outcome<ExpressionValue> result = frame.node->combine(operandValues);
    if (!result) return result;
    values.erase(values.begin() + static_cast<std::ptrdiff_t>(frame.firstValue), values.end());
    values.push_back(std::move(*result));
    frames.pop_back();
  }
  return std::move(values.back());
}

std::string Expression::text() const {
  struct Frame {
    const Expression* node;
    size_t nextPiece;
  };
  std::string out;
  std::vector<Frame> frames{{this, 0}};
  while (!frames.empty()) {
    Frame& frame = frames.back();
    if (frame.nextPiece == frame.node->textPieceCount()) {
      frames.pop_back();
      continue;
    }
    const TextPiece piece = frame.node->textPiece(frame.nextPiece++);
    if (piece.operand != nullptr) {
      frames.push_back({piece.operand, 0});
    } else {
      out += piece.text;
    }
  }
  return out;
}

const Expression* Expression::clone() const {
  return nullptr;
}

TextPiece UnaryExpression::prefixPiece(size_t index, std::string_view op) const {
  switch (index) {
    case 0:
      return {"("};
    case 1:
      return {op};
    case 2:
      return {{}, operand_[0]};
    default:
      return {")"};
  }
}

TextPiece BinaryExpression::infixPiece(size_t index, std::string_view op) const {
  switch (index) {
    case 0:
      return {"("};
    case 1:
      return {{}, operands_[0]};
    case 3:
      return {op};
    case 5:
      return {{}, operands_[1]};
    case 6:
      return {")"};
    default:
      return {" "};
  }
}

}  // namespace vozo
