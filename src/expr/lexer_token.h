#pragma once
// Token recognisers of the expression lexer. Each recogniser has a token kind
// and a precedence and tells how long a token of its kind is at the start of
// a text. The recognisers hold no per-use state, so one set of them is shared
// by every lexer of the process.

#include <cstddef>
#include <string_view>

#include "expr/token_kind.h"

namespace vozo {

class LexerToken {
 public:
  LexerToken(TokenKind kind, int precedence) : kind_(kind), precedence_(precedence) {}
  virtual ~LexerToken() = default;
  LexerToken(const LexerToken&) = delete;
  LexerToken& operator=(const LexerToken&) = delete;

  TokenKind kind() const { return kind_; }
  int precedence() const { return precedence_; }

  // Length of the token at the start of `rest`; 0 when there is none.
  virtual size_t match(std::string_view rest) const = 0;

  // False only when no token of this recogniser can begin with `byte`. The
  // lexer uses it to skip recognisers without changing the result.
  virtual bool mayStartWith(unsigned char byte) const = 0;

 private:
  TokenKind kind_;
  int precedence_;
};

// One fixed character, such as "(".
class CharacterLexerToken : public LexerToken {
 public:
  CharacterLexerToken(char character, TokenKind kind, int precedence)
      : LexerToken(kind, precedence), character_(character) {}
  size_t match(std::string_view rest) const override;
  bool mayStartWith(unsigned char byte) const override;

 private:
  char character_;
};

// One fixed text of several characters, such as "<<=".
class StringLexerToken : public LexerToken {
 public:
  StringLexerToken(std::string_view text, TokenKind kind, int precedence)
      : LexerToken(kind, precedence), text_(text) {}
  size_t match(std::string_view rest) const override;
  bool mayStartWith(unsigned char byte) const override;

 private:
  std::string_view text_;  // refers to a string literal
};

// A run of characters of one Unicode category, decoded from UTF-8. The only
// category the lexer needs is the space separator.
class CategoryLexerToken : public LexerToken {
 public:
  enum class Category { SpaceSeparator };
  CategoryLexerToken(Category category, TokenKind kind, int precedence)
      : LexerToken(kind, precedence), category_(category) {}
  size_t match(std::string_view rest) const override;
  bool mayStartWith(unsigned char byte) const override;

 private:
  Category category_;
};

// A C string literal: a double quote, the characters up to the next double
// quote that does not follow a backslash, and that quote. An unclosed literal
// does not match. Backslashes are not interpreted.
class CStyleStringLiteralLexerToken : public LexerToken {
 public:
  CStyleStringLiteralLexerToken(TokenKind kind, int precedence) : LexerToken(kind, precedence) {}
  size_t match(std::string_view rest) const override;
  bool mayStartWith(unsigned char byte) const override { return byte == '"'; }
};

}  // namespace vozo
