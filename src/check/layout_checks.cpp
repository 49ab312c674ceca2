#include "check/layout_checks.h"

#include <algorithm>
#include <deque>
#include <unordered_map>
#include <unordered_set>

#include "check/value_checks.h"
#include "expr/evaluate.h"
#include "linkscript/gnu_ld_fixed_size.h"
#include "linkscript/section_chains.h"
#include "linkscript/section_layout.h"
#include "linkscript/section_record.h"
#include "memory/queries.h"
#include "xml/closest_name.h"

namespace vozo {

namespace {

// A section as the writers lay it out: the element and the memory map
// segment whose chain it joins.
struct PlacedSection {
  const MemoryMapElement* section;
  const MemoryMapElement* segment;
};

// "file:line" of a node, or "the command line".
std::string placeOf(const XMLNode& node) {
  std::string_view file = node.document().sourceFilePath(node.sourceFile());
  if (file.empty()) return "the command line";
  return displayPath(file) + ":" + std::to_string(node.line() + 1);
}

// "[0x20000000, 0x20020000)"
std::string range(const MemoryMapElement& segment) {
  std::string text(1, '[');
  text += shownNumber(segment.start());
  text += ", ";
  text += shownNumber(segment.start() + segment.size());
  text += ')';
  return text;
}

void checkSegments(CheckContext& context, const std::vector<MemoryMapElement*>& segments) {
  std::unordered_map<std::string, const MemoryMapElement*> byName;
  for (const MemoryMapElement* segment : segments) {
    auto [first, added] = byName.try_emplace(underscoreSpaces(segment->name()), segment);
    if (!added) {
      context.findings.add(*segment, "segment " + std::string(segment->name()) +
                                         " is defined again (first at " + placeOf(*first->second) +
                                         "): the linker rejects a second region of that name");
    }
  }

  // Sorted by start, each segment is compared with the one reaching furthest
  // among those before it.
  std::vector<const MemoryMapElement*> sorted;
  for (const MemoryMapElement* segment : segments) {
    if (segment->size() != 0) sorted.push_back(segment);
  }
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](auto* a, auto* b) { return a->start() < b->start(); });
  const MemoryMapElement* furthest = nullptr;
  for (const MemoryMapElement* segment : sorted) {
    if (furthest && segment->start() < furthest->start() + furthest->size()) {
      // Report at the one that comes later in its file.
      const MemoryMapElement* later = furthest;
      const MemoryMapElement* earlier = segment;
      if (std::find(segments.begin(), segments.end(), later) <
          std::find(segments.begin(), segments.end(), earlier)) {
        std::swap(later, earlier);
      }
      context.findings.add(*later, "segment " + std::string(later->name()) + " " + range(*later) +
                                       " overlaps segment " + std::string(earlier->name()) + " " +
                                       range(*earlier));
    }
    if (!furthest ||
        segment->start() + segment->size() > furthest->start() + furthest->size()) {
      furthest = segment;
    }
  }
}

std::vector<std::string_view> namesOf(const std::vector<MemoryMapElement*>& elements) {
  std::vector<std::string_view> names;
  for (const MemoryMapElement* element : elements) names.push_back(element->name());
  return names;
}

// The placement segments' sections joined to their memory map segments;
// reports the placement segments that match none.
void placePlacementSections(CheckContext& context, const MemoryMap& memoryMap,
                            const MemoryMap& sectionPlacement,
                            const std::vector<MemoryMapElement*>& memoryMapSegments,
                            std::vector<PlacedSection>& placed) {
  const SegmentIndex segmentsByName(memoryMap);
  for (const MemoryMapElement* placementSegment : collectElements(
           sectionPlacement.rootElement(), ElementKind::MemorySegment, /*atFront=*/false)) {
    std::vector<MemoryMapElement*> sections = collectElements(
        const_cast<MemoryMapElement*>(placementSegment), ElementKind::ProgramSection, false);
    if (const MemoryMapElement* segment = matchPlacementSegment(segmentsByName, *placementSegment)) {
      for (const MemoryMapElement* section : sections) placed.push_back({section, segment});
      continue;
    }
    std::string_view name = placementSegment->name();
    std::string message = "placement segment \"" + std::string(name) +
                          "\" names no memory map segment: its " +
                          std::to_string(sections.size()) +
                          (sections.size() == 1 ? " section is" : " sections are") +
                          " left out of the script";
    if (name.find(';') == std::string_view::npos) {
      std::vector<std::string_view> known = namesOf(memoryMapSegments);
      message += didYouMean(name, known);
    }
    context.findings.add(*placementSegment, message);
  }
}

