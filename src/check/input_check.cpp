#include "check/input_check.h"

#include "check/element_checks.h"
#include "check/file_checks.h"
#include "check/layout_checks.h"

namespace vozo {

void checkDocuments(CheckContext& context, const MemoryMap& memoryMap,
                    const MemoryMap* sectionPlacement) {
  checkPreprocessorMessages(context, memoryMap);
  checkElements(context, memoryMap, /*isPlacement=*/false);
  if (sectionPlacement) {
    checkPreprocessorMessages(context, *sectionPlacement);
    checkElements(context, *sectionPlacement, /*isPlacement=*/true);
  }
  checkLayout(context, memoryMap, sectionPlacement);
}

}  // namespace vozo
