#include "check/vocabulary.h"

#include <algorithm>

namespace vozo {

namespace {

constexpr std::string_view kElementTags[] = {
    "MemorySegment", "ProgramSection", "Root", "RegisterGroup", "Register", "BitField",
    "Enum", "Processor", "Vector", "Import", "envelope",
    // Directives, from here to the end.
    "if", "ifnot", "ifdef", "ifndef", "ifex", "switch", "case", "default", "include", "define",
    "for", "foreach", "xmldef", "xmlput",
};
constexpr size_t kFirstDirective = 11;

// Attributes the model knows on every memory description element.
#define VOZO_DESCRIPTIVE "name", "description", "endian", "addressSpace", "memory_mapped"

constexpr std::string_view kSegmentAttributes[] = {
    VOZO_DESCRIPTIVE, "start", "size", "access", "address_symbol", "end_symbol", "size_symbol",
};

constexpr std::string_view kSectionAttributes[] = {
    VOZO_DESCRIPTIVE, "start", "size", "alignment", "load", "keep", "inputsections", "fill",
    "address_symbol", "end_symbol", "size_symbol", "runin", "runoffset",
    "place_from_segment_end",
};

constexpr std::string_view kRegisterAttributes[] = {VOZO_DESCRIPTIVE, "start", "size", "access"};

constexpr std::string_view kRootAttributes[] = {VOZO_DESCRIPTIVE};

constexpr std::string_view kImportAttributes[] = {"filename"};

#undef VOZO_DESCRIPTIVE

}  // namespace

std::span<const std::string_view> knownElementTags() {
  return kElementTags;
}

bool isDirectiveTag(std::string_view tag) {
  return std::find(std::begin(kElementTags) + kFirstDirective, std::end(kElementTags), tag) !=
         std::end(kElementTags);
}

std::optional<std::span<const std::string_view>> knownAttributes(ElementKind kind,
                                                                  std::string_view tag) {
  switch (kind) {
    case ElementKind::MemorySegment:
      return kSegmentAttributes;
    case ElementKind::ProgramSection:
      return kSectionAttributes;
    case ElementKind::RegisterGroup:
    case ElementKind::Register:
    case ElementKind::BitField:
    case ElementKind::Enum:
      return kRegisterAttributes;
    case ElementKind::Root:
      return kRootAttributes;
    case ElementKind::Processor:
    case ElementKind::Vector:
      return std::nullopt;
    case ElementKind::Other:
      if (tag == "Import") return kImportAttributes;
      if (tag == "envelope") return kRootAttributes;
      return std::nullopt;
  }
  return std::nullopt;
}

std::string_view kindWord(ElementKind kind) {
  switch (kind) {
    case ElementKind::MemorySegment: return "segment";
    case ElementKind::ProgramSection: return "section";
    case ElementKind::RegisterGroup: return "register group";
    case ElementKind::Register: return "register";
    case ElementKind::BitField: return "bit field";
    case ElementKind::Enum: return "enum";
    default: return {};
  }
}

std::string describeElement(const MemoryMapElement& element) {
  std::string_view what = kindWord(element.kind());
  if (what.empty() || element.name().empty()) {
    return "element <" + std::string(element.tagName()) + ">";
  }
  return std::string(what) + " " + std::string(element.name());
}

}  // namespace vozo
