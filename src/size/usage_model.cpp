#include "size/usage_model.h"

#include <algorithm>
#include <limits>

#include "size/human_units.h"

namespace vozo::size {

namespace {

constexpr std::string_view kSegmentStart = "_segment_start__";
constexpr std::string_view kStart = "_start__";

uint64_t saturatingEnd(uint64_t start, uint64_t size) {
  return size > std::numeric_limits<uint64_t>::max() - start ? std::numeric_limits<uint64_t>::max()
                                                             : start + size;
}

std::optional<uint64_t> value(const ElfSymbols& symbols, std::string_view stem,
                              std::string_view suffix) {
  std::string name = "__";
  name.append(stem).append(suffix);
  auto found = symbols.values.find(name);
  if (found == symbols.values.end()) return std::nullopt;
  return found->second;
}

// Stems X of the symbols `__X<suffix>`.
std::vector<std::string> stemsWithSuffix(const ElfSymbols& symbols, std::string_view suffix) {
  std::vector<std::string> stems;
  for (const auto& [name, _] : symbols.values) {
    std::string_view n = name;
    if (n.size() > 2 + suffix.size() && n.starts_with("__") && n.ends_with(suffix)) {
      stems.emplace_back(n.substr(2, n.size() - 2 - suffix.size()));
    }
  }
  return stems;
}

std::vector<SegmentUsage> readSegments(const ElfSymbols& symbols) {
  std::vector<SegmentUsage> segments;
  for (std::string& stem : stemsWithSuffix(symbols, kSegmentStart)) {
    std::optional<uint64_t> size = value(symbols, stem, "_segment_size__");
    if (!size) continue;
    SegmentUsage segment;
    segment.start = *value(symbols, stem, kSegmentStart);
    segment.size = *size;
    segment.usedEnd = value(symbols, stem, "_segment_used_end__");
    segment.name = std::move(stem);
    segments.push_back(std::move(segment));
  }
  std::sort(segments.begin(), segments.end(), [](const SegmentUsage& a, const SegmentUsage& b) {
    return a.start != b.start ? a.start < b.start : a.size < b.size;
  });
  return segments;
}

// The display name of a section from its symbol stem: the ELF section of
// that name when there is one, otherwise the stem with its dot restored.
std::string sectionName(const ElfSymbols& symbols, const std::string& stem) {
  const std::string dotted = "." + stem;
  if (!symbols.sectionNames.contains(dotted) && symbols.sectionNames.contains(stem)) return stem;
  return dotted;
}

std::vector<SectionUsage> readSections(const ElfSymbols& symbols,
                                       const std::vector<SegmentUsage>& segments) {
  std::vector<SectionUsage> sections;
  for (const std::string& stem : stemsWithSuffix(symbols, kStart)) {
    // `__FLASH_segment_start__` has the section suffixes too.
    if (stem.ends_with("_segment") &&
        std::any_of(segments.begin(), segments.end(), [&](const SegmentUsage& s) {
          return stem.size() == s.name.size() + 8 && stem.starts_with(s.name);
        })) {
      continue;
    }
    std::optional<uint64_t> size = value(symbols, stem, "_size__");
    // `__data_load_start__` and `__data_load_end__` name no section: it has no size symbol.
    if (!size || !value(symbols, stem, "_end__")) continue;
    SectionUsage section;
    section.name = sectionName(symbols, stem);
    section.start = *value(symbols, stem, kStart);
    section.size = *size;
    // A run area is the one kind of section without a load start symbol.
    std::optional<uint64_t> loadStart = value(symbols, stem, "_load_start__");
    section.loadStart = loadStart.value_or(section.start);
    section.kind = !loadStart                    ? SectionKind::RunArea
                   : *loadStart != section.start ? SectionKind::Copied
                                                 : SectionKind::Placed;
    sections.push_back(std::move(section));
  }
  std::sort(sections.begin(), sections.end(), [](const SectionUsage& a, const SectionUsage& b) {
    if (a.start != b.start) return a.start < b.start;
    if (a.end() != b.end()) return a.end() < b.end();
    return a.name < b.name;
  });
  return sections;
}

bool holds(const SegmentUsage& segment, uint64_t address) {
  return address >= segment.start && address - segment.start < segment.size;
}

// The segment of an image [start, start + size): the one holding its first
// byte, else its last byte, else any byte of it. An empty image may also sit
// right at a segment's end, after the last section of a full segment.
std::optional<size_t> segmentOf(const std::vector<SegmentUsage>& segments, uint64_t start,
                                uint64_t size) {
  const uint64_t end = saturatingEnd(start, size);
  for (uint64_t probe : {start, size ? end - 1 : start}) {
    for (size_t i = 0; i < segments.size(); ++i) {
      if (holds(segments[i], probe)) return i;
    }
  }
  for (size_t i = 0; i < segments.size(); ++i) {
    if (size ? start < segments[i].end() && segments[i].start < end : start == segments[i].end()) {
      return i;
    }
  }
  return std::nullopt;
}

struct Image {
  uint64_t start;
  uint64_t end;
};

// Bytes covered by the images; run areas and the copied sections in them
// overlap, and are counted once.
uint64_t coveredBytes(std::vector<Image> images) {
  std::sort(images.begin(), images.end(),
            [](const Image& a, const Image& b) { return a.start < b.start; });
  uint64_t covered = 0;
  uint64_t reached = 0;
  for (const Image& image : images) {
    const uint64_t from = std::max(image.start, reached);
    if (image.end > from) {
      covered += image.end - from;
      reached = image.end;
    }
  }
  return covered;
}

std::string rangeText(uint64_t start, uint64_t end) {
  std::string text(1, '[');
  text += hexAddress(start);
  text += ", ";
  text += hexAddress(end);
  text += ')';
  return text;
}

void measureSegments(UsageModel& model) {
  std::vector<std::vector<Image>> images(model.segments.size());
  auto place = [&](size_t segmentIndex, std::string what, uint64_t start, uint64_t end) {
    SegmentUsage& segment = model.segments[segmentIndex];
    segment.hasSections = true;
    images[segmentIndex].push_back({start, end});
    if (start < segment.start || end > segment.end()) {
      segment.outOfBounds.push_back(what + " " + rangeText(start, end));
    }
  };
  for (SectionUsage& section : model.sections) {
    section.segment = segmentOf(model.segments, section.start, section.size);
    if (section.segment) {
      place(*section.segment, "section " + section.name, section.start, section.end());
    }
    if (section.kind != SectionKind::Copied) {
      section.loadSegment = section.segment;
      continue;
    }
    section.loadSegment = segmentOf(model.segments, section.loadStart, section.size);
    if (section.loadSegment) {
      place(*section.loadSegment, "load image of " + section.name, section.loadStart,
            section.loadEnd());
    }
  }
  for (size_t i = 0; i < model.segments.size(); ++i) {
    model.segments[i].used = coveredBytes(std::move(images[i]));
  }
}

void markRunAreasOfCopiedSections(std::vector<SectionUsage>& sections) {
  for (SectionUsage& area : sections) {
    if (area.kind != SectionKind::RunArea) continue;
    area.sameBytesAsCopied = std::any_of(sections.begin(), sections.end(), [&](const auto& s) {
      return s.kind == SectionKind::Copied && s.start == area.start && s.size == area.size;
    });
  }
}

}  // namespace

uint64_t SectionUsage::end() const {
  return saturatingEnd(start, size);
}
uint64_t SectionUsage::loadEnd() const {
  return saturatingEnd(loadStart, size);
}
uint64_t SegmentUsage::end() const {
  return saturatingEnd(start, size);
}
int64_t SegmentUsage::free() const {
  return static_cast<int64_t>(size) - static_cast<int64_t>(used);
}

std::optional<size_t> UsageModel::findSegment(std::string_view name) const {
  for (size_t i = 0; i < segments.size(); ++i) {
    if (segments[i].name == name) return i;
  }
  return std::nullopt;
}

UsageModel buildUsageModel(const ElfSymbols& symbols) {
  UsageModel model;
  model.segments = readSegments(symbols);
  if (model.segments.empty()) {
    throw ElfInputError(
        "no vozo segment symbols (__<segment>_segment_start__ and "
        "__<segment>_segment_size__); was it linked with a vozo-generated script?");
  }
  model.sections = readSections(symbols, model.segments);
  markRunAreasOfCopiedSections(model.sections);
  measureSegments(model);
  return model;
}

}  // namespace vozo::size
