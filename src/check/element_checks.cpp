#include "check/element_checks.h"

#include <algorithm>

#include "check/closest_name.h"
#include "check/value_checks.h"
#include "check/vocabulary.h"
#include "linkscript/default_input_sections.h"
#include "linkscript/section_record.h"

namespace vozo {

namespace {

// Attributes whose value is written into the script as it stands, so that
// an empty value leaves a statement without its operand.
constexpr std::string_view kNotEmpty[] = {"fill",     "address_symbol", "end_symbol",
                                          "size_symbol", "runoffset",   "runin"};
constexpr std::string_view kSymbolAttributes[] = {"address_symbol", "end_symbol", "size_symbol"};

bool contains(std::span<const std::string_view> list, std::string_view name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

void checkVocabulary(CheckContext& context, const MemoryMapElement& element) {
  std::optional<std::span<const std::string_view>> known =
      knownAttributes(element.kind(), element.tagName());
  if (!known) return;
  for (const XMLAttribute& attribute : element.attributes()) {
    if (contains(*known, attribute.name)) continue;
    context.findings.add(element, "unknown attribute " + std::string(attribute.name) + " on " +
                                      describeElement(element) + " is ignored" +
                                      didYouMean(attribute.name, *known));
  }
}

void checkScriptValues(CheckContext& context, const MemoryMapElement& element) {
  for (std::string_view name : kNotEmpty) {
    std::optional<std::string_view> value = element.attribute(name);
    if (!value) continue;
    if (value->empty()) {
      context.findings.add(element, std::string(name) + "=\"\" on " + describeElement(element) +
                                        " writes a broken line into the linker script: give it a "
                                        "value or remove the attribute");
    } else if (contains(kSymbolAttributes, name)) {
      checkScriptName(context, element, name, *value);
    }
  }
}

void checkKeep(CheckContext& context, const MemoryMapElement& element) {
  if (!element.isKept()) return;
  const std::string name = underscoreSpaces(element.name());
  const std::string inputs = element.hasInputSections()
                                 ? std::string(element.inputSections().value_or(""))
                                 : defaultInputSections(name, context.settings);
  std::string_view carried = inputs.find("KEEP") != std::string::npos     ? "KEEP"
                             : inputs.find("COMMON") != std::string::npos ? "COMMON"
                                                                          : "";
  if (carried.empty()) return;
  context.findings.add(element, "keep=\"" + std::string(element.attribute("keep").value_or("")) +
                                    "\" on " + describeElement(element) +
                                    ": its input sections already carry " + std::string(carried) +
                                    ", and the linker rejects them inside KEEP(...); remove keep");
}

void checkSegment(CheckContext& context, const MemoryMapElement& segment, bool isPlacement) {
  const bool definesRegion = segment.hasStart() && segment.hasSize();
  if (!isPlacement || definesRegion) {
    if (segment.name().empty()) {
      context.findings.add(segment, "segment without a name: its region and symbols have none");
    } else {
      checkScriptName(context, segment, "name", segment.name());
    }
    if (auto start = segment.startText()) {
      checkAddressText(context, segment, "start", *start, AddressForm::Start);
    }
    if (auto size = segment.sizeText()) {
      checkAddressText(context, segment, "size", *size, AddressForm::Size32);
    }
  }
  if (auto access = segment.access()) checkAccess(context, segment, *access);
  checkScriptValues(context, segment);
}

void checkSection(CheckContext& context, const MemoryMapElement& section) {
  if (section.name().empty()) {
    context.findings.add(section, "section without a name: its statement and symbols have none");
  } else {
    checkScriptName(context, section, "name", section.name());
  }
  if (section.hasStart()) {
    checkAddressText(context, section, "start", *section.startText(), AddressForm::Start);
  }
  if (section.hasSize()) checkSectionSize(context, section, *section.sizeText());
  if (section.hasAlignment()) checkAlignment(context, section, *section.alignmentText());
  if (auto load = section.loadText()) {
    checkYesNo(context, section, "load", *load, "the section is not loaded: NOLOAD");
  }
  if (auto keep = section.attribute("keep")) {
    checkYesNo(context, section, "keep", *keep, "the linker may remove its input sections");
  }
  if (auto fromEnd = section.attribute("place_from_segment_end")) {
    checkYesNo(context, section, "place_from_segment_end", *fromEnd,
               "the section follows the one before it");
  }
  checkScriptValues(context, section);
  checkKeep(context, section);
}

void checkRegisterLike(CheckContext& context, const MemoryMapElement& element) {
  const bool group = element.kind() == ElementKind::RegisterGroup;
  if (auto start = element.startText()) {
    checkAddressText(context, element, "start", *start, AddressForm::Start);
  }
  if (auto size = element.sizeText()) {
    checkAddressText(context, element, "size", *size,
                     group ? AddressForm::Size32 : AddressForm::PlainNumber);
  }
}

}  // namespace

void checkElements(CheckContext& context, const MemoryMap& document, bool isPlacement) {
  const MemoryMapElement* root = document.rootElement();
  for (const XMLNode* node = root; node; node = nextInDocumentOrder(node, root)) {
    const auto* element = static_cast<const MemoryMapElement*>(node->asElement());
    if (!element) continue;
    const std::string_view tag = element->tagName();
    // A file's root may have any tag.
    const bool fileRoot = element == root || element->importedBy() != nullptr;
    if (!fileRoot && element->kind() == ElementKind::Other && !contains(knownElementTags(), tag)) {
      context.findings.add(*element, "unknown element <" + std::string(tag) + "> is ignored" +
                                         didYouMean(tag, knownElementTags(), "<", ">"));
      continue;
    }
    if (isDirectiveTag(tag)) continue;
    checkVocabulary(context, *element);
    switch (element->kind()) {
      case ElementKind::MemorySegment:
        checkSegment(context, *element, isPlacement);
        break;
      case ElementKind::ProgramSection:
        checkSection(context, *element);
        break;
      case ElementKind::RegisterGroup:
      case ElementKind::Register:
      case ElementKind::BitField:
      case ElementKind::Enum:
        checkRegisterLike(context, *element);
        break;
      default:
        break;
    }
  }
}

}  // namespace vozo
