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

// Walks `xml` with a budget of 1000 generated elements.
testing_support::WalkResult walkLimited(const std::string& xml) {
  testing_support::FixedMacroTable table;
  testing_support::RecordingPP document(table);
  document.setGeneratedElementLimit(1000);
  document.parse(xml);
  document.processConditionals(document.root(), "x.xml", MacroMap(), true);
  return {toXmlText(*document.root()), std::move(document.warnings)};
}

size_t countOf(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(XMLPP2Limits, EndlessLoopsStop) {
  // The index wraps from 0x80000000 back to 0 and never reaches the end.
  testing_support::WalkResult result = walkLimited(
      "<r><for index=\"i\" start=\"0\" end=\"0xFFFFFFFF\" incr=\"0x80000000\"><E/></for></r>");
  EXPECT_EQ(countOf(result.xml, "<E/>"), 500u);  // an iteration and a clone each
  EXPECT_EQ(result.warnings,
            std::vector<std::string>{kWarn + "<for> stopped: too many generated elements"});

  result = walkLimited(
      "<r><foreach a=\"1,2,3,4,5,6,7,8,9,10\" b=\"1,2,3,4,5,6,7,8,9,10\" "
      "c=\"1,2,3,4,5,6,7,8,9,10\"><E/></foreach></r>");
  EXPECT_EQ(countOf(result.xml, "<E/>"), 500u);
  EXPECT_EQ(result.warnings,
            std::vector<std::string>{kWarn + "<foreach> stopped: too many generated elements"});
}

TEST(XMLPP2Limits, ExponentialFragmentsStop) {
  // Each fragment puts the previous one twice: 2^40 elements if unbounded.
  std::string xml = "<r><xmldef name=\"F0\"><E/></xmldef>";
  for (int i = 1; i <= 40; ++i) {
    xml += "<xmldef name=\"F" + std::to_string(i) + "\"><xmlput name=\"F" + std::to_string(i - 1) +
           "\"/><xmlput name=\"F" + std::to_string(i - 1) + "\"/></xmldef>";
  }
  xml += "<xmlput name=\"F40\"/></r>";
  testing_support::WalkResult result = walkLimited(xml);
  EXPECT_LE(countOf(result.xml, "<E/>"), 1000u);
  ASSERT_FALSE(result.warnings.empty());
  EXPECT_EQ(result.warnings.front(), kWarn + "<xmlput> not done: too many generated elements");
}

}  // namespace
}  // namespace vozo
