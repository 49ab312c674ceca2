#pragma once

#include <cstdint>
#include <string>

namespace vozo::size {

// "0x08000000": at least eight hex digits.
std::string hexAddress(uint64_t address);

// "16 B", "1.2 KiB", "512.0 KiB", "2.5 MiB"; a leading "-" for negative counts.
std::string humanBytes(int64_t bytes);

// The share of `used` in `size` in percent with `decimals` decimals
// ("23.56"); "0" style for an empty segment holding nothing, and an empty
// text when a segment of size 0 holds something.
std::string percentText(uint64_t used, uint64_t size, int decimals);

}  // namespace vozo::size
