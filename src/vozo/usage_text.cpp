#include "vozo/usage_text.h"

#include <string_view>

namespace vozo {
namespace {

constexpr std::string_view kProductName = "Palvane for ARM";
constexpr std::string_view kProgramName = "vozo";

// Release = version prefix, minor, patch, build stamp and build number.
constexpr std::string_view kVersionPrefix = "5.";
constexpr std::string_view kVersionMinor = "2";
constexpr std::string_view kVersionPatch = "3";
constexpr std::string_view kBuildStamp = "2025061905";
constexpr std::string_view kBuildNumber = "59452";

constexpr std::string_view kNoticeLines[] = {
    "Copyright (c) 2025 the vozo developers.",
};

// Option lines: two spaces, the option with its placeholder in a field of 36
// characters, the description. -segger, -target and the misspelt
// -section-placment-macros are accepted but not listed.
constexpr std::string_view kUsageBody =
    "\n"
    "Usage:\n"
    "\n"
    "  vozo -memory-map-file <memory-map> [options] <ld-script>\n"
    "  vozo -memory-map-segments <segments> [options] <ld-script>\n"
    "\n"
    "  <ld-script>                         ld script output file\n"
    "  <memory-map>                        Memory map file\n"
    "  <segments>                          List of <SegmentName> RWX <Address> <Size>\n"
    "  -check-section-overflow             Add checks for section overflow\n"
    "  -check-segment-overflow             Add checks for segment overflow\n"
    "  -disable-missing-runin-error        Discard any sections with a missing run in section\n"
    "  -default-fill-pattern <pattern>     Specifies the default fill pattern for unspecified "
    "regions of memory\n"
    "  -memory-map-macros <macros>         Define memory map file macros\n"
    "  -no-check-unplaced-sections         Remove checks for unplaced sections\n"
    "  -no-ctors                           Ignore ctor section\n"
    "  -no-dtors                           Ignore dtor section\n"
    "  -section-placement-file <file>      Use section placement file\n"
    "  -section-placement-macros <macros>  Define section placement file macros\n"
    "  -stack-sizes                        Generate stack sizes section\n"
    "  -symbols <symbol-definitions>       Add symbol definitions to ld script\n"
    "  -verbose                            Enable verbose output\n";

}  // namespace

std::string bannerText() {
  std::string text;
  text.append(kProductName).append(" ").append(kProgramName).append(" - Release ");
  text.append(kVersionPrefix).append(kVersionMinor).append(".").append(kVersionPatch);
  text.append(".").append(kBuildStamp).append(".").append(kBuildNumber).append("\n");
  for (std::string_view line : kNoticeLines) text.append(line).append("\n");
  return text;
}

std::string usageText() {
  return bannerText().append(kUsageBody);
}

}  // namespace vozo
