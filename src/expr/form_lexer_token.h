#pragma once
// The recognisers of the lexer's number, name and register tokens. Each form
// is a fixed shape; the token is the longest text of that shape at the read
// position, and a form whose shape is not there does not match:
//
//   HexInteger     "0" "x" or "X", hex digits (maybe none), suffix
//   BinaryInteger  "0b", the digits 0 and 1 (maybe none)
//   Float          decimal digits, ".", decimal digits (at least one each)
//   Integer        decimal digits (at least one), suffix
//   Identifier     a letter, "_" or "$", then letters, digits, "_" and "$"
//   Register       "@", then letters, digits and "_" (maybe none)
//
// Decimal digits are those of every script (Unicode category Nd, in UTF-8,
// such as U+0661 ARABIC-INDIC DIGIT ONE); the value of such a literal is
// read as a C library conversion reads it, so non-ASCII digits count as none
// there (a lone U+0661 is the integer 0). Every other class is ASCII: hex and
// binary digits, letters, "_", "$" and "@". The suffix is up to six letters,
// each optional, in the order U L L u l l.

#include "expr/lexer_token.h"

namespace vozo {

class FormLexerToken : public LexerToken {
 public:
  enum class Form { HexInteger, BinaryInteger, Float, Integer, Identifier, Register };
  FormLexerToken(Form form, TokenKind kind, int precedence)
      : LexerToken(kind, precedence), form_(form) {}
  size_t match(std::string_view rest) const override;
  ByteSet firstBytes() const override;

 private:
  Form form_;
};

}  // namespace vozo
