#pragma once
// The input-section list of an output section that names none itself: the
// customary input sections of the well-known section names, else the
// section's own name and its dotted sub-sections.

#include <string>
#include <string_view>

#include "linkscript/run_settings.h"

namespace vozo {

std::string defaultInputSections(std::string_view sectionName, const RunSettings& settings);

}  // namespace vozo
