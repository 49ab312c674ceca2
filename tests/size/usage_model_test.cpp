// Layouts the link tests cannot produce, because the linker refuses them or
// no script of the example board yields them: overlapping images, images
// outside their segment, and the budget arithmetic at its edges.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "size/usage_checks.h"
#include "size/usage_model.h"

namespace vozo::size {
namespace {

// RAM [0x1000, 0x2000) and FLASH [0x8000, 0x9000), plus the given symbols.
ElfSymbols symbolsWith(std::map<std::string, uint64_t, std::less<>> sections) {
  ElfSymbols symbols;
  symbols.values = {{"__RAM_segment_start__", 0x1000},  {"__RAM_segment_size__", 0x1000},
                    {"__RAM_segment_end__", 0x2000},    {"__FLASH_segment_start__", 0x8000},
                    {"__FLASH_segment_size__", 0x1000}, {"__FLASH_segment_end__", 0x9000}};
  symbols.values.merge(sections);
  return symbols;
}

// The symbols of a section as a script defines them: start, end, size, load
// end and, unless it is a run area, load start.
void addSection(std::map<std::string, uint64_t, std::less<>>& symbols, const std::string& stem,
                uint64_t start, uint64_t size, std::optional<uint64_t> load) {
  symbols["__" + stem + "_start__"] = start;
  symbols["__" + stem + "_end__"] = start + size;
  symbols["__" + stem + "_size__"] = size;
  symbols["__" + stem + "_load_end__"] = load.value_or(start) + size;
  if (load) symbols["__" + stem + "_load_start__"] = *load;
}

struct UsageCase {
  const char* title;
  std::vector<std::tuple<std::string, uint64_t, uint64_t, std::optional<uint64_t>>> sections;
  uint64_t ramUsed;
  uint64_t flashUsed;
  std::vector<std::string> failures;
};

class Usage : public testing::TestWithParam<UsageCase> {};

TEST_P(Usage, CountsEachByteOnceAndReportsFailures) {
  std::map<std::string, uint64_t, std::less<>> sections;
  for (const auto& [stem, start, size, load] : GetParam().sections) {
    addSection(sections, stem, start, size, load);
  }
  const UsageModel model = buildUsageModel(symbolsWith(sections));
  ASSERT_EQ(model.segments.size(), 2u);
  EXPECT_EQ(model.segments[0].name, "RAM");
  EXPECT_EQ(model.segments[0].used, GetParam().ramUsed);
  EXPECT_EQ(model.segments[1].used, GetParam().flashUsed);
  EXPECT_EQ(checkUsage(model, {}), GetParam().failures);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, Usage,
    testing::Values(
        UsageCase{"two_copied_sections_share_one_run_area",
                  {{"ovl_a", 0x1000, 0x100, 0x8000},
                   {"ovl_b", 0x1000, 0x80, 0x8100},
                   {"ovl_run", 0x1000, 0x100, std::nullopt}},
                  0x100,
                  0x180,
                  {}},
        UsageCase{"stack_larger_than_its_segment_starts_below_it",
                  {{"stack", 0x0800, 0x1800, 0x0800}},
                  0x1800,
                  0,
                  {"segment RAM overflows: its sections use 6.0 KiB (6144 bytes), its size is "
                   "4.0 KiB (4096 bytes)",
                   "section .stack [0x00000800, 0x00002000) reaches outside segment RAM "
                   "[0x00001000, 0x00002000)"}},
        // Empty sections occupy nothing, wherever they are.
        UsageCase{"section_outside_every_segment",
                  {{"text", 0x8000, 0x10, 0x8000},
                   {"stray", 0x4000, 0x10, 0x4000},
                   {"empty_stray", 0x5000, 0, 0x5000},
                   {"empty_at_ram_end", 0x2000, 0, 0x2000}},
                  0,
                  0x10,
                  {"section .stray at 0x00004000 lies outside every segment"}}),
    [](const testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.title); });

TEST(Usage, FileWithoutSegmentSymbolsIsRejected) {
  ElfSymbols symbols;
  symbols.values = {{"__data_start__", 0x1000}, {"__data_end__", 0x1000}, {"__data_size__", 0}};
  EXPECT_THROW(buildUsageModel(symbols), ElfInputError);
}

TEST(Budget, IsExactAtItsEdgeAndWrittenCanonically) {
  SegmentUsage segment;
  segment.size = 1000;
  segment.used = 875;
  const struct {
    const char* text;
    const char* canonical;
    bool exceeded;
  } cases[] = {{"RAM=87.5", "87.5", false},    {"RAM=87.49", "87.49", true},
               {"RAM=087.500", "87.5", false}, {"RAM=87", "87", true},
               {"RAM=100.", "100", false},     {"RAM=87.5%", "87.5", false}};
  for (const auto& c : cases) {
    const Budget budget = parseBudget(c.text);
    EXPECT_EQ(budget.segment, "RAM") << c.text;
    EXPECT_EQ(budget.percentText, c.canonical) << c.text;
    EXPECT_EQ(budget.exceededBy(segment), c.exceeded) << c.text;
  }
  for (const char* bad : {"RAM", "=80", "RAM=", "RAM=8O", "RAM=1.2.3", "RAM=1234567890123", "RAM=%",
                          "RAM=80%%", "RAM=%80"}) {
    EXPECT_THROW(parseBudget(bad), std::invalid_argument) << bad;
  }
}

}  // namespace
}  // namespace vozo::size
