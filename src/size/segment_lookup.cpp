#include "size/segment_lookup.h"

#include <algorithm>

namespace vozo::size {

SegmentLookup::SegmentLookup(const std::vector<SegmentUsage>& segments) {
  starts_.reserve(segments.size());
  highestEndSoFar_.reserve(segments.size());
  byEnd_.reserve(segments.size());
  unsigned __int128 highest = 0;
  for (size_t i = 0; i < segments.size(); ++i) {
    const unsigned __int128 end =
        static_cast<unsigned __int128>(segments[i].start) + segments[i].size;
    highest = std::max(highest, end);
    starts_.push_back(segments[i].start);
    highestEndSoFar_.push_back(highest);
    byEnd_.emplace_back(end, i);
  }
  std::sort(byEnd_.begin(), byEnd_.end());
}

std::optional<size_t> SegmentLookup::firstEndingAbove(uint64_t address,
                                                      unsigned __int128 limit) const {
  // Segments are sorted by start, so those starting below `limit` come first.
  const auto startingBelow = static_cast<size_t>(
      std::lower_bound(starts_.begin(), starts_.end(), limit,
                       [](uint64_t start, unsigned __int128 bound) { return start < bound; }) -
      starts_.begin());
  // The highest end so far grows with the index: where it first passes
  // `address` is the first segment that ends above it.
  const auto first = static_cast<size_t>(
      std::upper_bound(highestEndSoFar_.begin(), highestEndSoFar_.end(), address) -
      highestEndSoFar_.begin());
  if (first < startingBelow) return first;
  return std::nullopt;
}

std::optional<size_t> SegmentLookup::holding(uint64_t address) const {
  return firstEndingAbove(address, static_cast<unsigned __int128>(address) + 1);
}

std::optional<size_t> SegmentLookup::overlapping(uint64_t start, unsigned __int128 end) const {
  return firstEndingAbove(start, end);
}

std::optional<size_t> SegmentLookup::endingAt(uint64_t address) const {
  const auto found = std::lower_bound(byEnd_.begin(), byEnd_.end(),
                                      std::pair<unsigned __int128, size_t>(address, 0));
  if (found != byEnd_.end() && found->first == address) return found->second;
  return std::nullopt;
}

}  // namespace vozo::size
