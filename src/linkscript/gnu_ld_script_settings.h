#pragma once
// What shapes the GNU ld script of a run besides the documents: the user's
// symbols, the output switches of the command line and the run's settings.

#include <map>
#include <string>
#include <string_view>

#include "linkscript/run_settings.h"

namespace vozo {

struct GnuLdScriptSettings {
  // -symbols: name to value text, written after the segment symbols.
  const std::map<std::string, std::string>& symbols;
  // -check-segment-overflow: an ASSERT that each section fits its segment.
  bool checkSegmentOverflow = false;
  // -check-section-overflow: an ASSERT that each sized section fits its size.
  bool checkSectionOverflow = false;
  // The UNPLACED_SECTIONS region; -no-check-unplaced-sections leaves it out.
  bool checkUnplacedSections = true;
  // -default-fill-pattern: the fill of sections without their own; empty
  // for none.
  std::string_view defaultFillPattern = {};
  // -stack-sizes: the .stack_sizes statement at the end.
  bool stackSizes = false;
  // -lld-compatible: a script that lld takes too and lays out as GNU ld does
  // (lld_compatible.h, section_layout.h).
  bool lldCompatible = false;
  const RunSettings& run;
};

}  // namespace vozo
