#pragma once

#include <string>

#include "size/usage_model.h"

namespace vozo::size {

// The memory map as a self-contained SVG picture: one bar per segment, each
// section a coloured block to scale within its segment's bar, load images
// of copied sections drawn faded in the segment they are loaded from, free
// space hatched.
std::string svgReport(const UsageModel& model, const std::string& fileName);

}  // namespace vozo::size
