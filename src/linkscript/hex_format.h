#pragma once
// Numbers written into linker scripts: lower-case hexadecimal digits, padded
// on the left with "0" to at least 8 digits. The "0x" prefix is part of the
// literal text around the number and is not written here.

#include <cstdint>
#include <string>

namespace vozo {

// Appends the digits of `value` to `out` (0x8000000 gives "08000000",
// 0x123456789 gives "123456789").
void appendHex8(std::string& out, uint64_t value);

// The same digits as a new string.
std::string hex8(uint64_t value);

}  // namespace vozo
