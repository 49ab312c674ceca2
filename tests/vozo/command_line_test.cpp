// Reading the command line into the run settings and per-run values.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "expr/h_exception.h"
#include "vozo/argument_reader.h"
#include "vozo/command_line.h"

namespace vozo {
namespace {

struct Parsed {
  RunSettings settings;
  RunValues values;
};

Parsed parse(std::vector<std::string> arguments) {
  Parsed parsed;
  ArgumentReader reader(std::move(arguments));
  readCommandLine(reader, parsed.settings, parsed.values);
  return parsed;
}

TEST(ArgumentReader, EndIsNotAnEmptyArgument) {
  ArgumentReader reader({"", "x"});
  EXPECT_EQ(reader.next(""), std::optional<std::string>(""));
  EXPECT_EQ(reader.next("unused"), std::optional<std::string>("x"));
  EXPECT_EQ(reader.next(""), std::nullopt);
  try {
    reader.next("value required");
    FAIL() << "no failure at the end with a message";
  } catch (const HException& exception) {
    EXPECT_EQ(exception.message(), "value required");
  }
}

TEST(CommandLine, EverySwitchSetsItsField) {
  Parsed p = parse({"-check-segment-overflow", "-check-section-overflow",
                    "-no-check-unplaced-sections", "-no-ctors", "-no-dtors",
                    "-disable-missing-runin-error", "-verbose", "-segger", "-stack-sizes"});
  EXPECT_TRUE(p.values.checkSegmentOverflow);
  EXPECT_TRUE(p.values.checkSectionOverflow);
  EXPECT_FALSE(p.values.checkUnplacedSections);
  EXPECT_TRUE(p.settings.noCtors);
  EXPECT_TRUE(p.settings.noDtors);
  EXPECT_FALSE(p.settings.missingRunInIsError);
  EXPECT_TRUE(p.settings.verbose);
  EXPECT_TRUE(p.values.segger);
  EXPECT_TRUE(p.values.stackSizes);
}

TEST(CommandLine, ValueOptions) {
  Parsed p = parse({"-memory-map-file", "a.xml", "-memory-map-file", "b.xml",
                    "-memory-map-segments", "X RW 0 1", "-section-placement-file", "p.xml",
                    "-default-fill-pattern", "0xFF", "-target", "riscv", "out.ld"});
  EXPECT_EQ(p.values.memoryMapFile, "b.xml");  // the last one wins
  EXPECT_EQ(p.values.segmentList, "X RW 0 1");
  EXPECT_EQ(p.values.sectionPlacementFile, "p.xml");
  EXPECT_EQ(p.values.defaultFillPattern, "0xFF");
  EXPECT_EQ(p.settings.targetId, 20);
  EXPECT_EQ(p.values.positional, std::vector<std::string>{"out.ld"});
  EXPECT_EQ(parse({"-target", "riscv", "-target", "arm"}).settings.targetId, 8);
}

TEST(CommandLine, ValueIsTakenWhateverItLooksLike) {
  Parsed p =
      parse({"-memory-map-file", "-verbose", "-symbols", "A=-x", "-default-fill-pattern", ""});
  EXPECT_EQ(p.values.memoryMapFile, "-verbose");
  EXPECT_FALSE(p.settings.verbose);
  EXPECT_EQ(p.values.symbols.at("A"), "-x");
  EXPECT_TRUE(p.values.positional.empty());
}

TEST(CommandLine, PositionalArgumentsAnywhereAndEmptyOnesCount) {
  Parsed p = parse({"first", "-verbose", "", "-no-ctors", "last"});
  EXPECT_EQ(p.values.positional, (std::vector<std::string>{"first", "", "last"}));
}

TEST(CommandLine, MacroDefinitionsAccumulate) {
  Parsed p =
      parse({"-memory-map-macros", "A=1", "-memory-map-macros", "B=2", "-section-placement-macros",
             "C=3", "-section-placment-macros", "D=4", "-section-placement-macros", ""});
  EXPECT_EQ(p.values.memoryMapMacros, "A=1;B=2");
  EXPECT_EQ(p.values.sectionPlacementMacros, "C=3;D=4;");
  // An empty first value leaves nothing to separate from.
  EXPECT_EQ(parse({"-memory-map-macros", "", "-memory-map-macros", "B=2"}).values.memoryMapMacros,
            "B=2");
}

TEST(CommandLine, SymbolsAccumulateInOneMap) {
  Parsed p = parse({"-symbols", "A=1;B=2", "-symbols", "A=3"});
  EXPECT_EQ(p.values.symbols, (SymbolDefinitions{{"A", "3"}, {"B", "2"}}));
}

TEST(CommandLine, NeedsUsage) {
  struct Case {
    std::vector<std::string> arguments;
    bool usage;
  };
  const Case cases[] = {
      {{}, true},
      {{"out.ld"}, true},
      {{"-memory-map-file", "m.xml"}, true},
      {{"-memory-map-file", "m.xml", "a.ld", "b.ld"}, true},
      {{"-memory-map-file", "m.xml", "out.ld", ""}, true},
      {{"-memory-map-segments", "", "out.ld"}, true},
      {{"-memory-map-file", "m.xml", "out.ld"}, false},
      {{"out.ld", "-memory-map-segments", "X RW 0 1"}, false},
      {{"-memory-map-file", "m.xml", ""}, false},  // an empty output path still counts
  };
  for (const Case& c : cases) {
    EXPECT_EQ(needsUsage(parse(c.arguments).values), c.usage)
        << ::testing::PrintToString(c.arguments);
  }
}

}  // namespace
}  // namespace vozo
