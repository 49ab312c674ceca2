#include "expr/lexer_token.h"

#include "expr/unicode_space.h"

namespace vozo {

size_t CharacterLexerToken::match(std::string_view rest) const {
  return !rest.empty() && rest.front() == character_ ? 1 : 0;
}

bool CharacterLexerToken::mayStartWith(unsigned char byte) const {
  return byte == static_cast<unsigned char>(character_);
}

size_t StringLexerToken::match(std::string_view rest) const {
  return rest.starts_with(text_) ? text_.size() : 0;
}

bool StringLexerToken::mayStartWith(unsigned char byte) const {
  return text_.empty() || byte == static_cast<unsigned char>(text_.front());
}

size_t CategoryLexerToken::match(std::string_view rest) const {
  switch (category_) {
    case Category::SpaceSeparator:
      return spaceSeparatorRunLength(rest);
  }
  return 0;
}

bool CategoryLexerToken::mayStartWith(unsigned char byte) const {
  switch (category_) {
    case Category::SpaceSeparator:
      return mayStartSpaceSeparator(byte);
  }
  return true;
}

size_t CStyleStringLiteralLexerToken::match(std::string_view rest) const {
  if (rest.empty() || rest.front() != '"') return 0;
  for (size_t i = 1; i < rest.size(); ++i) {
    if (rest[i] == '"' && rest[i - 1] != '\\') return i + 1;
  }
  return 0;
}

}  // namespace vozo
