#include "expr/expression_value.h"

#include <bit>
#include <cmath>
#include <limits>
#include <utility>

namespace vozo {

ExpressionValue ExpressionValue::boolean(bool value) {
  ExpressionValue v;
  v.valueKind = ValueKind::Boolean;
  v.payload = value ? 1 : 0;
  v.byteSize = 1;
  return v;
}

ExpressionValue ExpressionValue::signedInteger(uint64_t bits, uint32_t byteSize) {
  ExpressionValue v;
  v.valueKind = ValueKind::Signed;
  v.payload = bits;
  v.byteSize = byteSize;
  return v;
}

ExpressionValue ExpressionValue::unsignedInteger(uint64_t bits, uint32_t byteSize) {
  ExpressionValue v;
  v.valueKind = ValueKind::Unsigned;
  v.payload = bits;
  v.byteSize = byteSize;
  return v;
}

ExpressionValue ExpressionValue::floating(double value, uint32_t byteSize) {
  ExpressionValue v;
  v.valueKind = ValueKind::Float;
  v.payload = std::bit_cast<uint64_t>(value);
  v.byteSize = byteSize;
  return v;
}

ExpressionValue ExpressionValue::string(std::string text) {
  ExpressionValue v;
  v.valueKind = ValueKind::String;
  v.text = std::move(text);
  return v;
}

double ExpressionValue::floatPayload() const {
  return std::bit_cast<double>(payload);
}

namespace {

uint64_t lowBits(uint64_t value, unsigned width) {
  return width >= 64 ? value : value & ((uint64_t{1} << width) - 1);
}

int64_t signExtend(uint64_t value, unsigned width) {
  if (width == 0 || width >= 64) return static_cast<int64_t>(value);
  const uint64_t sign = uint64_t{1} << (width - 1);
  const uint64_t low = lowBits(value, width);
  return static_cast<int64_t>((low ^ sign) - sign);
}

unsigned integerWidth(uint32_t byteSize) {
  return byteSize == 1 || byteSize == 2 || byteSize == 4 ? byteSize * 8 : 64;
}

}  // namespace

uint64_t ExpressionValue::unsignedValue() const {
  switch (valueKind) {
    case ValueKind::Boolean:
      return payload != 0 ? 1 : 0;
    case ValueKind::Signed:
    case ValueKind::Unsigned:
      return lowBits(payload, integerWidth(byteSize));
    case ValueKind::Float:
      if (byteSize == 4) return singlePrecisionBits(floatPayload());
      if (byteSize == 2) return halfPrecisionBits(floatPayload());
      return payload;
    default:
      return 0;
  }
}

int64_t ExpressionValue::signedValue() const {
  switch (valueKind) {
    case ValueKind::Boolean:
      return payload != 0 ? 1 : 0;
    case ValueKind::Signed:
    case ValueKind::Unsigned:
      return signExtend(payload, bitWidth != 0 ? bitWidth : integerWidth(byteSize));
    case ValueKind::Float: {
      const double value = floatPayload();
      // 2^63 is exactly representable; anything at or beyond it saturates.
      constexpr double kLimit = 9223372036854775808.0;
      if (std::isnan(value)) return 0;
      if (value >= kLimit) return std::numeric_limits<int64_t>::max();
      if (value <= -kLimit) return std::numeric_limits<int64_t>::min();
      return static_cast<int64_t>(value);
    }
    default:
      return 0;
  }
}

double ExpressionValue::floatValue() const {
  switch (valueKind) {
    case ValueKind::Boolean:
      return payload != 0 ? 1.0 : 0.0;
    case ValueKind::Signed:
      return static_cast<double>(signedValue());
    case ValueKind::Unsigned:
      return static_cast<double>(unsignedValue());
    case ValueKind::Float:
      return floatPayload();
    default:
      return 0.0;
  }
}

bool ExpressionValue::isNonZero() const {
  switch (valueKind) {
    case ValueKind::Boolean:
      return payload != 0;
    case ValueKind::Signed:
    case ValueKind::Unsigned:
      return unsignedValue() != 0;
    case ValueKind::Float:
      return floatPayload() != 0.0;
    default:
      return false;
  }
}

uint32_t singlePrecisionBits(double value) {
  // Converting a finite double beyond the float range is undefined in C++;
  // round such values by hand: up to half an ulp above FLT_MAX rounds down to
  // it, from there on (ties go to the even pattern, which is infinity) the
  // result is infinity.
  constexpr double kFloatMax = std::numeric_limits<float>::max();
  constexpr double kOverflow = 0x1.ffffffp127;  // FLT_MAX + half an ulp
  float result;
  if (std::isfinite(value) && std::fabs(value) > kFloatMax) {
    const float magnitude = std::fabs(value) >= kOverflow ? std::numeric_limits<float>::infinity()
                                                          : std::numeric_limits<float>::max();
    result = std::signbit(value) ? -magnitude : magnitude;
  } else {
    result = static_cast<float>(value);
  }
  return std::bit_cast<uint32_t>(result);
}

uint16_t halfPrecisionBits(double value) {
  const uint64_t bits = std::bit_cast<uint64_t>(value);
  const uint16_t sign = static_cast<uint16_t>((bits >> 48) & 0x8000);
  const int exponent = static_cast<int>((bits >> 52) & 0x7FF);
  const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
  if (exponent == 0x7FF) {  // infinity or NaN (quiet, keeping the top fraction bits)
    return static_cast<uint16_t>(sign | 0x7C00 | (fraction != 0 ? 0x200 | (fraction >> 42) : 0));
  }
  const int halfExponent = exponent - 1023 + 15;
  if (halfExponent >= 31) return static_cast<uint16_t>(sign | 0x7C00);
  // Significand with its hidden bit (none for zero and double subnormals,
  // which are far below the half range and round to zero anyway).
  const uint64_t significand = exponent == 0 ? fraction : fraction | (uint64_t{1} << 52);
  // Keep 10 fraction bits for normal results; subnormal results lose
  // 1 - halfExponent more.
  const int shift = halfExponent >= 1 ? 42 : 42 + 1 - halfExponent;
  if (shift >= 64) return sign;
  uint64_t kept = significand >> shift;
  const uint64_t rest = significand & ((uint64_t{1} << shift) - 1);
  const uint64_t half = uint64_t{1} << (shift - 1);
  if (rest > half || (rest == half && (kept & 1) != 0)) ++kept;
  uint64_t result;
  if (halfExponent >= 1) {
    // kept still holds the hidden bit; a rounding carry moves into the
    // exponent, and up to infinity (0x7C00) when it overflows.
    result = (static_cast<uint64_t>(halfExponent) << 10) + (kept - (uint64_t{1} << 10));
  } else {
    result = kept;  // subnormal, or the smallest normal after a carry
  }
  if (result >= 0x7C00) result = 0x7C00;
  return static_cast<uint16_t>(sign | result);
}

}  // namespace vozo
