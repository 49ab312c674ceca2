#pragma once

#include <cstdint>
#include <string>

namespace vozo::size {

// "0x08000000": at least eight hex digits.
std::string hexAddress(uint64_t address);

// "16 B", "1.2 KiB", "512.0 KiB", "2.5 MiB"; a leading "-" for negative counts.
std::string humanBytes(int64_t bytes);

// The share of `used` in `size` as a percentage, for display; 0 for an
// empty segment that holds nothing.
double percentOf(uint64_t used, uint64_t size);

}  // namespace vozo::size
