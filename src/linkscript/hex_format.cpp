#include "linkscript/hex_format.h"

namespace vozo {

void appendHex8(std::string& out, uint64_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  char reversed[16];
  int count = 0;
  do {
    reversed[count++] = kDigits[value & 0xf];
    value >>= 4;
  } while (value != 0);
  if (count < 8) out.append(static_cast<size_t>(8 - count), '0');
  while (count > 0) out.push_back(reversed[--count]);
}

std::string hex8(uint64_t value) {
  std::string out;
  appendHex8(out, value);
  return out;
}

}  // namespace vozo