void checkSectionNamesOnce(CheckContext& context, const std::vector<PlacedSection>& placed) {
  std::unordered_map<std::string, const MemoryMapElement*> firstByName;
  for (const PlacedSection& entry : placed) {
    if (entry.section->name().empty()) continue;
    auto [first, added] =
        firstByName.try_emplace(underscoreSpaces(entry.section->name()), entry.section);
    if (!added) {
      context.findings.add(*entry.section, "section " + std::string(entry.section->name()) +
                                               " is placed again (first at " +
                                               placeOf(*first->second) + ")");
    }
  }
}

void checkFixedStarts(CheckContext& context, const std::vector<PlacedSection>& placed) {
  for (const PlacedSection& entry : placed) {
    const MemoryMapElement& section = *entry.section;
    const MemoryMapElement& segment = *entry.segment;
    if (!section.hasStart() || segment.size() == 0) continue;
    // A start that does not evaluate is reported on its own.
    std::string_view text = *section.startText();
    if (!evaluateText(context.parser, text).value) continue;
    const uint64_t start = section.start();
    if (start >= segment.start() && start - segment.start() < segment.size()) continue;
    std::string shown = shownNumber(start) == text ? std::string() : " (" + shownNumber(start) + ")";
    context.findings.add(section, "start=\"" + std::string(text) + "\" of section " +
                                      std::string(section.name()) + shown +
                                      " lies outside its segment " + std::string(segment.name()) + " " +
                                      range(segment));
  }
}

// The bytes a section's `size` text stands for: a fixed size as the writer
// reads one, or an expression of numbers, which the linker evaluates alike.
// None for a text that depends on the layout or does not evaluate.
std::optional<uint64_t> sizeInBytes(CheckContext& context, std::string_view text) {
  if (std::optional<uint32_t> size = parseFixedSize(text, context.symbols)) return *size;
  return wholeNumberOf(evaluateOnce(context, text));
}

void checkFixedSizes(CheckContext& context, const std::vector<PlacedSection>& placed) {
  struct Total {
    uint64_t bytes = 0;
    std::string parts;
    bool reported = false;
  };
  std::unordered_map<const MemoryMapElement*, Total> totals;
  for (const PlacedSection& entry : placed) {
    const MemoryMapElement& section = *entry.section;
    // A segment of size 0 is reported as such.
    if (!section.hasSize() || entry.segment->size() == 0) continue;
    std::optional<uint64_t> size = sizeInBytes(context, *section.sizeText());
    if (!size) continue;
    Total& total = totals[entry.segment];
    total.bytes += *size;
    if (!total.parts.empty()) total.parts += ", ";
    total.parts += std::string(section.name()) + " " + shownNumber(*size);
    const uint64_t available = entry.segment->size();
    if (total.reported || total.bytes <= available) continue;
    total.reported = true;
    context.findings.add(section, "sections with fixed sizes in segment " +
                                      std::string(entry.segment->name()) + " need " +
                                      shownNumber(total.bytes) + " bytes (" + total.parts + "), " +
                                      shownNumber(total.bytes - available) +
                                      " more than its size " + shownNumber(available));
  }
}

// "(.data_run, .bss, .stack)", at most three names and how many more.
std::string listedNames(const std::vector<const MemoryMapElement*>& sections) {
  constexpr size_t kShown = 3;
  std::string text = "(";
  for (size_t i = 0; i < sections.size() && i < kShown; ++i) {
    if (i > 0) text += ", ";
    text += sections[i]->name();
  }
  if (sections.size() > kShown) {
    text += " and " + std::to_string(sections.size() - kShown) + " more";
  }
  return text + ")";
}

