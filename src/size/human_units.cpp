#include "size/human_units.h"

#include <cstdio>

namespace vozo::size {

std::string hexAddress(uint64_t address) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%08llx", static_cast<unsigned long long>(address));
  return text;
}

std::string humanBytes(int64_t bytes) {
  const bool negative = bytes < 0;
  const uint64_t magnitude =
      negative ? 0 - static_cast<uint64_t>(bytes) : static_cast<uint64_t>(bytes);
  char text[32];
  if (magnitude < 1024) {
    std::snprintf(text, sizeof text, "%s%llu B", negative ? "-" : "",
                  static_cast<unsigned long long>(magnitude));
    return text;
  }
  static constexpr const char* kUnits[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  double scaled = static_cast<double>(magnitude) / 1024;
  size_t unit = 0;
  while (scaled >= 1024 && unit + 1 < std::size(kUnits)) {
    scaled /= 1024;
    ++unit;
  }
  std::snprintf(text, sizeof text, "%s%.1f %s", negative ? "-" : "", scaled, kUnits[unit]);
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
