#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "memory/queries.h"
#include "memory/test_support.h"

namespace vozo {
namespace {

using test::documentFromText;
using Names = std::vector<std::string>;

Names names(const std::vector<MemoryMapElement*>& elements) {
  Names result;
  for (const MemoryMapElement* element : elements) result.emplace_back(element->name());
  return result;
}

TEST(Queries, CollectAndFind) {
  auto document = documentFromText(R"(<Root>
  <MemorySegment name="FLASH">
    <ProgramSection name=".text"/>
    <Wrapper><ProgramSection name=".rodata"><ProgramSection name="hidden"/></ProgramSection></Wrapper>
    <MemorySegment name="inner"/>
  </MemorySegment>
  <Group><MemorySegment name="RAM"><ProgramSection name=".data"/></MemorySegment></Group>
  <![CDATA[x]]>
  <MemorySegment name="SRAM"/>
  <MemorySegment name="RAM"/>
</Root>)");
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

  // The first in pre-order wins; names and kinds must match exactly.
  MemoryMapElement* ram = findElement(*document, ElementKind::MemorySegment, "RAM");
  ASSERT_NE(ram, nullptr);
  EXPECT_EQ(ram->firstChildElement()->attribute("name"), ".data");
  EXPECT_NE(findElement(*document, ElementKind::ProgramSection, "hidden"), nullptr);
  EXPECT_EQ(findElement(*document, ElementKind::MemorySegment, "ram"), nullptr);
  EXPECT_EQ(findElement(*document, ElementKind::ProgramSection, "RAM"), nullptr);
  MemoryMap empty(test::fakeMacroTable());
  EXPECT_EQ(findElement(empty, ElementKind::MemorySegment, ""), nullptr);
}

TEST(Queries, PlacementSegmentTakesTheFirstNameThatExists) {
  auto memoryMap = documentFromText(
      R"(<Root><MemorySegment name="SRAM"/><MemorySegment name="FLASH"/><MemorySegment name="FLASH1"/><MemorySegment name="my ram"/><MemorySegment name="FLASH"/></Root>)");
  const SegmentIndex segments(*memoryMap);
  const std::pair<const char*, const char*> cases[] = {
      // placement segment name, memory map segment found (null: none)
      {"RAM;SRAM", "SRAM"},       {"FLASH;FLASH1", "FLASH"},
      {"FLASH1;FLASH", "FLASH1"}, {";;FLASH1;", "FLASH1"},
      {" SRAM", nullptr},         {"my ram", "my ram"},
      {"DRAM", nullptr},          {"", nullptr}};
  for (const auto& [placementName, expected] : cases) {
    auto placement = documentFromText(std::string("<Root><MemorySegment name=\"") + placementName +
                                      "\"/></Root>");
    const auto* segment = static_cast<MemoryMapElement*>(placement->rootElement()->firstChild());
    MemoryMapElement* match = matchPlacementSegment(segments, *segment);
    EXPECT_EQ(match ? match->name() : "(none)", expected ? expected : "(none)") << placementName;
    // Of two segments of one name, the first in document order.
    if (expected) {
      EXPECT_EQ(match, findElement(*memoryMap, ElementKind::MemorySegment, expected));
    }
  }
}

}  // namespace
}  // namespace vozo
