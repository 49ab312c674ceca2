#pragma once
// One program section to be written into a linker script, with its place in
// the chain of sections of its memory segment and the state of its layout.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "memory/memory_map_element.h"

namespace vozo {

class SectionRecord {
 public:
  // Creating a record whose previous is P makes P no longer the last of its
  // segment's chain.
  SectionRecord(SectionRecord* previous, MemoryMapElement* element, MemoryMapElement* segment);

  SectionRecord* previous;    // the record created just before for the same segment, or null
  MemoryMapElement* element;  // the section's ProgramSection element
  MemoryMapElement* segment;  // the memory map MemorySegment the section lies in
  std::string name;           // N: the section name with spaces replaced by "_"

  bool laidOut = false;
  bool inProgress = false;
  bool discarded = false;
  bool lastInSegment = true;
  bool placeFromSegmentEnd = false;
  uint32_t segmentEndOffset = 0;
  // The records whose whole `runin` text is this record's name, when there
  // are any; set by the SectionLayout.
  const std::vector<SectionRecord*>* runIns = nullptr;
  // A record whose statement follows this one's at once, in the script as in
  // the chain (the offset table after its anchor: offset_table_section.h).
  SectionRecord* writtenNext = nullptr;
  // The linkers' offset table that -lld-compatible adds
  // (offset_table_section.h): when it is empty, the section after it starts
  // where it would without it; its address is aligned to its entries, not to
  // its ALIGNOF, which lld and GNU ld give differently for an empty table.
  bool isOffsetTable = false;

  // S: the symbol stem, N without a leading ".".
  std::string_view symbolStem() const;
  // G: the segment stem, the segment name with spaces replaced by "_".
  std::string segmentStem() const;
};

// The name with every space replaced by "_" (section names N and segment
// stems G).
std::string underscoreSpaces(std::string_view name);

// The symbol stem of a section name: without its first character when that
// is ".".
std::string_view symbolStemOf(std::string_view sectionName);

}  // namespace vozo
