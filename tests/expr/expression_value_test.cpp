// Read-outs of expression values: size reduction, sign extension, float bit
// patterns and float truncation.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "expr/expression_value.h"

namespace vozo {
namespace {

ExpressionValue withBitWidth(ExpressionValue value, uint32_t bitWidth) {
  value.bitWidth = bitWidth;
  return value;
}

TEST(ExpressionValueTest, UnsignedReadOut) {
  struct Case {
    ExpressionValue value;
    uint64_t expected;
  };
  const Case cases[] = {
      {ExpressionValue::signedInteger(0x1FF, 1), 0xFF},
      {ExpressionValue::signedInteger(0x1FFFF, 2), 0xFFFF},
      {ExpressionValue::signedInteger(0x1FFFFFFFF, 4), 0xFFFFFFFF},
      {ExpressionValue::signedInteger(UINT64_MAX, 8), UINT64_MAX},
      {ExpressionValue::signedInteger(UINT64_MAX, 3), UINT64_MAX},  // odd sizes keep 64 bits
      {ExpressionValue::unsignedInteger(0x1234, 1), 0x34},
      {ExpressionValue::boolean(true), 1},
      {ExpressionValue::boolean(false), 0},
      {ExpressionValue::floating(1.5), 0x3FF8000000000000},
      {ExpressionValue::floating(1.5, 4), 0x3FC00000},
      {ExpressionValue::floating(1.5, 2), 0x3E00},
      {ExpressionValue::string("12"), 0},
      {ExpressionValue(), 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.value.unsignedValue(), c.expected)
        << "kind " << static_cast<int>(c.value.valueKind) << " size " << c.value.byteSize;
  }
}

TEST(ExpressionValueTest, SignedReadOut) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    ExpressionValue value;
    int64_t expected;
  };
  const Case cases[] = {
      {ExpressionValue::signedInteger(0x80, 1), -128},
      {ExpressionValue::signedInteger(0x7F, 1), 127},
      {ExpressionValue::signedInteger(0x18000, 2), -32768},
      {ExpressionValue::signedInteger(0xFFFFFFFF, 4), -1},
      {ExpressionValue::unsignedInteger(0xFFFFFFFF, 4), -1},
      {ExpressionValue::signedInteger(0xFFFFFFFF, 8), 0xFFFFFFFF},
      {withBitWidth(ExpressionValue::signedInteger(0b100, 4), 3), -4},
      {withBitWidth(ExpressionValue::signedInteger(0b1011, 4), 3), 3},
      {ExpressionValue::boolean(true), 1},
      {ExpressionValue::floating(1.9), 1},
      {ExpressionValue::floating(-1.9), -1},
      {ExpressionValue::floating(1e30), INT64_MAX},
      {ExpressionValue::floating(-1e30), INT64_MIN},
      {ExpressionValue::floating(-9223372036854775808.0), INT64_MIN},
      {ExpressionValue::floating(kNaN), 0},
      {ExpressionValue::string("5"), 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.value.signedValue(), c.expected)
        << "kind " << static_cast<int>(c.value.valueKind) << " payload " << c.value.payload;
  }
}

TEST(ExpressionValueTest, FloatReadOut) {
  EXPECT_EQ(ExpressionValue::signedInteger(UINT64_MAX).floatValue(), -1.0);
  EXPECT_EQ(ExpressionValue::unsignedInteger(0x1FF, 1).floatValue(), 255.0);
  EXPECT_EQ(ExpressionValue::unsignedInteger(UINT64_MAX).floatValue(), 18446744073709551616.0);
  EXPECT_EQ(ExpressionValue::boolean(true).floatValue(), 1.0);
  EXPECT_EQ(ExpressionValue::floating(2.25).floatValue(), 2.25);
  EXPECT_EQ(ExpressionValue::string("3").floatValue(), 0.0);
}

TEST(ExpressionValueTest, HalfPrecisionBits) {
  struct Case {
    double value;
    uint16_t bits;
  };
  const Case cases[] = {
      {1.0, 0x3C00},
      {-2.0, 0xC000},
      {0.1, 0x2E66},
      {65504.0, 0x7BFF},  // largest finite
      {65519.0, 0x7BFF},  // below the rounding midpoint
      {65520.0, 0x7C00},  // midpoint rounds to even: infinity
      {1e10, 0x7C00},
      {std::ldexp(1.0, -14), 0x0400},  // smallest normal
      {std::ldexp(1.0, -24), 0x0001},  // smallest subnormal
      {std::ldexp(1.0, -25), 0x0000},  // half of it: ties to even
      {std::ldexp(1.5, -25), 0x0001},
      {std::ldexp(1023.0, -24), 0x03FF},
      {std::ldexp(2047.0, -25), 0x0400},  // rounds up into the normal range
      {-0.0, 0x8000},
      {std::numeric_limits<double>::infinity(), 0x7C00},
  };
  for (const Case& c : cases) EXPECT_EQ(halfPrecisionBits(c.value), c.bits) << c.value;
  const uint16_t nan = halfPrecisionBits(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(nan & 0x7C00, 0x7C00);
  EXPECT_NE(nan & 0x03FF, 0);
}

TEST(ExpressionValueTest, SinglePrecisionBits) {
  const double floatMax = std::numeric_limits<float>::max();
  EXPECT_EQ(singlePrecisionBits(0.1), 0x3DCCCCCDu);
  EXPECT_EQ(singlePrecisionBits(floatMax), 0x7F7FFFFFu);
  EXPECT_EQ(singlePrecisionBits(floatMax * (1 + std::ldexp(1.0, -26))), 0x7F7FFFFFu);
  EXPECT_EQ(singlePrecisionBits(0x1.ffffffp127), 0x7F800000u);
  EXPECT_EQ(singlePrecisionBits(1e300), 0x7F800000u);
  EXPECT_EQ(singlePrecisionBits(-1e300), 0xFF800000u);
}

}  // namespace
}  // namespace vozo
