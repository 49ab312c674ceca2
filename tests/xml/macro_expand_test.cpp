#include "xml/macro_expand.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

namespace vozo {
namespace {

// Date and Time are computed (with fixed texts here); the rest is stored.
class FakeMacroTable : public MacroTable {
 public:
  const std::string* find(std::string_view name) const override {
    auto it = values_.find(name);
    return it == values_.end() ? nullptr : &it->second;
  }
  bool computedValue(std::string_view name, std::string& result) const override {
    if (name != "Date" && name != "Time") return false;
    result = name == "Date" ? "5 March 2024" : "15:34:03";
    return true;
  }

 private:
  std::map<std::string, std::string, std::less<>> values_ = {
      {"Date", ""}, {"HostOS", "linux"}, {"HostEXE", ""}, {"Nested", "$(HostOS)/x"}};
};

using Cases = std::initializer_list<std::pair<const char*, const char*>>;

class MacroExpandTest : public ::testing::Test {
 protected:
  void expectAll(const char* definitions, bool useMacroTable, Cases cases) {
    MacroMap map = macroMapFromDefinitionText(definitions);
    for (const auto& [text, expected] : cases) {
      EXPECT_EQ(expand(text, map, table_, useMacroTable), expected) << text;
    }
  }
  FakeMacroTable table_;
};

// The reference forms ($$, defaults, nesting, unclosed and undefined
// references) are pinned end to end by the golden case macro_reference_forms;
// here the macro table's part and the bounds.

TEST_F(MacroExpandTest, MacroTableAndComputedNames) {
  expectAll("", true,
            {{"$(Nested)", "linux/x"},
             {"$(Date)", "5 March 2024"},
             {"$(Time)", "$(Time)"}});
  expectAll("HostOS=none;A=$(HostOS)", true, {{"$(A)", "none"}});
  // A computed name found in the local map gives the computed value whatever
  // it holds; not found, it is undefined.
  expectAll("Date=x;D=$(Date)", false,
            {{"$(D)", "5 March 2024"}, {"$(HostOS)", "$(HostOS)"}, {"$(Time:no)", "no"}});
}

TEST_F(MacroExpandTest, TextWithoutDollarIsNotCopied) {
  MacroMap map = macroMapFromDefinitionText("B=1/x");
  std::string out = "untouched";
  EXPECT_FALSE(expandInto("no references", map, table_, false, out));
  EXPECT_EQ(out, "untouched");
  out = "<$(B)>";  // the text may view into the output
  EXPECT_TRUE(expandInto(out, map, table_, false, out));
  EXPECT_EQ(out, "<1/x>");
}

TEST_F(MacroExpandTest, CyclesChainsAndDeepDefaultsStopAtTheNestingBound) {
  expectAll("A=$(B);B=$(A)", false, {{"$(A)", "$(B)"}, {"$(Z:$(A))", "$(A)"}});

  MacroMap chain;
  for (int i = 1; i < 200; ++i) {
    chain.set("A" + std::to_string(i), "<$(A" + std::to_string(i + 1) + ")>");
  }
  chain.set("A200", "end");
  std::string angles(kMaxMacroNesting - 1, '<');
  EXPECT_EQ(
      expand("$(A1)", chain, table_, false),
      angles + "$(A" + std::to_string(kMaxMacroNesting) + ")" + std::string(angles.size(), '>'));
  EXPECT_EQ(expand("$(A198)", chain, table_, false), "<<end>>");

  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "$(Z:";
  EXPECT_EQ(expand(deep, MacroMap{}, table_, false).substr(0, 4), "$(Z:");
}

TEST_F(MacroExpandTest, DoublingDefinitionsAreCappedByTheWorkBudget) {
  // Each level refers twice to the next: 2^60 leaves without a cap.
  for (const auto& [leaf, doubled] : Cases{{"x", "xx"}, {"$()", ""}}) {
    MacroMap map;
    for (int i = 0; i < 60; ++i) {
      std::string next = "$(L" + std::to_string(i + 1) + ")";
      map.set("L" + std::to_string(i), next + next);
    }
    map.set("L60", leaf);
    EXPECT_LE(expand("$(L0)", map, table_, false).size(), kMaxExpansionWork + 5) << leaf;
    EXPECT_EQ(expand("$(L59)", map, table_, false), doubled) << leaf;
  }
}

TEST_F(MacroExpandTest, SharedBudgetSpansSeveralExpansions) {
  MacroMap map = macroMapFromDefinitionText("A=1;B=$(A)/x;E=");
  size_t budget = 5;
  std::string out;
  EXPECT_TRUE(expandInto("$(A)", map, table_, false, out, budget));
  EXPECT_EQ(out, "1");
  EXPECT_EQ(budget, 4u);
  // Expanding "$(A)/x" would take 6 bytes: the reference stays as written.
  EXPECT_TRUE(expandInto("$(B)$(E)", map, table_, false, out, budget));
  EXPECT_EQ(out, "$(B)");
  EXPECT_TRUE(expandInto("$(A)", map, table_, false, out, budget));
  EXPECT_EQ(out, "$(A)");
}

}  // namespace
}  // namespace vozo
