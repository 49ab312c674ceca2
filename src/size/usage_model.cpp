#include "size/usage_model.h"

#include <algorithm>
#include <limits>
#include <set>
#include <utility>

#include "size/human_units.h"
#include "size/segment_lookup.h"

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

std::vector<SectionUsage> readSections(const ElfSymbols& symbols) {
  std::vector<SectionUsage> sections;
  for (const std::string& stem : stemsWithSuffix(symbols, kStart)) {
    // `__FLASH_segment_start__` has the section suffixes too: it names a
    // segment when `__FLASH_segment_size__` is there as well.
    constexpr std::string_view kSegment = "_segment";
    if (stem.ends_with(kSegment) &&
        value(symbols, std::string_view(stem).substr(0, stem.size() - kSegment.size()),
              "_segment_size__")) {
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
    section.loadImageMissing = section.kind == SectionKind::Copied && section.size > 0 &&
                               symbols.sectionsWithoutContents.contains(section.name);
    sections.push_back(std::move(section));
  }
  std::sort(sections.begin(), sections.end(), [](const SectionUsage& a, const SectionUsage& b) {
    if (a.start != b.start) return a.start < b.start;
    if (a.end() != b.end()) return a.end() < b.end();
    return a.name < b.name;
  });
  return sections;
}

// The segment of an image [start, start + size): the one holding its first
// byte, else its last byte, else any byte of it. An empty image may also sit
// right at a segment's end, after the last section of a full segment.
std::optional<size_t> segmentOf(const SegmentLookup& lookup, uint64_t start, uint64_t size) {
  if (std::optional<size_t> found = lookup.holding(start)) return found;
  if (size == 0) return lookup.endingAt(start);
  if (std::optional<size_t> found = lookup.holding(saturatingEnd(start, size) - 1)) return found;
  return lookup.overlapping(start, static_cast<unsigned __int128>(start) + size);
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

// The used bytes and used end of each segment, from the images it holds.
// The used end is not taken from the script's __G_segment_used_end__: that
// is the last section's start plus its SIZEOF, which is 0 for a run area,
// so it leaves out the code or data that runs there.
void measureSegments(UsageModel& model) {
  const SegmentLookup lookup(model.segments);
  std::vector<std::vector<Image>> images(model.segments.size());
  auto place = [&](size_t segmentIndex, std::string what, uint64_t start, uint64_t end) {
    SegmentUsage& segment = model.segments[segmentIndex];
    segment.hasSections = true;
    segment.usedEnd = std::max(segment.usedEnd.value_or(segment.start), start < end ? end : 0);
    images[segmentIndex].push_back({start, end});
    if (start < segment.start || end > segment.end()) {
      segment.outOfBounds.push_back(what + " " + rangeText(start, end));
    }
  };
  for (SectionUsage& section : model.sections) {
    section.segment = segmentOf(lookup, section.start, section.size);
    if (section.segment) {
      place(*section.segment, "section " + section.name, section.start, section.end());
    }
    if (section.kind != SectionKind::Copied) {
      section.loadSegment = section.segment;
      continue;
    }
    if (section.loadImageMissing) continue;
    section.loadSegment = segmentOf(lookup, section.loadStart, section.size);
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
  std::set<std::pair<uint64_t, uint64_t>> copiedRanges;
  for (const SectionUsage& section : sections) {
    if (section.kind == SectionKind::Copied) copiedRanges.emplace(section.start, section.size);
  }
  for (SectionUsage& area : sections) {
    if (area.kind != SectionKind::RunArea) continue;
    area.sameBytesAsCopied = copiedRanges.contains({area.start, area.size});
  }
}

std::vector<size_t> segmentsInNameOrder(const std::vector<SegmentUsage>& segments) {
  std::vector<size_t> order(segments.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](size_t a, size_t b) { return segments[a].name < segments[b].name; });
  return order;
}

uint64_t listedAddress(const UsageModel& model, ListedImage image) {
  const SectionUsage& section = model.sections[image.section];
  return image.load ? section.loadStart : section.start;
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
SignedBytes SegmentUsage::free() const {
  return used > size ? SignedBytes{used - size, true} : SignedBytes{size - used, false};
}

std::optional<size_t> UsageModel::findSegment(std::string_view name) const {
  const auto found = std::lower_bound(
      segmentsByName.begin(), segmentsByName.end(), name,
      [&](size_t index, std::string_view key) { return segments[index].name < key; });
  if (found != segmentsByName.end() && segments[*found].name == name) return *found;
  return std::nullopt;
}

std::vector<std::vector<ListedImage>> listedImagesBySegment(const UsageModel& model) {
  std::vector<std::vector<ListedImage>> listed(model.segments.size());
  for (size_t i = 0; i < model.sections.size(); ++i) {
    const SectionUsage& section = model.sections[i];
    if (section.segment && !section.sameBytesAsCopied) {
      listed[*section.segment].push_back({i, false});
    }
    if (section.kind == SectionKind::Copied && section.loadSegment) {
      listed[*section.loadSegment].push_back({i, true});
    }
  }
  // Run images are already in address order; load images join them where
  // they lie.
  for (std::vector<ListedImage>& images : listed) {
    std::stable_sort(images.begin(), images.end(), [&](ListedImage a, ListedImage b) {
      return listedAddress(model, a) < listedAddress(model, b);
    });
  }
  return listed;
}

UsageModel buildUsageModel(const ElfSymbols& symbols) {
  UsageModel model;
  model.segments = readSegments(symbols);
  if (model.segments.empty()) {
    throw ElfInputError(
        "no vozo segment symbols (__<segment>_segment_start__ and "
        "__<segment>_segment_size__); was it linked with a vozo-generated script?");
  }
  model.segmentsByName = segmentsInNameOrder(model.segments);
  model.sections = readSections(symbols);
  markRunAreasOfCopiedSections(model.sections);
  measureSegments(model);
  return model;
}

}  // namespace vozo::size
