#include "check/element_checks.h"

#include <algorithm>

#include "check/file_checks.h"
#include "check/macro_checks.h"
#include "check/value_checks.h"
#include "check/vocabulary.h"
#include "linkscript/default_input_sections.h"
#include "linkscript/section_record.h"
#include "xml/closest_name.h"

namespace vozo {

namespace {

// Attributes whose value is written into the script as it stands, so that
// an empty value leaves a statement without its operand: the symbols of
// segments and sections, and two more of sections. (An empty `runin` names
// no section; the layout checks report it.)
constexpr std::string_view kSymbolAttributes[] = {"address_symbol", "end_symbol", "size_symbol"};
constexpr std::string_view kSectionScriptValues[] = {"address_symbol", "end_symbol",
                                                     "size_symbol", "fill", "runoffset"};

bool contains(std::span<const std::string_view> list, std::string_view name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

bool isRegisterLike(ElementKind kind) {
  return kind == ElementKind::RegisterGroup || kind == ElementKind::Register ||
         kind == ElementKind::BitField || kind == ElementKind::Enum;
}

// One pass over the attributes: unknown names, and, for the register kinds,
// which a register map holds by the hundred thousand, the values too.
void checkAttributes(CheckContext& context, const MemoryMapElement& element) {
  const NameTable* known = knownAttributes(element.kind(), element.tagName());
  if (!known) return;
  const bool registerLike = isRegisterLike(element.kind());
  for (const XMLAttribute& attribute : element.attributes()) {
    const size_t index = known->find(attribute.name);
    if (index == known->names().size()) {
      context.findings.add(element, "unknown attribute " + std::string(attribute.name) + " on " +
                                        describeElement(element) + " is ignored" +
                                        didYouMean(attribute.name, known->names()));
    } else if (registerLike && index == kStartIndex) {
      checkAddressText(context, element, "start", attribute.value, AddressForm::Start);
    } else if (registerLike && index == kSizeIndex) {
      checkAddressText(context, element, "size", attribute.value,
                       element.kind() == ElementKind::RegisterGroup ? AddressForm::Size32
                                                                    : AddressForm::PlainNumber);
    }
  }
}

void checkScriptValues(CheckContext& context, const MemoryMapElement& element,
                       std::span<const std::string_view> names) {
  for (std::string_view name : names) {
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

// Reports the references to undefined macros in the attributes of a segment
// or section; tells whether `start` and `size` hold one, whose value checks
// would only repeat the finding in other words.
struct UndefinedMacroIn {
  bool start = false;
  bool size = false;
};
UndefinedMacroIn checkMacroReferences(CheckContext& context, const MemoryMap& document,
                                      const MemoryMapElement& element, bool isPlacement) {
  UndefinedMacroIn in;
  for (const XMLAttribute& attribute : element.attributes()) {
    if (!checkMacroReferences(context, document, element, attribute.name, attribute.value,
                              isPlacement)) {
      continue;
    }
    if (attribute.name == "start") in.start = true;
    if (attribute.name == "size") in.size = true;
  }
  return in;
}

void checkSegment(CheckContext& context, const MemoryMap& document,
                  const MemoryMapElement& segment, bool isPlacement) {
  const UndefinedMacroIn undefined = checkMacroReferences(context, document, segment, isPlacement);
  const bool definesRegion = segment.hasStart() && segment.hasSize();
  if (!isPlacement || definesRegion) {
    if (segment.name().empty()) {
      context.findings.add(segment, "segment without a name: its region and symbols have none");
    } else {
      checkScriptName(context, segment, "name", segment.name());
    }
    if (auto start = segment.startText(); start && !undefined.start) {
      checkAddressText(context, segment, "start", *start, AddressForm::Start);
      checkDecimalMeantAsHex(context, segment, "start", *start);
    }
    if (auto size = segment.sizeText(); size && !undefined.size) {
      checkAddressText(context, segment, "size", *size, AddressForm::Size32);
      checkDecimalMeantAsHex(context, segment, "size", *size);
    }
  }
  if (auto access = segment.access()) checkAccess(context, segment, *access);
  checkScriptValues(context, segment, kSymbolAttributes);
}

// A section that runs elsewhere copies its load image there at start-up; a
// section that is not loaded has none.
void checkRunInLoaded(CheckContext& context, const MemoryMapElement& section) {
  std::optional<std::string_view> runIn = section.runIn();
  std::optional<std::string_view> load = section.loadText();
  // With -segger the script copies every run-in section; a load text other
  // than Yes or No is reported on its own.
  if (context.segger || !runIn || runIn->empty() || section.isLoaded() ||
      (load && !equalsIgnoringCase(*load, "no"))) {
    return;
  }
  context.findings.add(section, "runin=\"" + std::string(*runIn) + "\" of " +
                                    describeElement(section) +
                                    " without load=\"Yes\": the section has no load image, so "
                                    "the start-up copy fills its run address with whatever bytes "
                                    "lie at its load address; add load=\"Yes\"");
}

void checkSection(CheckContext& context, const MemoryMap& document,
                  const MemoryMapElement& section, bool isPlacement) {
  const UndefinedMacroIn undefined = checkMacroReferences(context, document, section, isPlacement);
  if (section.name().empty()) {
    context.findings.add(section, "section without a name: its statement and symbols have none");
  } else {
    checkScriptName(context, section, "name", section.name());
  }
  if (section.hasStart() && !undefined.start) {
    checkAddressText(context, section, "start", *section.startText(), AddressForm::Start);
    checkDecimalMeantAsHex(context, section, "start", *section.startText());
  }
  if (section.hasSize() && !undefined.size) checkSectionSize(context, section, *section.sizeText());
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
  checkScriptValues(context, section, kSectionScriptValues);
  checkKeep(context, section);
  checkRunInLoaded(context, section);
}

}  // namespace

void checkElement(CheckContext& context, const MemoryMap& document,
                  const MemoryMapElement& element, bool isPlacement) {
  const std::string_view tag = element.tagName();
  // A file's root may have any tag.
  const bool fileRoot = &element == document.rootElement() || element.importedBy() != nullptr;
  if (element.kind() == ElementKind::Other) {
    if (!fileRoot && !contains(knownElementTags(), tag)) {
      context.findings.add(element, "unknown element <" + std::string(tag) + "> is ignored" +
                                        didYouMean(tag, knownElementTags(), "<", ">"));
      return;
    }
    if (isDirectiveTag(tag)) return;
    if (tag == "Import") checkImport(context, document, element);
  }
  checkAttributes(context, element);
  if (element.kind() == ElementKind::MemorySegment) {
    checkSegment(context, document, element, isPlacement);
  }
  if (element.kind() == ElementKind::ProgramSection) {
    checkSection(context, document, element, isPlacement);
  }
}

void checkElements(CheckContext& context, const MemoryMap& document, bool isPlacement) {
  const MemoryMapElement* root = document.rootElement();
  for (const XMLNode* node = root; node; node = nextInDocumentOrder(node, root)) {
    if (const auto* element = static_cast<const MemoryMapElement*>(node->asElement())) {
      checkElement(context, document, *element, isPlacement);
    }
  }
}

}  // namespace vozo