// Segments of size 0 that sections are placed in: the script gives them an
// empty region, and the sections lie outside it.
void checkSegmentsWithoutSize(CheckContext& context, const std::vector<PlacedSection>& placed) {
  std::vector<const MemoryMapElement*> segments;
  std::unordered_map<const MemoryMapElement*, std::vector<const MemoryMapElement*>> sectionsIn;
  for (const PlacedSection& entry : placed) {
    if (entry.segment->size() != 0) continue;
    std::vector<const MemoryMapElement*>& sections = sectionsIn[entry.segment];
    if (sections.empty()) segments.push_back(entry.segment);
    sections.push_back(entry.section);
  }
  for (const MemoryMapElement* segment : segments) {
    // A size that does not evaluate is reported on its own.
    std::optional<std::string_view> size = segment->sizeText();
    const bool sized = size && !size->empty();
    if (sized && !evaluateOnce(context, *size).value) continue;
    const std::vector<const MemoryMapElement*>& sections = sectionsIn[segment];
    const bool one = sections.size() == 1;
    std::string message = "segment " + std::string(segment->name());
    message += sized ? " has size 0 (size=\"" + std::string(*size) + "\")" : " has no size";
    message += ", yet " + std::to_string(sections.size()) +
               (one ? " section is" : " sections are") + " placed in it " +
               listedNames(sections) + ": its region is 0 bytes long, so " +
               (one ? "that section lies" : "they lie") + " outside it; give the segment its size";
    context.findings.add(*segment, std::move(message));
  }
}

// "384 MiB", or "0x200 bytes" below 1 MiB.
std::string shownBytes(uint64_t bytes) {
  constexpr uint64_t kMiB = uint64_t{1} << 20;
  if (bytes < kMiB) return shownNumber(bytes) + " bytes";
  return std::to_string(bytes / kMiB) + " MiB";
}

// A section loaded in writable memory, when the image also has bytes in
// read-only memory: a raw binary of the image then reaches from one to the
// other. A section that runs in RAM is loaded in read-only memory and copied
// (runin). A build that runs from RAM alone loads nothing into read-only
// memory and is not reported.
void checkLoadedInWritable(CheckContext& context, const std::vector<PlacedSection>& placed) {
  if (context.segger) return;  // that script has no load addresses of its own
  const PlacedSection* readOnlyImage = nullptr;
  std::unordered_set<std::string_view> runSections;
  for (const PlacedSection& entry : placed) {
    if (!readOnlyImage && entry.section->isLoaded() && entry.segment->isReadOnlyAccess()) {
      readOnlyImage = &entry;
    }
    forEachRunSectionName(entry.section->runIn().value_or(""), [&](std::string_view name) {
      runSections.insert(name);
      return false;
    });
  }
  if (!readOnlyImage) return;
  const MemoryMapElement& readOnly = *readOnlyImage->segment;
  for (const PlacedSection& entry : placed) {
    const MemoryMapElement& section = *entry.section;
    const MemoryMapElement& segment = *entry.segment;
    // A run section holds no bytes of its own.
    if (!section.isLoaded() || section.hasRunIn() || segment.isReadOnlyAccess() ||
        runSections.contains(underscoreSpaces(section.name()))) {
      continue;
    }
    const uint64_t low = std::min(readOnly.start(), segment.start());
    const uint64_t high = std::max(readOnly.start(), segment.start());
    const std::string writable(segment.name());
    const std::string image(readOnly.name());
    context.findings.add(
        section, "section " + std::string(section.name()) +
                     " has load=\"Yes\" in writable segment " + writable +
                     " and no runin: the image then holds " + writable +
                     " addresses besides those of " + image +
                     ", and a binary image of it reaches from " + shownNumber(low) + " to " +
                     shownNumber(high) + " (" + shownBytes(high - low) + "); load it in " + image +
                     " with runin naming a section in " + writable +
                     ", or drop load=\"Yes\" if it only reserves space (a build that runs from "
                     "RAM alone loads no section into read-only memory)");
  }
}

// Sections marked place_from_segment_end that the writer lays out in their
// normal place, decided by the writer's own function on the writer's chains.
void checkPlacedFromSegmentEnd(CheckContext& context, const MemoryMap& memoryMap,
                               const MemoryMap* sectionPlacement,
                               const std::vector<MemoryMapElement*>& memoryMapSegments) {
  if (context.segger) return;  // that script does not place from the end
  std::deque<SectionRecord> storage;
  std::vector<SectionRecord*> records;
  buildSectionChains(storage, records, memoryMapSegments, memoryMap, sectionPlacement, nullptr);
  for (const UnplacedAtSegmentEnd& unplaced :
       markPlacedFromSegmentEnd(records, context.symbols, nullptr)) {
    const MemoryMapElement& section = *unplaced.section->element;
    const MemoryMapElement& unsized = *unplaced.unsized->element;
    std::string why = "it";
    if (&unsized != &section) {
      why = "section " + std::string(unsized.name()) + " after it in segment " +
            std::string(unplaced.section->segment->name());
    }
    std::optional<std::string_view> size = unsized.sizeText();
    if (!size || size->empty()) {
      why += " has no size";
    } else {
      why += " has size=\"" + std::string(*size) + "\", which is not a fixed size";
      if (std::optional<uint64_t> bytes = wholeNumberOf(evaluateOnce(context, *size))) {
        why += " (write " + shownNumber(*bytes) + ")";
      }
    }
    context.findings.add(
        section, "place_from_segment_end=\"" +
                     std::string(section.attribute("place_from_segment_end").value_or("")) +
                     "\" on section " + std::string(section.name()) +
                     " is not honoured: " + why + ", and " + std::string(section.name()) +
                     " and every section after it in the segment need a fixed size (a number "
                     "with an optional K or M suffix, or a -symbols name of one); " +
                     std::string(section.name()) + " follows the section before it instead");
  }
}

