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

// Attributes the model knows on every memory description element. The
// lists are scanned for every attribute of every element: the commonest
// names come first, and the lists of the kinds with an address begin with
// name, start and size (kStartIndex, kSizeIndex).
#define VOZO_DESCRIPTIVE "description", "endian", "addressSpace", "memory_mapped"

constexpr std::string_view kSegmentAttributes[] = {
    "name", "start", "size", "access", VOZO_DESCRIPTIVE, "address_symbol", "end_symbol",
    "size_symbol",
};

constexpr std::string_view kSectionAttributes[] = {
    "name", "start", "size", "load", "alignment", "keep", "runin", "inputsections", "fill",
    "address_symbol", "end_symbol", "size_symbol", "runoffset", "place_from_segment_end",
    VOZO_DESCRIPTIVE,
};

constexpr std::string_view kRegisterAttributes[] = {"name", "start", "size", "access",
                                                    VOZO_DESCRIPTIVE};

constexpr std::string_view kRootAttributes[] = {"name", VOZO_DESCRIPTIVE};

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

const NameTable* knownAttributes(ElementKind kind, std::string_view tag) {
  static constexpr NameTable segment(kSegmentAttributes), section(kSectionAttributes),
      registerLike(kRegisterAttributes), root(kRootAttributes), import(kImportAttributes);
  switch (kind) {
    case ElementKind::MemorySegment:
      return &segment;
    case ElementKind::ProgramSection:
      return &section;
    case ElementKind::RegisterGroup:
    case ElementKind::Register:
    case ElementKind::BitField:
    case ElementKind::Enum:
      return &registerLike;
    case ElementKind::Root:
      return &root;
    case ElementKind::Processor:
    case ElementKind::Vector:
      return nullptr;
    case ElementKind::Other:
      if (tag == "Import") return &import;
      if (tag == "envelope") return &root;
      return nullptr;
  }
  return nullptr;
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
