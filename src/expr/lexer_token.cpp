#include "expr/lexer_token.h"

#include "expr/unicode_classes.h"

namespace vozo {

size_t CharacterLexerToken::match(std::string_view rest) const {
  return !rest.empty() && rest.front() == character_ ? 1 : 0;
}

ByteSet CharacterLexerToken::firstBytes() const {
  return ByteSet(std::string_view(&character_, 1));
}

size_t StringLexerToken::match(std::string_view rest) const {
  return rest.starts_with(text_) ? text_.size() : 0;
}

ByteSet StringLexerToken::firstBytes() const {
  return ByteSet(text_.substr(0, 1));
}

size_t CategoryLexerToken::match(std::string_view rest) const {
  switch (category_) {
    case Category::SpaceSeparator:
      return spaceSeparatorRunLength(rest);
  }
  return 0;
}

ByteSet CategoryLexerToken::firstBytes() const {
  ByteSet bytes;
  switch (category_) {
    case Category::SpaceSeparator:
      for (unsigned byte = 0; byte < 256; ++byte) {
        if (mayStartSpaceSeparator(static_cast<unsigned char>(byte))) bytes.add(byte);
      }
      break;
  }
  return bytes;
}

size_t CStyleStringLiteralLexerToken::match(std::string_view rest) const {
  if (rest.empty() || rest.front() != '"') return 0;
  for (size_t i = 1; i < rest.size(); ++i) {
    if (rest[i] == '"' && rest[i - 1] != '\\') return i + 1;
  }
  return 0;
}

}  // namespace vozo
