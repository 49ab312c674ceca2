#pragma once
// Expression tree nodes: the base class and the unary and binary bases.
//
// Nodes live in the arena of the parser that built them and are valid until
// that parser parses again. Evaluation and the text form walk the tree with
// an explicit stack, so trees of any depth (a sum of 100,000 terms is a
// left-leaning chain that deep) are handled without recursion.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "expr/expression_value.h"
#include "expr/outcome.h"

namespace vozo {

class ExpressionParser;
class Expression;

// One piece of a node's text form: either literal text or an operand.
struct TextPiece {
  std::string_view text;
  const Expression* operand = nullptr;
};

// Reusable buffers of the evaluation walk, owned by the parser.
struct EvaluationScratch {
  struct Frame {
    const Expression* node;
    size_t nextOperand;
    size_t firstValue;
  };
  std::vector<Frame> frames;
  std::vector<ExpressionValue> values;
  bool inUse = false;
};

class Expression {
 public:
  explicit Expression(ExpressionParser& parser) : parser_(&parser) {}
  Expression(const Expression&) = delete;
  Expression& operator=(const Expression&) = delete;

  ExpressionParser& parser() const { return *parser_; }

  // Evaluates the operands that the node needs, left to right and all of
  // them (no short-circuit), then the node itself; the first failure ends the
  // walk and is the result.
  Outcome<ExpressionValue> evaluate() const;

  // The text form: binary nodes as "(left op right)", unary ones as
  // "(op operand)", constants and names as written.
  std::string text() const;

  // Applies `operation` to each direct operand, in order.
  template <class Operation>
  void forEachOperand(Operation&& operation) const {
    for (const Expression* operand : operands()) operation(*operand);
  }

  // A copy in the same arena, used by compound assignment. Constants, names
  // and the plain unary operators can be copied; anything else gives null
  // (the parser reports "cannot duplicate expression").
  virtual const Expression* clone() const;

  // All direct operands, in order.
  virtual std::span<const Expression* const> operands() const { return {}; }
  // The operands whose values combine() needs, in evaluation order.
  virtual std::span<const Expression* const> evaluatedOperands() const { return operands(); }
  // The node's own step, given the values of evaluatedOperands().
  virtual Outcome<ExpressionValue> combine(std::span<ExpressionValue> values) const = 0;

  virtual size_t textPieceCount() const = 0;
  virtual TextPiece textPiece(size_t index) const = 0;

 protected:
  ~Expression() = default;  // nodes are released with their arena, never deleted

 private:
  ExpressionParser* parser_;
};

class UnaryExpression : public Expression {
 public:
  UnaryExpression(ExpressionParser& parser, const Expression& operand)
      : Expression(parser), operand_{&operand} {}
  const Expression& operand() const { return *operand_[0]; }
  std::span<const Expression* const> operands() const override { return operand_; }
  // "(" op operand ")".
  size_t textPieceCount() const override { return 4; }

 protected:
  ~UnaryExpression() = default;
  TextPiece prefixPiece(size_t index, std::string_view op) const;

 private:
  const Expression* operand_[1];
};

class BinaryExpression : public Expression {
 public:
  BinaryExpression(ExpressionParser& parser, const Expression& left, const Expression& right)
      : Expression(parser), operands_{&left, &right} {}
  const Expression& left() const { return *operands_[0]; }
  const Expression& right() const { return *operands_[1]; }
  std::span<const Expression* const> operands() const override { return operands_; }
  // "(" left " " op " " right ")".
  size_t textPieceCount() const override { return 7; }

 protected:
  ~BinaryExpression() = default;
  TextPiece infixPiece(size_t index, std::string_view op) const;

 private:
  const Expression* operands_[2];
};

}  // namespace vozo
