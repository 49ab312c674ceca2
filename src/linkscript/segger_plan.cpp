#include "linkscript/segger_plan.h"

#include <algorithm>
#include <cstdio>

#include "memory/queries.h"

namespace vozo {

namespace {

enum class Source { MemoryMap, Placement };

// Appends a record for each section below `from` (document order) that lies
// in `segment`.
void addSections(SeggerPlan& plan, MemoryMapElement* from, MemoryMapElement* segment, Source source,
                 const RunSettings& settings) {
  for (MemoryMapElement* section : collectElements(from, ElementKind::ProgramSection, false)) {
    const SectionRecord& record = plan.records.emplace_back(nullptr, section, segment);
    if (!settings.verbose) continue;
    const char* origin = source == Source::MemoryMap ? "memory map file" : "placement file";
    std::fprintf(settings.progress, "Adding section from %s %s\n", origin, record.name.c_str());
  }
}

bool definesRegion(const MemoryMapElement* segment) {
  return segment->hasStart() && segment->hasSize();
}

}  // namespace

SeggerPlan planSeggerScript(const MemoryMap& memoryMap, const MemoryMap* sectionPlacement,
                            const RunSettings& settings) {
  SeggerPlan plan;
  std::vector<MemoryMapElement*> placementSegments;
  if (sectionPlacement) {
    placementSegments =
        collectElements(sectionPlacement->rootElement(), ElementKind::MemorySegment, true);
    if (std::any_of(placementSegments.begin(), placementSegments.end(), definesRegion)) {
      // The placement segments are the regions. Their sections are taken
      // exactly as in the normal case (only those of segments that match a
      // memory map segment, announced alike), but each is kept with the
      // placement segment it is written under, so that its block lands in
      // that segment's region.
      plan.segments = placementSegments;
      const SegmentIndex memoryMapSegments(memoryMap);
      for (MemoryMapElement* placement : placementSegments) {
        if (matchPlacementSegment(memoryMapSegments, *placement)) {
          addSections(plan, placement, placement, Source::Placement, settings);
        }
      }
      return plan;
    }
  }

  plan.segments = collectElements(memoryMap.rootElement(), ElementKind::MemorySegment, true);
  for (MemoryMapElement* segment : plan.segments) {
    addSections(plan, segment, segment, Source::MemoryMap, settings);
  }
  const SegmentIndex memoryMapSegments(memoryMap);
  for (MemoryMapElement* placement : placementSegments) {
    MemoryMapElement* target = matchPlacementSegment(memoryMapSegments, *placement);
    if (target) addSections(plan, placement, target, Source::Placement, settings);
  }
  return plan;
}

}  // namespace vozo
