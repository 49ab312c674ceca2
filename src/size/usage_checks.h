#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "size/usage_model.h"

namespace vozo::size {

// The most a segment may use, in percent of its size: `-budget RAM=87.5`
// (or `RAM=87.5%`).
struct Budget {
  std::string segment;
  std::string percentText;  // in decimal: "87.5"
  // The percentage as the fraction numerator / denominator, exactly.
  uint64_t numerator = 0;
  uint64_t denominator = 1;

  bool exceededBy(const SegmentUsage& usage) const;
};

// Parses `<segment>=<percent>`; throws std::invalid_argument with a message
// naming what is wrong.
Budget parseBudget(std::string_view text);

// The failed checks, one message each: a segment whose images use more than
// its size or reach outside it, a non-empty section outside every segment, a
// copied section without a load image, and a segment over its budget.
std::vector<std::string> checkUsage(const UsageModel& model, const std::vector<Budget>& budgets);

}  // namespace vozo::size
