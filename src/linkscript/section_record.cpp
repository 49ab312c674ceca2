#include "linkscript/section_record.h"

namespace vozo {

SectionRecord::SectionRecord(SectionRecord* previousRecord, MemoryMapElement* sectionElement,
                             MemoryMapElement* segmentElement)
    : previous(previousRecord),
      element(sectionElement),
      segment(segmentElement),
      name(underscoreSpaces(sectionElement->name())) {
  if (previous) previous->lastInSegment = false;
}

std::string_view SectionRecord::symbolStem() const {
  return symbolStemOf(name);
}

std::string SectionRecord::segmentStem() const {
  return underscoreSpaces(segment->name());
}

std::string underscoreSpaces(std::string_view name) {
  std::string result(name);
  for (char& c : result) {
    if (c == ' ') c = '_';
  }
  return result;
}

std::string_view symbolStemOf(std::string_view sectionName) {
  if (!sectionName.empty() && sectionName.front() == '.') sectionName.remove_prefix(1);
  return sectionName;
}

}  // namespace vozo
