#include "check/input_check.h"

#include "check/element_checks.h"
#include "check/file_checks.h"
#include "check/layout_checks.h"
#include "check/macro_checks.h"

namespace vozo {

InputChecks::InputChecks(const std::map<std::string, std::string>& symbols,
                         const RunSettings& settings, bool segger)
    : symbols_(symbols), settings_(settings), segger_(segger) {}

InputChecks::~InputChecks() = default;

InputChecks::ElementFindings& InputChecks::elementFindings(bool isPlacement) {
  ElementFindings& found = isPlacement ? sectionPlacement_ : memoryMap_;
  if (!found.context) {
    found.context = std::make_unique<CheckContext>(symbols_, settings_, segger_, found.findings);
  }
  return found;
}

void InputChecks::checkWhileLoading(MemoryMap& document, bool isPlacement) {
  ElementFindings& found = elementFindings(isPlacement);
  found.checked = true;
  CheckContext& context = *found.context;
  found.leftOutChecks = std::make_unique<LeftOutRegisterChecks>(context);
  LeftOutRegisterChecks& leftOut = *found.leftOutChecks;
  document.setElementVisitor(
      [&context, &document, isPlacement](const MemoryMapElement& element) {
        checkElement(context, document, element, isPlacement);
      },
      &leftOut);
}

void InputChecks::addDocument(CheckContext& context, const MemoryMap& document, bool isPlacement) {
  checkPreprocessorMessages(context, document);
  checkCommandLineMacros(context, document, isPlacement);
  ElementFindings& found = elementFindings(isPlacement);
  if (!found.checked) checkElements(*found.context, document, isPlacement);
  context.findings.append(std::move(found.findings));
}

void InputChecks::finish(const MemoryMap& memoryMap, const MemoryMap* sectionPlacement,
                         Findings& findings) {
  CheckContext context(symbols_, settings_, segger_, findings);
  addDocument(context, memoryMap, /*isPlacement=*/false);
  if (sectionPlacement) addDocument(context, *sectionPlacement, /*isPlacement=*/true);
  checkLayout(context, memoryMap, sectionPlacement);
}

}  // namespace vozo
