#pragma once

#include <string>

#include "size/usage_model.h"

namespace vozo::size {

// The usage table: one row per segment (start, size, used, free, percent and
// a bar), with `withSections` each section under its segment. Fits 100 columns.
std::string tableReport(const UsageModel& model, const std::string& fileName, bool withSections);

}  // namespace vozo::size
