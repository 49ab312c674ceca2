#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "size/elf_symbols.h"

namespace vozo::size {

enum class SectionKind {
  Placed,   // runs where it is loaded
  Copied,   // loaded at one address, copied to its run address at start-up
  RunArea,  // reserves the run space of copied sections; has no image of its own
};

struct SectionUsage {
  std::string name;  // ".data"
  SectionKind kind = SectionKind::Placed;
  uint64_t start = 0;  // run address
  uint64_t size = 0;
  uint64_t loadStart = 0;  // equal to start unless the section is copied
  // Indices into UsageModel::segments; none when the range lies outside every segment.
  std::optional<size_t> segment;
  std::optional<size_t> loadSegment;
  // A run area holding exactly the run image of a copied section: the same
  // bytes as that section, so the table and picture show only the section.
  bool sameBytesAsCopied = false;

  uint64_t end() const;
  uint64_t loadEnd() const;
};

struct SegmentUsage {
  std::string name;
  uint64_t start = 0;
  uint64_t size = 0;
  std::optional<uint64_t> usedEnd;  // the script's own used end, when it has sections
  uint64_t used = 0;                // bytes covered by section images in the segment
  bool hasSections = false;
  // Images that reach outside [start, end): "section .stack [0x.., 0x..)".
  std::vector<std::string> outOfBounds;

  uint64_t end() const;
  int64_t free() const;
};

// The usage of every segment of a vozo-linked firmware. Segments are sorted
// by start address, sections by run address.
struct UsageModel {
  std::vector<SegmentUsage> segments;
  std::vector<SectionUsage> sections;

  std::optional<size_t> findSegment(std::string_view name) const;
};

// Builds the model from the segment and section symbols of a vozo script.
// Throws ElfInputError when there are no segment symbols.
UsageModel buildUsageModel(const ElfSymbols& symbols);

}  // namespace vozo::size
