// Overlapping segments, a segment of size 0 and one that ends at 2^64: each
// query answers with the first segment in the model's order.

#include "size/segment_lookup.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace vozo::size {
namespace {

std::vector<SegmentUsage> segments() {
  const struct {
    uint64_t start;
    uint64_t size;
  } ranges[] = {{0x0, 0x100}, {0x0, 0x1000},    {0x50, 0x10},
                {0x2000, 0},  {0x3000, 0x1000}, {0xFFFFFFFFFFFFF000, 0x1000}};
  std::vector<SegmentUsage> result;
  for (const auto& range : ranges) {
    SegmentUsage segment;
    segment.start = range.start;
    segment.size = range.size;
    result.push_back(segment);
  }
  return result;
}

TEST(SegmentLookup, AnswersWithTheFirstSegmentThatQualifies) {
  const SegmentLookup lookup(segments());
  const std::optional<size_t> none;
  const struct {
    uint64_t address;
    std::optional<size_t> holding;
    std::optional<size_t> endingAt;
  } cases[] = {
      {0x0, 0, none},    {0x55, 0, none},       {0x60, 0, 2},      {0x100, 1, 0},
      {0xFFF, 1, none},  {0x1000, none, 1},     {0x2000, none, 3}, {0x3FFF, 4, none},
      {0x4000, none, 4}, {UINT64_MAX, 5, none},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(lookup.holding(c.address), c.holding) << std::hex << c.address;
    EXPECT_EQ(lookup.endingAt(c.address), c.endingAt) << std::hex << c.address;
  }
  EXPECT_EQ(lookup.overlapping(0x1800, 0x1F00), none);
  EXPECT_EQ(lookup.overlapping(0x2800, 0x5000), 4u);
  EXPECT_EQ(lookup.overlapping(0x4800, static_cast<unsigned __int128>(UINT64_MAX) + 2), 5u);
}

}  // namespace
}  // namespace vozo::size
