#include <gtest/gtest.h>

#include <string>

#include "memory/queries.h"
#include "memory/test_support.h"

namespace vozo {
namespace {

using test::documentFromText;

// A section element with the given attribute text, e.g. `load="YES"`.
std::unique_ptr<MemoryMap> sectionWith(const std::string& attributes) {
  return documentFromText("<Root><ProgramSection name=\"s\" " + attributes + "/></Root>");
}

const MemoryMapElement& section(const MemoryMap& document) {
  return *findElement(document, ElementKind::ProgramSection, "s");
}

struct FlagCase {
  const char* attributes;
  bool (MemoryMapElement::*test)() const;
  bool expected;
};

class FlagTest : public testing::TestWithParam<FlagCase> {};

TEST_P(FlagTest, Reads) {
  auto document = sectionWith(GetParam().attributes);
  EXPECT_EQ((section(*document).*GetParam().test)(), GetParam().expected) << GetParam().attributes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FlagTest,
    testing::Values(
        FlagCase{R"(load="Yes")", &MemoryMapElement::isLoaded, true},
        FlagCase{R"(load="YES")", &MemoryMapElement::isLoaded, true},
        FlagCase{R"(load="Y")", &MemoryMapElement::isLoaded, false},
        FlagCase{R"(load="Yes ")", &MemoryMapElement::isLoaded, false},
        FlagCase{R"(load="")", &MemoryMapElement::isLoaded, false},
        FlagCase{"", &MemoryMapElement::isLoaded, false},
        FlagCase{R"(keep="yEs")", &MemoryMapElement::isKept, true},
        FlagCase{R"(access="ReadOnly")", &MemoryMapElement::isReadOnlyAccess, true},
        FlagCase{R"(access="readonly")", &MemoryMapElement::isReadOnlyAccess, false},
        FlagCase{"", &MemoryMapElement::isReadOnlyAccess, false},
        FlagCase{R"(place_from_segment_end="YES")", &MemoryMapElement::placeFromSegmentEnd, true},
        FlagCase{R"(place_from_segment_end="no")", &MemoryMapElement::placeFromSegmentEnd, false},
        FlagCase{R"(place_from_segment_end="")", &MemoryMapElement::hasPlaceFromSegmentEnd, true},
        FlagCase{R"(fill="")", &MemoryMapElement::hasFill, true},
        FlagCase{"", &MemoryMapElement::hasFill, false},
        FlagCase{R"(inputsections="")", &MemoryMapElement::hasInputSections, false},
        FlagCase{R"x(inputsections="*(.text)")x", &MemoryMapElement::hasInputSections, true},
        FlagCase{R"(start="")", &MemoryMapElement::hasStart, false},
        FlagCase{R"(alignment="")", &MemoryMapElement::hasAlignment, false},
        FlagCase{R"(address_symbol="")", &MemoryMapElement::hasAddressSymbol, true},
        FlagCase{R"(runin="")", &MemoryMapElement::hasRunIn, true},
        FlagCase{R"(Runin="x")", &MemoryMapElement::hasRunIn, false}));

struct AlignmentCase {
  const char* text;
  uint32_t expected;
};

class AlignmentTest : public testing::TestWithParam<AlignmentCase> {};

TEST_P(AlignmentTest, ReadsCNumber) {
  auto document = sectionWith(std::string("alignment=\"") + GetParam().text + "\"");
  EXPECT_EQ(section(*document).alignment(), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Cases, AlignmentTest,
                         testing::Values(AlignmentCase{"0x10", 16}, AlignmentCase{"010", 8},
                                         AlignmentCase{"4K", 4}, AlignmentCase{"word", 0},
                                         AlignmentCase{"0x100000004", 4}));

TEST(ElementAccessors, TextsAndKind) {
  auto document =
      sectionWith(R"x(fill="0xff" runin=".a;.b" start="0x10" size="$(SEGMENT_SIZE_REMAINING)")x");
  const MemoryMapElement& s = section(*document);
  EXPECT_EQ(s.kind(), ElementKind::ProgramSection);
  EXPECT_EQ(s.fill(), "0xff");
  EXPECT_EQ(s.runIn(), ".a;.b");
  EXPECT_EQ(s.startText(), "0x10");
  EXPECT_EQ(s.sizeText(), "$(SEGMENT_SIZE_REMAINING)");
  EXPECT_FALSE(s.runOffset().has_value());
  EXPECT_FALSE(s.readOnly());
  EXPECT_EQ(s.importedBy(), nullptr);

  auto unnamed = documentFromText("<Root><MemorySegment/></Root>");
  EXPECT_EQ(collectElements(unnamed->rootElement(), ElementKind::MemorySegment, false)[0]->name(),
            "");
}

TEST(ElementAccessors, KindFromExactTag) {
  const std::pair<const char*, ElementKind> cases[] = {
      {"MemorySegment", ElementKind::MemorySegment},
      {"Register", ElementKind::Register},
      {"ProgramSection", ElementKind::ProgramSection},
      {"Root", ElementKind::Root},
      {"RegisterGroup", ElementKind::RegisterGroup},
      {"BitField", ElementKind::BitField},
      {"Enum", ElementKind::Enum},
      {"Processor", ElementKind::Processor},
      {"Vector", ElementKind::Vector},
      {"Import", ElementKind::Other},
      {"memorysegment", ElementKind::Other},
      {"MemorySegments", ElementKind::Other},
      {"", ElementKind::Other}};
  for (const auto& [tag, kind] : cases) EXPECT_EQ(elementKindForTag(tag), kind) << tag;
}

}  // namespace
}  // namespace vozo
