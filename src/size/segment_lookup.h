#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "size/usage_model.h"

namespace vozo::size {

// Finds the segment that holds an address or meets a range, in logarithmic
// time, so that placing every section stays fast with tens of thousands of
// segments. Segments may overlap (the symbols can say anything); each query
// answers with the first segment in the model's order that qualifies.
class SegmentLookup {
 public:
  // `segments` sorted by start address, as in UsageModel.
  explicit SegmentLookup(const std::vector<SegmentUsage>& segments);

  // The first segment with start <= address < start + size.
  std::optional<size_t> holding(uint64_t address) const;
  // The first segment that meets [start, end): it starts below `end` and
  // ends above `start`.
  std::optional<size_t> overlapping(uint64_t start, unsigned __int128 end) const;
  // The first segment whose end is `address`.
  std::optional<size_t> endingAt(uint64_t address) const;

 private:
  // The first segment among those starting below `limit` (exclusive) whose
  // end lies above `address`.
  std::optional<size_t> firstEndingAbove(uint64_t address, unsigned __int128 limit) const;

  std::vector<uint64_t> starts_;
  // Ends are start + size without wrapping at 2^64.
  std::vector<unsigned __int128> highestEndSoFar_;
  std::vector<std::pair<unsigned __int128, size_t>> byEnd_;
};

}  // namespace vozo::size
