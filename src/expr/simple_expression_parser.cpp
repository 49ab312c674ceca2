#include "expr/simple_expression_parser.h"

#include "expr/parser_exception.h"

namespace vozo {

namespace {

[[noreturn]] void fail(std::string message) {
  throw ParserException(std::move(message));
}

}  // namespace

bool SimpleExpressionParser::noteFailure(std::string_view text) {
  if (failuresLeft_ == 0) return false;
  --failuresLeft_;
  if (failedTexts_.size() < kRememberedFailures) failedTexts_.emplace(text);
  return true;
}

ExpressionValue SimpleExpressionParser::lookupScopedSymbol(
    std::span<const std::string_view> parts) {
  std::string name;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i != 0) name += "::";
    name += parts[i];
  }
  fail(name + " symbol not found");
}

ExpressionValue SimpleExpressionParser::lookupSymbol(std::string_view name) {
  fail(std::string(name) + " symbol not found");
}

ExpressionValue SimpleExpressionParser::readRegister(std::string_view registerText) {
  fail(std::string(registerText) + "unknown register");
}

bool SimpleExpressionParser::isTypeName(std::string_view) {
  return false;
}

bool SimpleExpressionParser::isStructName(std::string_view) {
  return false;
}

ExpressionValue SimpleExpressionParser::cast(std::string_view, const ExpressionValue&) {
  fail("cannot cast");
}

ExpressionValue SimpleExpressionParser::dereference(const ExpressionValue&) {
  fail("cannot dereference");
}

ExpressionValue SimpleExpressionParser::index(const ExpressionValue&, const ExpressionValue&) {
  fail("cannot dereference");
}

ExpressionValue SimpleExpressionParser::member(const ExpressionValue&, std::string_view) {
  fail("cannot dereference");
}

ExpressionValue SimpleExpressionParser::pointedMember(const ExpressionValue&, std::string_view) {
  fail("cannot dereference");
}

ExpressionValue SimpleExpressionParser::addressOf(const Expression&) {
  fail("addressof not implemented");
}

ExpressionValue SimpleExpressionParser::sizeOfExpression(const Expression&) {
  fail("sizeof expression not implemented");
}

ExpressionValue SimpleExpressionParser::sizeOfType(std::string_view) {
  fail("sizeof(typename) not implemented");
}

ExpressionValue SimpleExpressionParser::addressOfLine(const Expression&) {
  fail("addressof not implemented");
}

ExpressionValue SimpleExpressionParser::assign(const Expression&, const Expression&) {
  fail("this symbol not found");
}

ExpressionValue SimpleExpressionParser::call(const Expression&, std::span<const ExpressionValue>) {
  fail("function calling not implemented");
}

ExpressionValue SimpleExpressionParser::arraySlice(const ExpressionValue&, const ExpressionValue&,
                                                   const ExpressionValue&) {
  fail("cannot array slice");
}

ExpressionValue SimpleExpressionParser::symbolAt(std::string_view, int64_t) {
  fail("symbolat not implemented");
}

std::optional<std::string> SimpleExpressionParser::identifierReplacement(std::string_view) {
  return std::nullopt;
}

}  // namespace vozo
