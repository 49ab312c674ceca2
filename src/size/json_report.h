#pragma once

#include <string>
#include <vector>

#include "size/usage_checks.h"
#include "size/usage_model.h"

namespace vozo::size {

// The usage as one JSON object (schema version 1): the segments, the
// sections, the budgets given and the failed checks.
std::string jsonReport(const UsageModel& model, const std::string& fileName,
                       const std::vector<Budget>& budgets, const std::vector<std::string>& errors);

}  // namespace vozo::size
