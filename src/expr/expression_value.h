#pragma once
// The typed result of every evaluation step, and its three read-outs.

#include <cstdint>
#include <string>

namespace vozo {

enum class ValueKind : uint8_t {
  Boolean = 0,
  Signed = 1,
  Unsigned = 2,
  String = 3,
  Object = 4,  // a handle to something outside the expression; never produced here
  Float = 5,
  None = 6,
};

struct ExpressionValue {
  ValueKind valueKind = ValueKind::None;
  // Boolean: 0 or 1; Signed and Unsigned: the integer as 64 bits, not reduced
  // to byteSize; Float: the bits of an IEEE double.
  uint64_t payload = 0;
  // Size in bytes of the value's type: 1, 2, 4 or 8 for integers and floats,
  // 1 for Booleans, 0 for strings and None.
  uint32_t byteSize = 0;
  // 0 for a whole value, else the width of a bit field.
  uint32_t bitWidth = 0;
  // The text of a String value; empty for every other kind.
  std::string text;

  static ExpressionValue boolean(bool value);
  static ExpressionValue signedInteger(uint64_t bits, uint32_t byteSize = 8);
  static ExpressionValue unsignedInteger(uint64_t bits, uint32_t byteSize = 8);
  static ExpressionValue floating(double value, uint32_t byteSize = 8);
  static ExpressionValue string(std::string text);

  // The payload of a Float value as a double.
  double floatPayload() const;

  // Boolean: 0 or 1. Signed, Unsigned: the payload reduced to byteSize (1, 2,
  // 4 bytes; any other size keeps 64 bits). Float: the bit pattern of the
  // value stored with byteSize bytes (8: the double, 4: IEEE single, 2: IEEE
  // half; any other size: the double). Anything else: 0.
  uint64_t unsignedValue() const;

  // Boolean: 0 or 1. Signed, Unsigned: sign-extended from bitWidth when it is
  // set (1 to 63), else from byteSize (1, 2, 4; any other size: 64 bits as
  // they are). Float: truncated toward zero; out-of-range values saturate at
  // INT64_MIN / INT64_MAX and NaN gives 0. Anything else: 0.
  int64_t signedValue() const;

  // Signed: its signed read-out; Unsigned: its unsigned read-out; Boolean: 0
  // or 1; Float: itself; anything else 0.0.
  double floatValue() const;

  // Truth of a value used as a condition: non-zero read-out for integers,
  // non-zero for Float (so -0.0 is false), the flag for Boolean, false for
  // anything else.
  bool isNonZero() const;
};

// IEEE bit patterns of `value` rounded to single and half precision (round to
// nearest even, overflow to infinity, NaN stays NaN).
uint32_t singlePrecisionBits(double value);
uint16_t halfPrecisionBits(double value);

}  // namespace vozo
