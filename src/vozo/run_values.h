#pragma once
// Everything else the command line of one run gives: input paths, macro
// definition texts, symbol definitions, output switches and the positional
// arguments. The entry point hands these to the loaders and writers.

#include <map>
#include <string>
#include <vector>

namespace vozo {

// Symbol name to value text, ascending by name (byte order).
using SymbolDefinitions = std::map<std::string, std::string>;

// What the run does with problems that the input checks find.
enum class InputCheck {
  Off,       // no checks (the default)
  Warnings,  // -warnings: print them as warnings, then write the script
  Strict,    // -strict: print them as errors and fail when there is any
};

struct RunValues {
  std::string memoryMapFile;           // -memory-map-file (last one wins)
  std::string memoryMapMacros;         // -memory-map-macros, ";"-joined
  std::string segmentList;             // -memory-map-segments (last one wins)
  std::string sectionPlacementFile;    // -section-placement-file (last one wins)
  std::string sectionPlacementMacros;  // -section-placement-macros, ";"-joined
  std::string defaultFillPattern;      // -default-fill-pattern (last one wins)
  bool checkSegmentOverflow = false;
  bool checkSectionOverflow = false;
  bool checkUnplacedSections = true;
  bool stackSizes = false;
  bool segger = false;
  bool lldCompatible = false;  // -lld-compatible
  SymbolDefinitions symbols;            // -symbols, accumulated
  std::vector<std::string> symbolTexts;  // each -symbols value as given, for the input checks
  InputCheck inputCheck = InputCheck::Off;  // -warnings, -strict (-strict wins)
  std::vector<std::string> positional;  // every non-option argument, in order

  // Build integration.
  std::string dependencyFile;  // -dependency-file (last one wins)
  bool showHelp = false;       // --help
  bool showVersion = false;    // --version
};

}  // namespace vozo
