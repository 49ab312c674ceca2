// The C number conversions must agree with the C library's strtoull /
// strtoll with base 0, consumed length included, on text that is not
// NUL-terminated.

#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "expr/c_number.h"

namespace vozo {
namespace {

// Inputs compared against the C library. "0b" prefixes are left out: newer C
// libraries read them as binary under C23 rules, which is not the behaviour
// wanted here (see BinaryPrefixIsNotSpecial).
const std::vector<std::string> kTexts = {
    "",
    "0",
    "42",
    "  42",
    "\t\n\v\f\r 7",
    "+12",
    "-1",
    "-0",
    "- 1",
    "+-1",
    "-",
    "+",
    "   ",
    "010",
    "09",
    "0777",
    "08",
    "0x",
    "0X",
    "0xg",
    "0x1F",
    "0X1f",
    "0x1FUL",
    "0xFFFFFFFFFFFFFFFF",
    "0x10000000000000000",
    "-0x10000000000000000",
    "0xFFFFFFFFFFFFFFFFF",
    "18446744073709551615",
    "18446744073709551616",
    "-18446744073709551615",
    "-18446744073709551616",
    "99999999999999999999999999",
    "9223372036854775807",
    "9223372036854775808",
    "-9223372036854775808",
    "-9223372036854775809",
    "01777777777777777777777",
    "02000000000000000000000",
    "12abc",
    "0x12.5",
    "1e5",
    "abc",
    "x12",
    "  -0x8000000000000000",
    "000000000000000000000000000000001",
};

// Whether `text` is "0x" or "0X" with no hex digit after it. The C standard
// reads the "0" of it as the number, as glibc does and vozo does on every
// host; the Windows C runtime takes nothing.
bool isBareHexPrefix(const std::string& text) {
  return text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
         (text.size() == 2 || !std::isxdigit(static_cast<unsigned char>(text[2])));
}

TEST(CNumberTest, UnsignedMatchesStrtoull) {
  for (const std::string& text : kTexts) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long expected = std::strtoull(text.c_str(), &end, 0);
    const size_t expectedLength = isBareHexPrefix(text) ? 1 : end - text.c_str();
    const CNumberPrefix actual = parseCUnsignedPrefix(text);
    EXPECT_EQ(actual.value, expected) << '"' << text << '"';
    EXPECT_EQ(actual.length, expectedLength) << '"' << text << '"';
    EXPECT_EQ(parseCUnsigned(text), expected) << '"' << text << '"';
  }
}

TEST(CNumberTest, SignedMatchesStrtoll) {
  for (const std::string& text : kTexts) {
    errno = 0;
    const long long expected = std::strtoll(text.c_str(), nullptr, 0);
    EXPECT_EQ(parseCSigned(text), expected) << '"' << text << '"';
  }
}

TEST(CNumberTest, StopsAtTheEndOfTheView) {
  const std::string buffer = "123456 0x1F";
  EXPECT_EQ(parseCUnsigned(std::string_view(buffer).substr(0, 3)), 123u);
  EXPECT_EQ(parseCUnsigned(std::string_view(buffer).substr(7, 3)), 1u);  // "0x1": hex 1
  EXPECT_EQ(parseCUnsigned(std::string_view(buffer).substr(7, 2)), 0u);  // "0x": the 0
  EXPECT_EQ(parseCUnsignedPrefix(std::string_view(buffer).substr(7, 2)).length, 1u);
}

TEST(CNumberTest, BinaryPrefixIsNotSpecial) {
  EXPECT_EQ(parseCUnsigned("0b101"), 0u);
  EXPECT_EQ(parseCUnsignedPrefix("0b101").length, 1u);
}

TEST(CNumberTest, DigitsInABase) {
  struct Case {
    std::string_view text;
    unsigned base;
    uint64_t value;
    size_t length;
    bool overflow;
  };
  const Case cases[] = {
      {"", 2, 0, 0, false},
      {"1012", 2, 5, 3, false},
      {std::string_view("1111111111111111111111111111111111111111111111111111111111111111"), 2,
       UINT64_MAX, 64, false},
      {std::string_view("10000000000000000000000000000000000000000000000000000000000000000"), 2,
       UINT64_MAX, 65, true},
      {"fFz", 16, 255, 2, false},
      {"789", 8, 7, 1, false},
  };
  for (const Case& c : cases) {
    const CDigits digits = parseDigits(c.text, c.base);
    EXPECT_EQ(digits.value, c.value) << c.text;
    EXPECT_EQ(digits.length, c.length) << c.text;
    EXPECT_EQ(digits.overflow, c.overflow) << c.text;
  }
}

}  // namespace
}  // namespace vozo
