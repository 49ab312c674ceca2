#pragma once
// The version banner and the usage text, both written to standard error.

#include <string>

namespace vozo {

// "<product> vozo - Release <release>\n" followed by the notice lines.
std::string bannerText();

// The banner followed by the command forms and the option list.
std::string usageText();

}  // namespace vozo
