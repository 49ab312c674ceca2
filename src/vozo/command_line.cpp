#include "vozo/command_line.h"

#include <string>
#include <string_view>

#include "check/value_checks.h"
#include "expr/h_exception.h"
#include "vozo/symbol_definitions.h"

namespace vozo {
namespace {

using Apply = void (*)(std::string_view value, RunSettings& settings, RunValues& values);

struct Option {
  std::string_view name;
  std::string_view missingValueMessage;  // empty for a switch without value
  Apply apply;
};

void appendDefinitions(std::string& definitions, std::string_view value) {
  if (!definitions.empty()) definitions += ';';
  definitions += value;
}

void setTarget(std::string_view name, RunSettings& settings) {
  if (name == "arm") {
    settings.targetId = kTargetIdArm;
  } else if (name == "riscv") {
    settings.targetId = kTargetIdRiscv;
  } else {
    throw HException("unknown target name");
  }
}

// -entry: a name the linker reads as a symbol, not as a number.
void setEntrySymbol(std::string_view name, RunSettings& settings) {
  const std::string shown = "-entry \"" + std::string(name) + "\"";
  if (name.empty()) throw HException(shown + ": the entry point needs a symbol name");
  if (char bad = firstBadNameCharacter(name, /*spacesReplaced=*/false)) {
    throw HException(shown + " is not a symbol name: " + shownCharacter(bad) +
                     " is not allowed (" + kSymbolRule + ")");
  }
  if (name.front() >= '0' && name.front() <= '9') {
    throw HException(shown + " is not a symbol name: it starts with a digit");
  }
  settings.entrySymbol = name;
}

constexpr Option kOptions[] = {
    {"-check-segment-overflow", "",
     [](std::string_view, RunSettings&, RunValues& v) { v.checkSegmentOverflow = true; }},
    {"-check-section-overflow", "",
     [](std::string_view, RunSettings&, RunValues& v) { v.checkSectionOverflow = true; }},
    {"-no-check-unplaced-sections", "",
     [](std::string_view, RunSettings&, RunValues& v) { v.checkUnplacedSections = false; }},
    {"-no-ctors", "", [](std::string_view, RunSettings& s, RunValues&) { s.noCtors = true; }},
    {"-no-dtors", "", [](std::string_view, RunSettings& s, RunValues&) { s.noDtors = true; }},
    {"-default-fill-pattern", "pattern required for -default-fill-pattern",
     [](std::string_view value, RunSettings&, RunValues& v) { v.defaultFillPattern = value; }},
    {"-disable-missing-runin-error", "",
     [](std::string_view, RunSettings& s, RunValues&) { s.missingRunInIsError = false; }},
    {"-memory-map-file", "file required for -memory-map-file",
     [](std::string_view value, RunSettings&, RunValues& v) { v.memoryMapFile = value; }},
    {"-memory-map-macros", "macro definition required for -memory-map-macros",
     [](std::string_view value, RunSettings&, RunValues& v) {
       appendDefinitions(v.memoryMapMacros, value);
     }},
    {"-memory-map-segments", "segment list for -memory-map-segments",
     [](std::string_view value, RunSettings&, RunValues& v) { v.segmentList = value; }},
    {"-section-placement-file", "file required for -section-placement-file",
     [](std::string_view value, RunSettings&, RunValues& v) { v.sectionPlacementFile = value; }},
    {"-section-placement-macros", "macro definition required for -section-placement-macros",
     [](std::string_view value, RunSettings&, RunValues& v) {
       appendDefinitions(v.sectionPlacementMacros, value);
     }},
    // A misspelling kept for old build files.
    {"-section-placment-macros", "macro definition required for -section-placement-macros",
     [](std::string_view value, RunSettings&, RunValues& v) {
       appendDefinitions(v.sectionPlacementMacros, value);
     }},
    {"-symbols", "symbol definition required for -symbol",
     [](std::string_view value, RunSettings&, RunValues& v) {
       addSymbolDefinitions(v.symbols, value);
       v.symbolTexts.emplace_back(value);
     }},
    {"-verbose", "", [](std::string_view, RunSettings& s, RunValues&) { s.verbose = true; }},
    {"-entry", "symbol name required for -entry",
     [](std::string_view value, RunSettings& s, RunValues&) { setEntrySymbol(value, s); }},
    {"-segger", "", [](std::string_view, RunSettings&, RunValues& v) { v.segger = true; }},
    {"-stack-sizes", "", [](std::string_view, RunSettings&, RunValues& v) { v.stackSizes = true; }},
    {"-lld-compatible", "",
     [](std::string_view, RunSettings&, RunValues& v) { v.lldCompatible = true; }},
    {"-target", "target name required for -target",
     [](std::string_view value, RunSettings& s, RunValues&) { setTarget(value, s); }},
    // Input checks, an addition to the options above.
    {"-warnings", "",
     [](std::string_view, RunSettings&, RunValues& v) {
       if (v.inputCheck == InputCheck::Off) v.inputCheck = InputCheck::Warnings;
     }},
    {"-strict", "",
     [](std::string_view, RunSettings&, RunValues& v) { v.inputCheck = InputCheck::Strict; }},

    // Build integration.
    {"-dependency-file", "file required for -dependency-file",
     [](std::string_view value, RunSettings&, RunValues& v) { v.dependencyFile = value; }},
    {"--help", "", [](std::string_view, RunSettings&, RunValues& v) { v.showHelp = true; }},
    {"--version", "", [](std::string_view, RunSettings&, RunValues& v) { v.showVersion = true; }},
};

const Option* findOption(std::string_view argument) {
  for (const Option& option : kOptions) {
    if (option.name == argument) return &option;
  }
  return nullptr;
}

}  // namespace

void readCommandLine(ArgumentReader& reader, RunSettings& settings, RunValues& values) {
  while (std::optional<std::string> argument = reader.next("")) {
    if (const Option* option = findOption(*argument)) {
      std::string value;
      if (!option->missingValueMessage.empty()) value = *reader.next(option->missingValueMessage);
      option->apply(value, settings, values);
    } else if (!argument->empty() && argument->front() == '-') {
      throw HException("unknown option option " + *argument);
    } else {
      values.positional.push_back(std::move(*argument));
    }
  }
  if (values.segger && !settings.entrySymbol.empty()) {
    throw HException("-entry applies to ld scripts only, not to the script of -segger");
  }
  if (values.segger && values.lldCompatible) {
    throw HException("-lld-compatible applies to ld scripts only, not to the script of -segger");
  }
}

bool needsUsage(const RunValues& values) {
  return (values.memoryMapFile.empty() && values.segmentList.empty()) ||
         values.positional.size() != 1;
}

}  // namespace vozo