// Whether the `runin` text names a placed section: one of its ";"-separated
// pieces, or, for -segger, the whole text.
bool runInFound(const CheckContext& context, std::string_view runIn,
                const std::vector<std::string>& sortedNames) {
  auto named = [&](std::string_view name) {
    return !name.empty() && std::binary_search(sortedNames.begin(), sortedNames.end(), name);
  };
  if (context.segger) return named(runIn);
  for (;;) {
    size_t end = runIn.find(';');
    if (named(runIn.substr(0, end))) return true;
    if (end == std::string_view::npos) return false;
    runIn.remove_prefix(end + 1);
  }
}

void checkRunIns(CheckContext& context, const std::vector<PlacedSection>& placed) {
  std::vector<std::string> names;
  for (const PlacedSection& entry : placed) names.push_back(underscoreSpaces(entry.section->name()));
  std::sort(names.begin(), names.end());
  const std::vector<std::string_view> known(names.begin(), names.end());
  for (const PlacedSection& entry : placed) {
    std::optional<std::string_view> runIn = entry.section->runIn();
    if (!runIn || runInFound(context, *runIn, names)) continue;
    std::string_view consequence =
        context.segger                        ? "the section runs where it is loaded"
        : context.settings.missingRunInIsError ? "the run fails with \"cannot find run section\""
                                              : "the section is left out";
    std::string message = "runin=\"" + std::string(*runIn) + "\" of section " +
                          std::string(entry.section->name()) + " names no placed section; " +
                          std::string(consequence);
    if (!runIn->empty() && (context.segger || runIn->find(';') == std::string_view::npos)) {
      message += didYouMean(*runIn, known);
    }
    context.findings.add(*entry.section, message);
  }
}

}  // namespace

void checkLayout(CheckContext& context, const MemoryMap& memoryMap,
                 const MemoryMap* sectionPlacement) {
  std::vector<MemoryMapElement*> memoryMapSegments =
      collectElements(memoryMap.rootElement(), ElementKind::MemorySegment, /*atFront=*/false);

  // Placement segments with a start and a size define the regions
  // themselves; the memory map's own sections are then not laid out.
  std::vector<MemoryMapElement*> regions;
  if (sectionPlacement) {
    for (MemoryMapElement* segment : collectElements(sectionPlacement->rootElement(),
                                                     ElementKind::MemorySegment, false)) {
      if (segment->hasStart() && segment->hasSize()) regions.push_back(segment);
    }
  }
  const bool placementDefinesRegions = !regions.empty();
  checkSegments(context, placementDefinesRegions ? regions : memoryMapSegments);

  std::vector<PlacedSection> placed;
  if (!placementDefinesRegions) {
    for (MemoryMapElement* segment : memoryMapSegments) {
      for (const MemoryMapElement* section :
           collectElements(segment, ElementKind::ProgramSection, /*atFront=*/false)) {
        placed.push_back({section, segment});
      }
    }
  }
  if (sectionPlacement) {
    placePlacementSections(context, memoryMap, *sectionPlacement, memoryMapSegments, placed);
  }
  checkSectionNamesOnce(context, placed);
  checkFixedStarts(context, placed);
  checkFixedSizes(context, placed);
  checkSegmentsWithoutSize(context, placed);
  checkLoadedInWritable(context, placed);
  checkRunIns(context, placed);
  checkPlacedFromSegmentEnd(context, memoryMap, sectionPlacement,
                            placementDefinesRegions ? std::vector<MemoryMapElement*>()
                                                    : memoryMapSegments);
}

}  // namespace vozo
