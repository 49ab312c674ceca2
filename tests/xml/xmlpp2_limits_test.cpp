#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "expr/h_exception.h"
#include "xml/xml_writer.h"
#include "xml/xmlpp2.h"
#include "xml/xmlpp2_test_support.h"

namespace vozo {
namespace {

using testing_support::kWarn;

// Deep nesting is walked without recursion, and each level of spliced
// contents moves only its own children: an if around each element, and all
// elements inside the innermost of as many nested ifs (quadratic when every
// level moved up again what the levels inside it had moved).
TEST(XMLPP2Limits, DeepNestingIsLinear) {
  constexpr int kLevels = 100'000;
  auto repeat = [](std::string_view piece) {
    std::string text;
    for (int i = 0; i < kLevels; ++i) text += piece;
    return text;
  };
  const struct {
    std::string xml;
    bool chain;  // each e inside the one before, or all siblings
  } cases[] = {
      {"<r>" + repeat("<if A=\"1\"><e a=\"$(A)\">") + repeat("</e></if>") + "</r>", true},
      {"<r>" + repeat("<if A=\"1\">") + repeat("<e a=\"$(A)\"/>") + repeat("</if>") + "</r>",
       false},
  };
  for (const auto& c : cases) {
    testing_support::FixedMacroTable table;
    testing_support::RecordingPP document(table);
    ASSERT_TRUE(document.parse(c.xml));
    document.processConditionals(document.root(), "deep.xml", macroMapFromDefinitionText("A=1"),
                                 true);
    int count = 0;
    for (XMLElement* e = document.root()->firstChildElement(); e;
         e = c.chain ? e->firstChildElement() : e->nextSiblingElement()) {
      ASSERT_EQ(e->tagName(), "e");
      ASSERT_EQ(e->attribute("a"), "1");
      ++count;
    }
    EXPECT_EQ(count, kLevels);
    EXPECT_TRUE(document.warnings.empty());
  }
}

TEST(XMLPP2Limits, RunawayGenerationEndsTheLoad) {
  // Each fragment puts the previous one twice: 2^40 elements if unbounded.
  std::string fragments = "<r><xmldef name='F0'><E/></xmldef>";
  for (int i = 1; i <= 40; ++i) {
    const std::string previous = "<xmlput name='F" + std::to_string(i - 1) + "'/>";
    fragments += "<xmldef name='F" + std::to_string(i) + "'>" + previous + previous + "</xmldef>";
  }
  fragments += "<xmlput name='F40'/></r>";
  const std::string cases[] = {
      // The index wraps from 0x80000000 back to 0 and never reaches the end.
      "<r><for index='i' start='0' end='0xFFFFFFFF' incr='0x80000000'><E/></for></r>",
      "<r><foreach a='0,1,2,3,4,5,6,7,8,9' b='0,1,2,3,4,5,6,7,8,9' c='0,1,2,3,4,5,6,7,8,9'>"
      "<E/></foreach></r>",
      fragments,
  };
  for (const std::string& xml : cases) {
    testing_support::FixedMacroTable table;
    testing_support::RecordingPP document(table);
    document.setGeneratedElementLimit(1000);
    document.parse(xml);
    try {
      document.processConditionals(document.root(), "x.xml", MacroMap(), true);
      ADD_FAILURE() << "no limit error for " << xml.substr(0, 60);
    } catch (const HException& error) {
      EXPECT_EQ(error.message(),
                   "preprocessor loops and xmlput generate more than 1000 elements, the limit "
                   "for one file load");
    }
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
