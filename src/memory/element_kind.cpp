#include "memory/element_kind.h"

namespace vozo {

ElementKind elementKindForTag(std::string_view tagName) {
  // Ordered by how often the tags occur in register-rich memory maps.
  if (tagName == "BitField") return ElementKind::BitField;
  if (tagName == "Register") return ElementKind::Register;
  if (tagName == "Enum") return ElementKind::Enum;
  if (tagName == "RegisterGroup") return ElementKind::RegisterGroup;
  if (tagName == "ProgramSection") return ElementKind::ProgramSection;
  if (tagName == "MemorySegment") return ElementKind::MemorySegment;
  if (tagName == "Root") return ElementKind::Root;
  if (tagName == "Processor") return ElementKind::Processor;
  if (tagName == "Vector") return ElementKind::Vector;
  return ElementKind::Other;
}

}  // namespace vozo
