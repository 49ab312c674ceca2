#include <cstdint>

#include "platform/temporary_file.h"

namespace vozo::platform {

std::string temporaryName(const std::string& outputName) {
  uint64_t hash = 0xcbf29ce484222325;
  for (unsigned char byte : outputName) hash = (hash ^ byte) * 0x100000001b3;
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string name = ".vozo-";
  for (int shift = 60; shift >= 0; shift -= 4) name += kDigits[(hash >> shift) & 0xF];
  return name + ".tmp";
}

}  // namespace vozo::platform
