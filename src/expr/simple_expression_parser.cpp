#include "expr/simple_expression_parser.h"

namespace vozo {

namespace {

Failure fail(std::string message) {
  return Failure{std::move(message)};
}

}  // namespace

Outcome<ExpressionValue> SimpleExpressionParser::lookupScopedSymbol(
    std::span<const std::string_view> parts) {
  std::string name;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i != 0) name += "::";
    name += parts[i];
  }
  return fail(name + " symbol not found");
}

Outcome<ExpressionValue> SimpleExpressionParser::lookupSymbol(std::string_view name) {
  return fail(std::string(name) + " symbol not found");
}

Outcome<ExpressionValue> SimpleExpressionParser::readRegister(std::string_view registerText) {
  return fail(std::string(registerText) + "unknown register");
}

bool SimpleExpressionParser::isTypeName(std::string_view) {
  return false;
}

bool SimpleExpressionParser::isStructName(std::string_view) {
  return false;
}

Outcome<ExpressionValue> SimpleExpressionParser::cast(std::string_view, const ExpressionValue&) {
  return fail("cannot cast");
}

Outcome<ExpressionValue> SimpleExpressionParser::dereference(const ExpressionValue&) {
  return fail("cannot dereference");
}

Outcome<ExpressionValue> SimpleExpressionParser::index(const ExpressionValue&,
                                                       const ExpressionValue&) {
  return fail("cannot dereference");
}

Outcome<ExpressionValue> SimpleExpressionParser::member(const ExpressionValue&, std::string_view) {
  return fail("cannot dereference");
}

Outcome<ExpressionValue> SimpleExpressionParser::pointedMember(const ExpressionValue&,
                                                               std::string_view) {
  return fail("cannot dereference");
}

Outcome<ExpressionValue> SimpleExpressionParser::addressOf(const Expression&) {
  return fail("addressof not implemented");
}

Outcome<ExpressionValue> SimpleExpressionParser::sizeOfExpression(const Expression&) {
  return fail("sizeof expression not implemented");
}

Outcome<ExpressionValue> SimpleExpressionParser::sizeOfType(std::string_view) {
  return fail("sizeof(typename) not implemented");
}

Outcome<ExpressionValue> SimpleExpressionParser::addressOfLine(const Expression&) {
  return fail("addressof not implemented");
}

Outcome<ExpressionValue> SimpleExpressionParser::assign(const Expression&, const Expression&) {
  return fail("this symbol not found");
}

Outcome<ExpressionValue> SimpleExpressionParser::call(const Expression&,
                                                      std::span<const ExpressionValue>) {
  return fail("function calling not implemented");
}

Outcome<ExpressionValue> SimpleExpressionParser::arraySlice(const ExpressionValue&,
                                                            const ExpressionValue&,
                                                            const ExpressionValue&) {
  return fail("cannot array slice");
}

Outcome<ExpressionValue> SimpleExpressionParser::symbolAt(std::string_view, int64_t) {
  return fail("symbolat not implemented");
}

std::optional<std::string> SimpleExpressionParser::identifierReplacement(std::string_view) {
  return std::nullopt;
}

}  // namespace vozo
