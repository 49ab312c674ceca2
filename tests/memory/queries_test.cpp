#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "memory/queries.h"
#include "memory/test_support.h"

namespace vozo {
namespace {

using test::documentFromText;

std::vector<std::string> names(const std::vector<MemoryMapElement*>& elements) {
  std::vector<std::string> result;
  for (const MemoryMapElement* element : elements) result.emplace_back(element->name());
  return result;
}

using Names = std::vector<std::string>;

constexpr const char* kMap = R"(<Root>
  <MemorySegment name="FLASH">
    <ProgramSection name=".text"/>
    <Wrapper><ProgramSection name=".rodata"><ProgramSection name="hidden"/></ProgramSection></Wrapper>
    <MemorySegment name="inner"/>
  </MemorySegment>
  <Group><MemorySegment name="RAM"><ProgramSection name=".data"/></MemorySegment></Group>
  <![CDATA[x]]>
  <MemorySegment name="SRAM"/>
  <MemorySegment name="RAM"/>
</Root>)";

TEST(Queries, CollectInDocumentOrderAndReversed) {
  auto document = documentFromText(kMap);
  MemoryMapElement* root = document->rootElement();
  EXPECT_EQ(names(collectElements(root, ElementKind::MemorySegment, false)),
            (Names{"FLASH", "RAM", "SRAM", "RAM"}));
  EXPECT_EQ(names(collectElements(root, ElementKind::MemorySegment, true)),
            (Names{"RAM", "SRAM", "RAM", "FLASH"}));
  MemoryMapElement* flash = findElement(*document, ElementKind::MemorySegment, "FLASH");
  EXPECT_EQ(names(collectElements(flash, ElementKind::ProgramSection, false)),
            (Names{".text", ".rodata"}));
  // The start element itself is collected when it has the kind.
  EXPECT_EQ(names(collectElements(flash, ElementKind::MemorySegment, false)), (Names{"FLASH"}));
  EXPECT_TRUE(collectElements(nullptr, ElementKind::MemorySegment, false).empty());
}

TEST(Queries, FindFirstInPreOrder) {
  auto document = documentFromText(kMap);
  MemoryMapElement* ram = findElement(*document, ElementKind::MemorySegment, "RAM");
  ASSERT_NE(ram, nullptr);
  EXPECT_EQ(ram->firstChildElement()->attribute("name"), ".data");
  EXPECT_NE(findElement(*document, ElementKind::ProgramSection, "hidden"), nullptr);
  EXPECT_NE(findElement(*document, ElementKind::MemorySegment, "SRAM"), nullptr);
  EXPECT_EQ(findElement(*document, ElementKind::MemorySegment, "ram"), nullptr);
  EXPECT_EQ(findElement(*document, ElementKind::ProgramSection, "RAM"), nullptr);

  MemoryMap empty(test::fakeMacroTable());
  EXPECT_EQ(findElement(empty, ElementKind::MemorySegment, ""), nullptr);
}

struct MatchCase {
  const char* placementName;
  const char* expected;  // null: no match
};

class MatchTest : public testing::TestWithParam<MatchCase> {};

TEST_P(MatchTest, FirstNamedSegmentWins) {
  auto memoryMap = documentFromText(
      R"(<Root><MemorySegment name="SRAM" start="1"/><MemorySegment name="FLASH" start="2"/><MemorySegment name="FLASH1" start="3"/><MemorySegment name="my ram" start="4"/></Root>)");
  auto placement = documentFromText(std::string("<Root><MemorySegment name=\"") +
                                    GetParam().placementName + "\"/></Root>");
  auto segments = collectElements(placement->rootElement(), ElementKind::MemorySegment, false);
  ASSERT_EQ(segments.size(), 1u);
  MemoryMapElement* match = matchPlacementSegment(*memoryMap, *segments[0]);
  if (GetParam().expected == nullptr) {
    EXPECT_EQ(match, nullptr);
  } else {
    ASSERT_NE(match, nullptr);
    EXPECT_EQ(match->name(), GetParam().expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, MatchTest,
                         testing::Values(MatchCase{"RAM;SRAM", "SRAM"}, MatchCase{"DRAM", nullptr},
                                         MatchCase{"FLASH;FLASH1", "FLASH"},
                                         MatchCase{"FLASH1;FLASH", "FLASH1"},
                                         MatchCase{";;FLASH1;", "FLASH1"},
                                         MatchCase{" SRAM", nullptr}, MatchCase{"my ram", "my ram"},
                                         MatchCase{"", nullptr}));

}  // namespace
}  // namespace vozo
