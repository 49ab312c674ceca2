#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "size/elf_symbols.h"
#include "size/human_units.h"

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
  // A copied section whose load image has no bytes in the file (linked
  // NOLOAD, as a `runin` section without load="Yes" is): nothing is
  // programmed at its load address, so the start-up copy fills its run
  // image with whatever that memory holds. It has no load segment.
  bool loadImageMissing = false;

  uint64_t end() const;
  uint64_t loadEnd() const;
};

struct SegmentUsage {
  std::string name;
  uint64_t start = 0;
  uint64_t size = 0;
  // The end of the highest image in the segment (the start when its images
  // are all empty), when it has sections.
  std::optional<uint64_t> usedEnd;
  uint64_t used = 0;  // bytes covered by section images in the segment
  bool hasSections = false;
  // Images that reach outside [start, end): "section .stack [0x.., 0x..)".
  std::vector<std::string> outOfBounds;

  uint64_t end() const;
  // size - used; negative when the segment overflows.
  SignedBytes free() const;
};

// The usage of every segment of a vozo-linked firmware. Segments are sorted
// by start address, sections by run address.
struct UsageModel {
  std::vector<SegmentUsage> segments;
  std::vector<SectionUsage> sections;
  // Indices into `segments` in the order of their names, for findSegment.
  std::vector<size_t> segmentsByName;

  std::optional<size_t> findSegment(std::string_view name) const;
};

// An image that the reports list under a segment: the run image of a
// section, or the load image of a copied section.
struct ListedImage {
  size_t section;  // index into UsageModel::sections
  bool load;
};

// For each segment, the images the table and the picture show in it, by the
// address where each lies: a section's run image in the segment holding it
// (but for a run area that is the same bytes as a copied section), and a
// copied section's load image in the segment it is loaded from.
std::vector<std::vector<ListedImage>> listedImagesBySegment(const UsageModel& model);

// Builds the model from the segment and section symbols of a vozo script.
// Throws ElfInputError when there are no segment symbols.
UsageModel buildUsageModel(const ElfSymbols& symbols);

}  // namespace vozo::size
