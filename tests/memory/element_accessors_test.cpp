#include <gtest/gtest.h>

#include <ostream>
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

// Test names and failure output show the case by its attributes alone.
void PrintTo(const FlagCase& c, std::ostream* os) {
  *os << c.attributes;
}

class FlagTest : public testing::TestWithParam<FlagCase> {};

TEST_P(FlagTest, Reads) {
  auto document = sectionWith(GetParam().attributes);
  EXPECT_EQ((section(*document).*GetParam().test)(), GetParam().expected) << GetParam().attributes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FlagTest,
    testing::Values(
        // "Yes" in any case, the whole value.
        FlagCase{R"(load="YES")", &MemoryMapElement::isLoaded, true},
        FlagCase{R"(load="Y")", &MemoryMapElement::isLoaded, false},
        FlagCase{R"(load="Yes ")", &MemoryMapElement::isLoaded, false},
        FlagCase{"", &MemoryMapElement::isLoaded, false},
        FlagCase{R"(keep="yEs")", &MemoryMapElement::isKept, true},
        FlagCase{R"(place_from_segment_end="YES")", &MemoryMapElement::placeFromSegmentEnd, true},
        FlagCase{R"(place_from_segment_end="no")", &MemoryMapElement::placeFromSegmentEnd, false},
        // "ReadOnly" exactly.
        FlagCase{R"(access="ReadOnly")", &MemoryMapElement::isReadOnlyAccess, true},
        FlagCase{R"(access="readonly")", &MemoryMapElement::isReadOnlyAccess, false},
        // Presence: an empty value counts.
        FlagCase{R"(place_from_segment_end="")", &MemoryMapElement::hasPlaceFromSegmentEnd, true},
        FlagCase{R"(fill="")", &MemoryMapElement::hasFill, true},
        FlagCase{"", &MemoryMapElement::hasFill, false},
        FlagCase{R"(address_symbol="")", &MemoryMapElement::hasAddressSymbol, true},
        FlagCase{R"(runin="")", &MemoryMapElement::hasRunIn, true},
        FlagCase{R"(Runin="x")", &MemoryMapElement::hasRunIn, false},
        // Non-empty: an empty value does not count.
        FlagCase{R"(inputsections="")", &MemoryMapElement::hasInputSections, false},
        FlagCase{R"x(inputsections="*(.text)")x", &MemoryMapElement::hasInputSections, true},
        FlagCase{R"(start="")", &MemoryMapElement::hasStart, false},
        FlagCase{R"(alignment="")", &MemoryMapElement::hasAlignment, false}));

TEST(ElementAccessors, AlignmentIsACNumber) {
  const std::pair<const char*, uint32_t> cases[] = {
      {"0x10", 16}, {"010", 8}, {"4K", 4}, {"word", 0}, {"0x100000004", 4}};
  for (const auto& [text, expected] : cases) {
    auto document = sectionWith(std::string("alignment=\"") + text + "\"");
    EXPECT_EQ(section(*document).alignment(), expected) << text;
  }
}

TEST(ElementAccessors, AbsentNameReadsAsEmpty) {
  auto unnamed = documentFromText("<Root><MemorySegment/></Root>");
  EXPECT_EQ(unnamed->rootElement()->firstChildElement()->attribute("name"), std::nullopt);
  EXPECT_EQ(static_cast<MemoryMapElement*>(unnamed->rootElement()->firstChildElement())->name(),
            "");
}

TEST(ElementAccessors, KindFromExactTag) {
  // In the order of the kind numbers.
  const char* known[] = {"MemorySegment", "Register", "ProgramSection", "Root",  "RegisterGroup",
                         "BitField",      "Enum",     "Processor",      "Vector"};
  for (uint32_t i = 0; i < std::size(known); ++i) {
    EXPECT_EQ(static_cast<uint32_t>(elementKindForTag(known[i])), i) << known[i];
  }
  for (const char* other : {"Import", "memorysegment", "MemorySegments", ""}) {
    EXPECT_EQ(elementKindForTag(other), ElementKind::Other) << other;
  }
  EXPECT_EQ(static_cast<uint32_t>(ElementKind::Other), 9u);
}

}  // namespace
}  // namespace vozo
