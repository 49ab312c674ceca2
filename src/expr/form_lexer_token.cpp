#include "expr/form_lexer_token.h"

#include "expr/ascii_class.h"
#include "expr/unicode_classes.h"

namespace vozo {

namespace {

bool isIdentifierStart(char c) {
  return isAsciiLetter(c) || c == '_' || c == '$';
}

bool isIdentifierPart(char c) {
  return isIdentifierStart(c) || isDecimalDigit(c);
}

bool isRegisterPart(char c) {
  return isAsciiLetter(c) || isDecimalDigit(c) || c == '_';
}

bool isBinaryDigit(char c) {
  return c == '0' || c == '1';
}

// The position after the run of bytes from `at` on that satisfy `belongs`.
template <class Belongs>
size_t skipRun(std::string_view text, size_t at, Belongs belongs) {
  while (at < text.size() && belongs(text[at])) ++at;
  return at;
}

// The position after the integer suffix at `at`: each of U, L, L, u, l, l
// is taken when it is the next byte, in that order, so "UL" and "ull" are
// suffixes but only the "L" of "LU" is.
size_t skipIntegerSuffix(std::string_view text, size_t at) {
  for (const char letter : {'U', 'L', 'L', 'u', 'l', 'l'}) {
    if (at < text.size() && text[at] == letter) ++at;
  }
  return at;
}

size_t hexIntegerLength(std::string_view text) {
  if (text.size() < 2 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return 0;
  return skipIntegerSuffix(text, skipRun(text, 2, isHexDigit));
}

size_t binaryIntegerLength(std::string_view text) {
  if (!text.starts_with("0b")) return 0;
  return skipRun(text, 2, isBinaryDigit);
}

// The position after the decimal digits at `at`: "0" to "9" and the
// decimal digits of other scripts, as "\\d" of a Unicode pattern takes them.
size_t skipDecimalDigits(std::string_view text, size_t at) {
  return at + decimalDigitRunLength(text.substr(at));
}

// Both digit runs must be there: "12." and "12.x" are no float, and "12.5.3"
// is the float "12.5".
size_t floatLength(std::string_view text) {
  const size_t point = skipDecimalDigits(text, 0);
  if (point == 0 || point == text.size() || text[point] != '.') return 0;
  const size_t end = skipDecimalDigits(text, point + 1);
  return end == point + 1 ? 0 : end;
}

size_t integerLength(std::string_view text) {
  const size_t digitsEnd = skipDecimalDigits(text, 0);
  return digitsEnd == 0 ? 0 : skipIntegerSuffix(text, digitsEnd);
}

size_t identifierLength(std::string_view text) {
  if (text.empty() || !isIdentifierStart(text[0])) return 0;
  return skipRun(text, 1, isIdentifierPart);
}

size_t registerLength(std::string_view text) {
  if (text.empty() || text[0] != '@') return 0;
  return skipRun(text, 1, isRegisterPart);
}

}  // namespace

size_t FormLexerToken::match(std::string_view rest) const {
  switch (form_) {
    case Form::HexInteger:
      return hexIntegerLength(rest);
    case Form::BinaryInteger:
      return binaryIntegerLength(rest);
    case Form::Float:
      return floatLength(rest);
    case Form::Integer:
      return integerLength(rest);
    case Form::Identifier:
      return identifierLength(rest);
    case Form::Register:
      return registerLength(rest);
  }
  return 0;
}

ByteSet FormLexerToken::firstBytes() const {
  switch (form_) {
    case Form::HexInteger:
    case Form::BinaryInteger:
      return ByteSet("0");
    case Form::Float:
    case Form::Integer: {
      ByteSet digitStarts;
      for (unsigned byte = 0; byte < 256; ++byte) {
        if (mayStartDecimalDigit(static_cast<unsigned char>(byte))) {
          digitStarts.add(static_cast<unsigned char>(byte));
        }
      }
      return digitStarts;
    }
    case Form::Identifier:
      return ByteSet("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$");
    case Form::Register:
      return ByteSet("@");
  }
  return ByteSet();
}

}  // namespace vozo
