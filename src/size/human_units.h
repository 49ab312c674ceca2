#pragma once

#include <cstdint>
#include <string>

namespace vozo::size {

// A byte count that may be negative and needs 65 bits: the free bytes of a
// segment, its size minus what its sections use, are negative when it
// overflows and reach -(2^64 - 1).
struct SignedBytes {
  uint64_t magnitude = 0;
  bool negative = false;
};

// "0x08000000": at least eight hex digits.
std::string hexAddress(uint64_t address);

// "16 B", "1.2 KiB", "512.0 KiB", "2.5 MiB", up to "16.0 EiB"; a leading
// "-" for a negative count.
std::string humanBytes(uint64_t bytes);
std::string humanBytes(SignedBytes bytes);

// "-16384": the exact count in decimal.
std::string decimalBytes(SignedBytes bytes);

// The share of `used` in `size` in percent with `decimals` decimals
// ("23.56"); "0" style for an empty segment holding nothing, and an empty
// text when a segment of size 0 holds something.
std::string percentText(uint64_t used, uint64_t size, int decimals);

}  // namespace vozo::size
