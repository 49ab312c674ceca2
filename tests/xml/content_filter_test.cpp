// Content left out by a filter: each text is parsed once with a filter and
// once without, and the two must agree on everything but the left-out
// nodes (result, error and its line, the lines of the elements after the
// content). The filter offers the content of every <Group> and turns down a
// <Keep> descendant.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

#include "xml/xml_document.h"
#include "xml/xml_writer.h"

namespace vozo {
namespace {

class GroupFilter : public ContentFilter {
 public:
  bool mayLeaveOut(const XMLElement& element, std::span<XMLElement* const>) override {
    return element.tagName() == "Group";
  }
  bool acceptDescendant(std::string_view tagName, std::span<const XMLAttribute>,
                        bool namesAsBefore) override {
    ++descendantsSeen;
    sameNames += namesAsBefore ? 'T' : 'F';
    return tagName != "Keep";
  }
  void leftOut(XMLElement&) override { ++leftOutCount; }

  int leftOutCount = 0;
  int descendantsSeen = 0;
  std::string sameNames;  // one letter per descendant: T when its names were as before
};

std::string rootText(const XMLDocument& document) {
  return document.root() ? toXmlText(*document.root()) : std::string("(none)");
}

// The line of the first <After> element, or -1.
int32_t afterLine(const XMLDocument& document) {
  const XMLElement* root = document.root();
  for (const XMLNode* node = root; node; node = nextInDocumentOrder(node, root)) {
    const XMLElement* element = node->asElement();
    if (element && element->tagName() == "After") return element->line();
  }
  return -1;
}

struct FilterCase {
  const char* name;
  std::string_view text;
  int leftOut;           // groups whose content the filtered parse leaves out
  const char* filtered;  // root text of the filtered parse; null: as the unfiltered one
};

void PrintTo(const FilterCase& c, std::ostream* os) {
  *os << c.name;
}

class ContentFilterTest : public testing::TestWithParam<FilterCase> {};

TEST_P(ContentFilterTest, AgreesWithTheWholeParse) {
  const FilterCase& c = GetParam();
  XMLDocument whole(false);
  const bool wholeOk = whole.parse(c.text);

  XMLDocument filtered(false);
  GroupFilter filter;
  filtered.setContentFilter(&filter);
  const bool filteredOk = filtered.parse(c.text);

  EXPECT_EQ(filteredOk, wholeOk);
  EXPECT_EQ(filtered.errorMessage(), whole.errorMessage());
  EXPECT_EQ(filtered.errorLine(), whole.errorLine());
  EXPECT_EQ(afterLine(filtered), afterLine(whole));
  EXPECT_EQ(filter.leftOutCount, c.leftOut);
  EXPECT_EQ(rootText(filtered), c.filtered ? std::string(c.filtered) : rootText(whole));

  // The filter is for one parse only.
  GroupFilter unused;
  filtered.setContentFilter(&unused);
  filtered.parse("<r/>");
  filtered.parse(c.text);
  EXPECT_EQ(rootText(filtered), rootText(whole));
  EXPECT_EQ(unused.leftOutCount, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ContentFilterTest,
    testing::Values(
        FilterCase{"plain_content_left_out",
                   "<Root>\n<Group n=\"g\">\n  <R a=\"1\" b='x\"y'>\n    <F c=\"two\nlines\"/>\n"
                   "  </R >\n  text & more\n  <R/>\n</Group>\n<After/>\n</Root>",
                   1, "<Root><Group n=\"g\"/><After/></Root>"},
        FilterCase{"end_tag_prefix_closes", "<Root><Group><R></R></Gr>\n<After/></Root>", 1,
                   "<Root><Group/><After/></Root>"},
        FilterCase{"turned_down_descendant", "<Root><Group><R/><Keep/></Group><After/></Root>", 0,
                   nullptr},
        FilterCase{"comment_inside", "<Root><Group><!-- c --><R/></Group>\n<After/></Root>", 0,
                   nullptr},
        FilterCase{"cdata_inside", "<Root><Group><![CDATA[x]]></Group><After/></Root>", 0,
                   nullptr},
        FilterCase{"declaration_inside", "<Root><Group><?xml version=\"1\"?></Group></Root>", 0,
                   nullptr},
        FilterCase{"entity_in_value", "<Root><Group><R a=\"&lt;\"/></Group><After/></Root>", 0,
                   nullptr},
        FilterCase{"macro_in_value", "<Root><Group><R a=\"$(X)\"/></Group><After/></Root>", 0,
                   nullptr},
        FilterCase{"attribute_without_value", "<Root><Group><R a b=\"1\"/></Group></Root>", 0,
                   nullptr},
        FilterCase{"unquoted_value", "<Root><Group><R a=1 b=\"2\"/></Group></Root>", 0, nullptr},
        FilterCase{"slash_space_close", "<Root><Group><R a=\"1\"/ ></Group></Root>", 0, nullptr},
        FilterCase{"mismatched_end_tag", "<Root><Group>\n<R>\n</X>\n</Group></Root>", 0, nullptr},
        FilterCase{"bad_attribute_name", "<Root><Group>\n\n<R %a=\"1\"/></Group></Root>", 0,
                   nullptr},
        FilterCase{"unclosed_at_end", "<Root><Group><R a=\"1\"/>", 0, nullptr},
        FilterCase{"unclosed_value", "<Root><Group><R a=\"1/></Group></Root>", 0, nullptr},
        FilterCase{"self_closing_group_offers_nothing", "<Root><Group/><After/></Root>", 0,
                   nullptr},
        FilterCase{"groups_around_a_declined_one",
                   "<Root><Group><R/></Group>\n<Group><R a=\"$x\"/></Group>\n<Group><R/>"
                   "</Group>\n<After/></Root>",
                   2, "<Root><Group/><Group><R a=\"$x\"/></Group><Group/><After/></Root>"},
        FilterCase{"inner_group_after_outer_declined",
                   "<Root><Group><Group><R/></Group><Keep/></Group><After/></Root>", 1,
                   "<Root><Group><Group/><Keep/></Group><After/></Root>"},
        FilterCase{"group_as_root", "<Group>\n<R/>\n</Group>", 1, "<Group/>"}),
    [](const testing::TestParamInfo<FilterCase>& info) { return std::string(info.param.name); });

// A failure deep inside many nested groups: each level may not scan again
// to the same point (the parse stays linear), and the tree is the whole one.
TEST(ContentFilterTest, DeepNestingAroundAFailureStaysLinear) {
  constexpr int kDepth = 20000;
  std::string text = "<Root>";
  for (int i = 0; i < kDepth; ++i) text += "<Group>";
  text += "<Keep/>";
  for (int i = 0; i < kDepth; ++i) text += "</Group>";
  text += "<After/></Root>";

  XMLDocument filtered(false);
  GroupFilter filter;
  filtered.setContentFilter(&filter);
  EXPECT_TRUE(filtered.parse(text));
  EXPECT_EQ(filter.leftOutCount, 0);
  // The first scans reach the <Keep>; after a few, no group is offered
  // again before it.
  EXPECT_LT(filter.descendantsSeen, 5 * kDepth);
  XMLDocument whole(false);
  whole.parse(text);
  EXPECT_EQ(rootText(filtered), rootText(whole));
}

// A descendant's names count as before only when the last one with its tag
// had exactly the same names in the same order; a name that merely begins
// like the one before does not.
TEST(ContentFilterTest, NamesAsBeforeComparesWholeNames) {
  XMLDocument document(false);
  GroupFilter filter;
  document.setContentFilter(&filter);
  document.parse(
      "<Group><R a=\"1\" b=\"2\"/><R a=\"3\" b=\"4\"/><R a=\"5\"/><R ab=\"6\"/>"
      "<R a =\"7\"/><S a=\"8\"/><R a=\"9\"/><R a=\"9\" c=\"1\"/></Group>");
  EXPECT_EQ(filter.sameNames, "FTFFFFTF");
  // A new scan starts without names.
  document.setContentFilter(&filter);
  filter.sameNames.clear();
  document.parse("<Group><R ab=\"9\" c=\"1\"/></Group>");
  EXPECT_EQ(filter.sameNames, "F");
}

TEST(ContentFilterTest, IgnoredWhenCharacterDataIsKept) {
  XMLDocument document(true);
  GroupFilter filter;
  document.setContentFilter(&filter);
  document.parse("<Root><Group> <R/> </Group></Root>");
  EXPECT_EQ(filter.leftOutCount, 0);
  EXPECT_EQ(rootText(document), "<Root><Group> <R/> </Group></Root>");
}

}  // namespace
}  // namespace vozo
