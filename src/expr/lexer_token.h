#pragma once
// Token recognisers of the expression lexer. Each recogniser has a token kind
// and a precedence and tells how long a token of its kind is at the start of
// a text. The recognisers hold no per-use state, so one set of them is shared
// by every lexer of the process.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "expr/token_kind.h"

namespace vozo {

// A set of byte values, walked in ascending order.
class ByteSet {
 public:
  ByteSet() = default;
  // The bytes of `bytes`.
  explicit ByteSet(std::string_view bytes) {
    for (const char byte : bytes) add(static_cast<unsigned char>(byte));
  }
  void add(unsigned char byte) { words_[byte / 64] |= uint64_t{1} << (byte % 64); }
  bool contains(unsigned char byte) const { return (words_[byte / 64] >> (byte % 64)) & 1; }
  template <class Visit>
  void forEach(Visit visit) const {
    for (unsigned word = 0; word < words_.size(); ++word) {
      for (uint64_t bits = words_[word]; bits != 0; bits &= bits - 1) {
        visit(static_cast<unsigned char>(word * 64 + std::countr_zero(bits)));
      }
    }
  }

 private:
  std::array<uint64_t, 4> words_{};
};

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

  // Every byte with which a token of this recogniser can begin. The lexer
  // tries the recogniser only at those bytes, without changing the result.
  virtual ByteSet firstBytes() const = 0;

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
  ByteSet firstBytes() const override;

 private:
  char character_;
};

// One fixed text of several characters, such as "<<=".
class StringLexerToken : public LexerToken {
 public:
  StringLexerToken(std::string_view text, TokenKind kind, int precedence)
      : LexerToken(kind, precedence), text_(text) {}
  size_t match(std::string_view rest) const override;
  ByteSet firstBytes() const override;

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
  ByteSet firstBytes() const override;

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
  ByteSet firstBytes() const override { return ByteSet("\""); }
};

}  // namespace vozo
