#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "xml/xml_writer.h"
#include "xml/xmlpp2.h"
#include "xml/xmlpp2_test_support.h"

namespace vozo {
namespace {

using testing_support::kWarn;

TEST(XMLPP2Limits, DeepNestingIsWalkedWithoutRecursion) {
  constexpr int kPairs = 100'000;  // 200,000 levels: an if around each element
  std::string xml = "<r>";
  for (int i = 0; i < kPairs; ++i) xml += "<if A=\"1\"><e a=\"$(A)\">";
  for (int i = 0; i < kPairs; ++i) xml += "</e></if>";
  xml += "</r>";
  testing_support::FixedMacroTable table;
  testing_support::RecordingPP document(table);
  ASSERT_TRUE(document.parse(xml));
  document.processConditionals(document.root(), "deep.xml", macroMapFromDefinitionText("A=1"),
                               true);
  int depth = 0;
  for (XMLElement* e = document.root()->firstChildElement(); e; e = e->firstChildElement()) {
    ASSERT_EQ(e->tagName(), "e");
    ASSERT_EQ(e->attribute("a"), "1");
    ++depth;
  }
  EXPECT_EQ(depth, kPairs);
  EXPECT_TRUE(document.warnings.empty());
}

TEST(XMLPP2Limits, RunawayGenerationStops) {
  // Each fragment puts the previous one twice: 2^40 elements if unbounded.
  std::string fragments = "<r><xmldef name='F0'><E/></xmldef>";
  for (int i = 1; i <= 40; ++i) {
    const std::string previous = "<xmlput name='F" + std::to_string(i - 1) + "'/>";
    fragments += "<xmldef name='F" + std::to_string(i) + "'>" + previous + previous + "</xmldef>";
  }
  fragments += "<xmlput name='F40'/></r>";
  const struct {
    std::string xml;
    size_t elements;  // at most: an iteration and a clone each take one of the 1000
    std::string warning;
  } cases[] = {
      // The index wraps from 0x80000000 back to 0 and never reaches the end.
      {"<r><for index='i' start='0' end='0xFFFFFFFF' incr='0x80000000'><E/></for></r>", 500,
       "<for> stopped: too many generated elements"},
      {"<r><foreach a='0,1,2,3,4,5,6,7,8,9' b='0,1,2,3,4,5,6,7,8,9' c='0,1,2,3,4,5,6,7,8,9'>"
       "<E/></foreach></r>",
       500, "<foreach> stopped: too many generated elements"},
      {fragments, 1000, "<xmlput> not done: too many generated elements"},
  };
  for (const auto& c : cases) {
    testing_support::FixedMacroTable table;
    testing_support::RecordingPP document(table);
    document.setGeneratedElementLimit(1000);
    document.parse(c.xml);
    document.processConditionals(document.root(), "x.xml", MacroMap(), true);
    size_t elements = 0;
    for (XMLNode* e = document.root()->firstChild(); e; e = e->nextSibling()) ++elements;
    EXPECT_LE(elements, c.elements) << c.warning;
    EXPECT_GT(elements, 0u) << c.warning;
    ASSERT_FALSE(document.warnings.empty());
    EXPECT_EQ(document.warnings.front(), kWarn + c.warning);
  }
}

TEST(XMLPP2Limits, SelfPuttingFragmentStops) {
  testing_support::WalkResult result = testing_support::walkSnippet(
      "<r><xmldef name='F'><E/><xmlput name='F'/></xmldef>"
      "<xmlput name='F'/></r>",
      "");
  EXPECT_EQ(result.warnings,
            std::vector<std::string>{kWarn + "<xmlput> not done: nested too deeply"});
}

}  // namespace
}  // namespace vozo
