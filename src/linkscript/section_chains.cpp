#include "linkscript/section_chains.h"

#include <string>
#include <unordered_map>

#include "memory/queries.h"

namespace vozo {

void buildSectionChains(std::deque<SectionRecord>& storage, std::vector<SectionRecord*>& records,
                        const std::vector<MemoryMapElement*>& memoryMapSegments,
                        const MemoryMap& memoryMap, const MemoryMap* sectionPlacement,
                        std::FILE* progress) {
  // The last record created per segment stem: the chain a new section joins.
  std::unordered_map<std::string, SectionRecord*> lastByStem;
  auto add = [&](SectionRecord* previous, MemoryMapElement* section, MemoryMapElement* segment,
                 const char* origin) {
    SectionRecord& record = storage.emplace_back(previous, section, segment);
    records.push_back(&record);
    lastByStem[record.segmentStem()] = &record;
    if (progress)
      std::fprintf(progress, "Adding section from %s %s\n", origin, record.name.c_str());
    return &record;
  };

  for (MemoryMapElement* segment : memoryMapSegments) {
    SectionRecord* previous = nullptr;
    for (MemoryMapElement* section :
         collectElements(segment, ElementKind::ProgramSection, /*atFront=*/false)) {
      previous = add(previous, section, segment, "memory map file");
    }
  }
  if (!sectionPlacement) return;
  const SegmentIndex segmentsByName(memoryMap);
  for (MemoryMapElement* placementSegment : collectElements(
           sectionPlacement->rootElement(), ElementKind::MemorySegment, /*atFront=*/true)) {
    MemoryMapElement* segment = matchPlacementSegment(segmentsByName, *placementSegment);
    if (!segment) continue;
    auto last = lastByStem.find(underscoreSpaces(segment->name()));
    SectionRecord* previous = last == lastByStem.end() ? nullptr : last->second;
    for (MemoryMapElement* section :
         collectElements(placementSegment, ElementKind::ProgramSection, /*atFront=*/false)) {
      previous = add(previous, section, segment, "placement file");
    }
  }
}

}  // namespace vozo
