#include "expr/literal_values.h"

#include <charconv>
#include <limits>
#include <system_error>

#include "expr/c_number.h"

namespace vozo {

uint64_t integerLiteralValue(TokenKind kind, std::string_view text) {
  switch (kind) {
    case TOKEN_HEXINTEGER:
      return parseCUnsigned(text);
    case TOKEN_BININTEGER:
      return parseDigits(text.substr(text.size() < 2 ? text.size() : 2), 2).value;
    default:
      return static_cast<uint64_t>(parseCSigned(text));
  }
}

double floatLiteralValue(std::string_view text) {
  double value = 0.0;
  const auto result =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (result.ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone on overflow and on underflow to zero;
    // without an exponent, overflow means a non-zero digit before the point.
    const std::string_view whole = text.substr(0, text.find('.'));
    return whole.find_first_not_of('0') != std::string_view::npos
               ? std::numeric_limits<double>::infinity()
               : 0.0;
  }
  return value;
}

}  // namespace vozo
