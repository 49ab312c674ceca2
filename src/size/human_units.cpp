#include "size/human_units.h"

#include <cstdio>

namespace vozo::size {

std::string hexAddress(uint64_t address) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%08llx", static_cast<unsigned long long>(address));
  return text;
}

std::string humanBytes(uint64_t bytes) {
  return humanBytes(SignedBytes{bytes, false});
}

std::string humanBytes(SignedBytes bytes) {
  const char* sign = bytes.negative ? "-" : "";
  char text[32];
  if (bytes.magnitude < 1024) {
    std::snprintf(text, sizeof text, "%s%llu B", sign,
                  static_cast<unsigned long long>(bytes.magnitude));
    return text;
  }
  static constexpr const char* kUnits[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  double scaled = static_cast<double>(bytes.magnitude) / 1024;
  size_t unit = 0;
  while (scaled >= 1024 && unit + 1 < std::size(kUnits)) {
    scaled /= 1024;
    ++unit;
  }
  std::snprintf(text, sizeof text, "%s%.1f %s", sign, scaled, kUnits[unit]);
  return text;
}

std::string decimalBytes(SignedBytes bytes) {
  std::string text(bytes.negative ? "-" : "");
  text += std::to_string(bytes.magnitude);
  return text;
}

std::string percentText(uint64_t used, uint64_t size, int decimals) {
  if (size == 0 && used != 0) return {};
  const double percent = size == 0 ? 0 : 100.0 * static_cast<double>(used) / size;
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", decimals, percent);
  return text;
}

}  // namespace vozo::size
