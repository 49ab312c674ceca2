#pragma once
// The text of the `-segger` linker script: header, symbol definitions, the 4 GB
// memory, and per segment its region, one block per section and the
// placement statement that lists the blocks in order.

#include <map>
#include <string>

#include "linkscript/segger_plan.h"

namespace vozo {

// `symbols` are written in ascending name order. Attribute texts (`size`,
// `alignment`, names) are copied as written; only the regions carry
// evaluated numbers.
std::string seggerScriptText(const std::map<std::string, std::string>& symbols,
                             const SeggerPlan& plan);

}  // namespace vozo
