#include "linkscript/gnu_ld_script.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <optional>

#include "linkscript/append_pieces.h"
#include "linkscript/gnu_ld_fixed_size.h"
#include "linkscript/hex_format.h"
#include "linkscript/lld_compatible.h"
#include "linkscript/offset_table_section.h"
#include "linkscript/replaced_file.h"
#include "linkscript/script_size_limit.h"
#include "linkscript/section_chains.h"
#include "linkscript/section_layout.h"
#include "memory/queries.h"

namespace vozo {

namespace {

void writeRegion(std::string& out, const MemoryMapElement& segment) {
  put(out, "  ", underscoreSpaces(segment.name()), segment.isReadOnlyAccess() ? " (rx)" : " (wx)",
      " : ORIGIN = 0x", hex8(segment.start()), ", LENGTH = 0x", hex8(segment.size()), "\n");
  checkScriptSize(out);
}

void writeSegmentSymbols(std::string& out, const MemoryMapElement& segment) {
  const std::string g = underscoreSpaces(segment.name());
  const std::string start = hex8(segment.start());
  const std::string end = hex8(segment.start() + segment.size());
  const std::string size = hex8(segment.size());
  put(out, "  __", g, "_segment_start__ = 0x", start, ";\n");
  if (segment.hasAddressSymbol()) {
    put(out, "  ", segment.addressSymbol().value_or(std::string_view()), " = 0x", start, ";\n");
  }
  put(out, "  __", g, "_segment_end__ = 0x", end, ";\n");
  if (segment.hasEndSymbol()) {
    put(out, "  ", segment.endSymbol().value_or(std::string_view()), " = 0x", end, ";\n");
  }
  put(out, "  __", g, "_segment_size__ = 0x", size, ";\n");
  if (segment.hasSizeSymbol()) {
    put(out, "  ", segment.sizeSymbol().value_or(std::string_view()), " = 0x", size, ";\n");
  }
  checkScriptSize(out);
}

// After this many sections the text reserves what all of them will take.
constexpr size_t kSectionsBeforeEstimate = 1000;

// Reserves room for the text of all `total` sections, estimated from the
// `done` laid out so far (with an eighth to spare): a script of a hundred
// thousand sections then grows in one step instead of doubling seven times,
// each time copying the text and touching its pages anew. An estimate that
// falls short leaves the ordinary growth to do the rest.
void reserveForAll(std::string& out, size_t done, size_t total) {
  const size_t estimate = out.size() / done * total;
  out.reserve(std::min(estimate + estimate / 8, kMaxScriptBytes));
}

}  // namespace

std::string gnuLdScriptText(const MemoryMap& memoryMap, const MemoryMap* sectionPlacement,
                            const GnuLdScriptSettings& settings) {
  const RunSettings& run = settings.run;
  std::string out;
  out.reserve(kInitialScriptBytes);
  if (!run.entrySymbol.empty()) put(out, "ENTRY(", run.entrySymbol, ")\n\n");
  out += "MEMORY\n{\n";
  if (settings.checkUnplacedSections) {
    // A section that no statement places lands here and overflows it. lld
    // gives every statement without a region the first region whose
    // attributes match its flags, and an unplaced section the region of the
    // statement before it: with "(a)" that region is this one for every
    // allocated section, so lld catches them all as GNU ld does.
    put(out, "  UNPLACED_SECTIONS ", settings.lldCompatible ? "(a)" : "(wx)",
        " : ORIGIN = 0x100000000, LENGTH = 0\n");
  }

  // Segments carrying start and size in the placement file define the
  // regions themselves; otherwise the memory map's segments do.
  std::vector<MemoryMapElement*> segments;
  bool placementDefinesRegions = false;
  if (sectionPlacement) {
    segments = collectElements(sectionPlacement->rootElement(), ElementKind::MemorySegment,
                               /*atFront=*/true);
    for (const MemoryMapElement* segment : segments) {
      if (segment->hasStart() && segment->hasSize()) {
        writeRegion(out, *segment);
        placementDefinesRegions = true;
      }
    }
  }
  if (!placementDefinesRegions) {
    segments =
        collectElements(memoryMap.rootElement(), ElementKind::MemorySegment, /*atFront=*/true);
    for (const MemoryMapElement* segment : segments) writeRegion(out, *segment);
  }
  out += "}\n\nSECTIONS\n{\n";

  for (const MemoryMapElement* segment : segments) writeSegmentSymbols(out, *segment);
  out += "\n";
  for (const auto& [name, value] : settings.symbols) {
    if (settings.lldCompatible) {
      put(out, "  ", name, " = ", withoutUnaryPlus(value), ";\n");
    } else {
      put(out, "  ", name, " = ", value, ";\n");
    }
    checkScriptSize(out);
  }
  out += "\n";

  std::deque<SectionRecord> storage;
  std::vector<SectionRecord*> records;
  buildSectionChains(storage, records,
                     placementDefinesRegions ? std::vector<MemoryMapElement*>() : segments,
                     memoryMap, sectionPlacement, run.verbose ? run.progress : nullptr);
  markPlacedFromSegmentEnd(records, settings.symbols, run.warnings);
  std::optional<OffsetTableSection> offsetTable;
  if (settings.lldCompatible) offsetTable.emplace().addTo(storage, records);

  SectionLayout layout(out, records, settings);
  for (size_t i = 0; i < records.size(); ++i) {
    layOutSection(layout, *records[i]);
    checkScriptSize(out);
    if (i + 1 == kSectionsBeforeEstimate) reserveForAll(out, i + 1, records.size());
  }

  if (settings.stackSizes) out += "  .stack_sizes(INFO) : { KEEP(*(.stack_sizes)); }\n";
  out += "}\n\n";
  return out;
}

void writeGnuLdScript(const std::string& outputPath, const MemoryMap& memoryMap,
                      const MemoryMap* sectionPlacement, const GnuLdScriptSettings& settings) {
  // Opened first, so that an unwritable path fails before any progress text.
  ReplacedFile file(outputPath);
  file.write(gnuLdScriptText(memoryMap, sectionPlacement, settings));
}

}  // namespace vozo
