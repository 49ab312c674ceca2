// The boundaries of well-formed UTF-8 and of the characters shown as bytes:
// each case is one character (or stray byte) between two letters.

#include "size/printable_text.h"

#include <gtest/gtest.h>

namespace vozo::size {
namespace {

TEST(PrintableText, KeepsTextAndShowsEveryOtherByteAsHex) {
  const struct {
    const char* input;
    const char* shown;
  } cases[] = {
      {"a\xc2\xa0z", "a\xc2\xa0z"},                      // U+00A0, the first after the C1 controls
      {"a\xc2\x9fz", "a\\xc2\\x9fz"},                    // U+009F, a C1 control
      {"a\x7fz", "a\\x7fz"},                             // DEL
      {"a\x1fz", "a\\x1fz"},                             // a C0 control
      {"a\xc1\xbfz", "a\\xc1\\xbfz"},                    // overlong U+007F
      {"a\xe0\xa0\x80z", "a\xe0\xa0\x80z"},              // U+0800, the shortest three bytes
      {"a\xe0\x9f\xbfz", "a\\xe0\\x9f\\xbfz"},           // overlong U+07FF
      {"a\xed\x9f\xbfz", "a\xed\x9f\xbfz"},              // U+D7FF, below the surrogates
      {"a\xed\xa0\x80z", "a\\xed\\xa0\\x80z"},           // a surrogate
      {"a\xef\xbf\xbdz", "a\xef\xbf\xbdz"},              // U+FFFD
      {"a\xef\xbf\xbez", "a\\xef\\xbf\\xbez"},           // U+FFFE, which XML cannot hold
      {"a\xf0\x90\x80\x80z", "a\xf0\x90\x80\x80z"},      // U+10000
      {"a\xf0\x8f\xbf\xbfz", "a\\xf0\\x8f\\xbf\\xbfz"},  // overlong U+FFFF
      {"a\xf4\x8f\xbf\xbfz", "a\xf4\x8f\xbf\xbfz"},      // U+10FFFF, the last
      {"a\xf4\x90\x80\x80z", "a\\xf4\\x90\\x80\\x80z"},  // past U+10FFFF
      {"a\xe2\x82z", "a\\xe2\\x82z"},                    // cut short before a letter
      {"a\xe2\x82", "a\\xe2\\x82"},                      // cut short by the end
  };
  for (const auto& c : cases) EXPECT_EQ(printableText(c.input), c.shown) << c.shown;
}

}  // namespace
}  // namespace vozo::size
