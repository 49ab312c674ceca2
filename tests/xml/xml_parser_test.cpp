// What of the parser no memory map shows: character data, comments and
// CDATA kept or dropped, the prolog, the order attributes are stored in, and
// the tree's soundness. Root selection, attribute forms, the two errors with
// their lines and entity decoding in values are pinned end to end by the
// golden case xml_parse_forms.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_document.h"
#include "xml/xml_writer.h"

namespace vozo {
namespace {

std::string rootText(const XMLDocument& document) {
  return document.root() ? toXmlText(*document.root()) : std::string("(none)");
}

// One letter per child: E element, D data, C comment, X CDATA.
std::string childKinds(const XMLNode& node) {
  std::string kinds;
  for (const XMLNode* child = node.firstChild(); child; child = child->nextSibling()) {
    static const char kLetters[] = {'E', 'D', 'C', 'X'};
    kinds += kLetters[static_cast<int>(child->type())];
  }
  return kinds;
}

struct ParseCase {
  const char* name;
  std::string_view text;
  bool keepCharacterData;
  std::string root;   // toXmlText of the root, or "(none)"
  const char* error;  // nullptr when parse succeeds
  uint32_t errorLine;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
  *os << c.name;
}

class ParseTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, RootAndError) {
  const ParseCase& c = GetParam();
  XMLDocument document(c.keepCharacterData);
  bool ok = document.parse(c.text);
  EXPECT_EQ(rootText(document), c.root);
  if (c.error) {
    EXPECT_FALSE(ok);
    EXPECT_EQ(document.errorMessage(), c.error);
    EXPECT_EQ(document.errorLine(), c.errorLine);
  } else {
    EXPECT_TRUE(ok) << document.errorMessage();
    EXPECT_EQ(document.errorMessage(), "");
  }
}

const ParseCase kParseCases[] = {
    {"UnclosedChild", "<a><b>", false, "(none)", nullptr, 0},
    {"EmptyTagName", "< x='1'/>", false, "< x=\"1\"/>", nullptr, 0},
    {"DigitTagName", "<1a/>", false, "<1a/>", nullptr, 0},
    {"NameOrder", "<a z='1' B='2' a='3' _='4' -='5'/>", false,
     "<a -=\"5\" B=\"2\" _=\"4\" a=\"3\" z=\"1\"/>", nullptr, 0},
    {"ColonAndDashNames", "<a x:y='1' -z='2'/>", false, "<a -z=\"2\" x:y=\"1\"/>", nullptr, 0},
    {"ErrorKeepsEarlierRoot", "<r/>\n<a x=1/>", false, "<r/>", "bad tagName", 1},
    // Character data
    {"DataDroppedWhenNotKept", "<a>text<!--c--><![CDATA[x<y]]></a>", false,
     "<a><![CDATA[x<y]]></a>", nullptr, 0},
    {"DataKept", "<a>t&lt;<!--c--><![CDATA[x<y]]></a>", true, "<a>t&lt;<!--c--><![CDATA[x<y]]></a>",
     nullptr, 0},
    {"SingleDashBang", "<a><!-x></a>", true, "<a>x&gt;</a>", nullptr, 0},
    {"InstructionBecomesText", "<a><?pi stuff?>t</a>", true, "<a>stuff?&gt;t</a>", nullptr, 0},
    {"CommentDashes", "<a><!--x--->y--><!--z----></a>", true, "<a><!--x--->y--><!--z----></a>",
     nullptr, 0},
    // "]]]>" does not end a section (the pair "]]" is followed by "]").
    {"CDATABrackets", "<a><![CDATA[]]]>]]><![CDATA[x]]]]>]]></a>", false,
     "<a><![CDATA[]]]>]]><![CDATA[x]]]]></a>", nullptr, 0},
    {"CDATAWithSpace", "<a><! [CDATA [x]]></a>", false, "<a><![CDATA[x]]></a>", nullptr, 0},
    {"CDATAShapeOnly", "<a><![ CDATA[x]]></a>", false, "<a><![CDATA[DATA[x]]></a>", nullptr, 0},
    {"CarriageReturnInData", "<a>x\r\ny</a>", true, "<a>x\ny</a>", nullptr, 0},
};

INSTANTIATE_TEST_SUITE_P(Parser, ParseTest, testing::ValuesIn(kParseCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct PrologCase {
  const char* name;
  std::string_view text;
  std::optional<std::string> version, encoding, doctype;
};

void PrintTo(const PrologCase& c, std::ostream* os) {
  *os << c.name;
}

class PrologTest : public testing::TestWithParam<PrologCase> {};

TEST_P(PrologTest, Recorded) {
  const PrologCase& c = GetParam();
  XMLDocument document(false);
  EXPECT_TRUE(document.parse(c.text));
  EXPECT_EQ(document.version(), c.version);
  EXPECT_EQ(document.encoding(), c.encoding);
  EXPECT_EQ(document.doctype(), c.doctype);
}

const PrologCase kPrologCases[] = {
    {"Full",
     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><!DOCTYPE Board_Memory_Definition_File><Root/>",
     "1.0", "UTF-8", "Board_Memory_Definition_File"},
    // The empty target already makes a declaration; "xml" is then a name
    // without a value.
    {"SpaceBeforeTarget", "<? xml  version = '1.1'  encoding='x' ?><r/>", "1.1", "x", std::nullopt},
    {"TargetPrefix", "<?x encoding='e'?><r/>", std::nullopt, "e", std::nullopt},
    {"EmptyTarget", "<? version='v'?><r/>", "v", std::nullopt, std::nullopt},
    {"OtherTarget", "<?xml-stylesheet version='v'?><r/>", std::nullopt, std::nullopt, std::nullopt},
    {"EmptyValue", "<?xml version=''?><r/>", "", std::nullopt, std::nullopt},
    {"AfterStrayByte", "<?xml version='1' ; encoding='e'?><r/>", "1", std::nullopt, std::nullopt},
    {"ExternalId", "<!DOCTYPE x SYSTEM \"x.dtd\"><r/>", std::nullopt, std::nullopt, std::nullopt},
    {"DoctypePrefix", "<!DOC board ><r/>", std::nullopt, std::nullopt, "board"},
    {"DoctypeNoName", "<!DOCTYPE><r/>", std::nullopt, std::nullopt, ""},
    {"NotDoctype", "<!DOCTYPEX board><r/>", std::nullopt, std::nullopt, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Parser, PrologTest, testing::ValuesIn(kPrologCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParserTest, PrologValuesSurviveLaterParses) {
  XMLDocument document(false);
  ASSERT_TRUE(document.parse("<?xml version='1'?><!DOCTYPE d><a/>"));
  XMLElement* first = document.root();
  ASSERT_TRUE(document.parse("<?xml encoding='e'?><b/>"));
  EXPECT_EQ(document.version(), "1");
  EXPECT_EQ(document.encoding(), "e");
  EXPECT_EQ(document.doctype(), "d");
  // The earlier tree is not touched by the second parse.
  EXPECT_EQ(first->tagName(), "a");
  EXPECT_EQ(document.root()->tagName(), "b");
  ASSERT_TRUE(document.parse("no markup"));
  EXPECT_EQ(document.root(), nullptr);
}

TEST(ParserTest, ErrorMessageStaysAfterSuccess) {
  XMLDocument document(false);
  EXPECT_FALSE(document.parse("<a x=1/>"));
  EXPECT_TRUE(document.parse("<a/>"));
  EXPECT_EQ(document.errorMessage(), "bad tagName");
}

TEST(ParserTest, TextEndsAtFirstNul) {
  XMLDocument document(false);
  std::string text("<a/>\0<b/>", 9);
  ASSERT_TRUE(document.parse(text));
  EXPECT_EQ(rootText(document), "<a/>");
  // A view without a NUL after it is read to its end only.
  std::string longer = "<c/><d/>";
  ASSERT_TRUE(document.parse(std::string_view(longer).substr(0, 4)));
  EXPECT_EQ(rootText(document), "<c/>");
}

TEST(ParserTest, DataNodesAroundEveryChild) {
  XMLDocument document(true);
  ASSERT_TRUE(document.parse("<a><b/></a>"));
  EXPECT_EQ(childKinds(*document.root()), "DED");
  EXPECT_EQ(document.root()->firstChild()->asText()->text(), "");
  ASSERT_TRUE(document.parse("<a> <!--c--> <![CDATA[x]]></a>"));
  EXPECT_EQ(childKinds(*document.root()), "DCDXD");
  XMLDocument dropping(false);
  ASSERT_TRUE(dropping.parse("<a> <!--c--> <![CDATA[x]]><b/></a>"));
  EXPECT_EQ(childKinds(*dropping.root()), "XE");
}

TEST(ParserTest, NodeLines) {
  XMLDocument document(true);
  ASSERT_TRUE(document.parse("\n<a>\n <b\n c='1'/><!--x\n-->\n<![CDATA[\n]]>t</a>"));
  std::vector<int32_t> lines;
  for (const XMLNode* n = document.root(); n; n = nextInDocumentOrder(n, document.root())) {
    lines.push_back(n->line());
  }
  // a, data "\n ", b, data "", comment, data "\n", CDATA, data "t"
  EXPECT_EQ(lines, (std::vector<int32_t>{1, 1, 2, 3, 3, 4, 5, 6}));
}

TEST(ParserTest, KeptStringsEndAtEveryDelimiter) {
  // Strings end at every kind of delimiter, some shrunk by decoding.
  std::string text =
      "<r\n a='&lt;x&gt;'b=\"v\"\tc = 'w'>t&amp;u<e/><f\n/><g>\r\n<!--c-->x&#10;y<![CDATA[d]]>"
      "</g><h k='' l='&#;z'></h>z\r</r>";
  for (bool keep : {false, true}) {
    XMLDocument document(keep);
    ASSERT_TRUE(document.parse(text));
    size_t strings = 0;
    auto check = [&](std::string_view) { ++strings; };
    for (const XMLNode* n = document.root(); n; n = nextInDocumentOrder(n, document.root())) {
      if (const XMLElement* e = n->asElement()) {
        check(e->tagName());
        for (const XMLAttribute& a : e->attributes()) {
          check(a.name);
          check(a.value);
        }
      } else {
        check(n->asText()->text());
      }
    }
    EXPECT_EQ(strings, keep ? 26u : 16u);
    EXPECT_EQ(toXmlText(*document.root()),
              keep ? "<r a=\"&lt;x&gt;\" b=\"v\" c=\"w\">t&amp;u<e/><f/><g>\n<!--c-->x\ny"
                     "<![CDATA[d]]></g><h k=\"\" l=\"\"></h>z</r>"
                   : "<r a=\"&lt;x&gt;\" b=\"v\" c=\"w\"><e/><f/><g><![CDATA[d]]></g>"
                     "<h k=\"\" l=\"\"/></r>");
  }
}

TEST(ParserTest, ArbitraryBytesKeepTheTreeSound) {
  // Fragments of markup glued together at random: every parse must end, and
  // whatever tree comes out must be well linked.
  const std::string_view pieces[] = {"<",         ">",
                                     "/",         "?",
                                     "!",         "-",
                                     "--",        "]]>",
                                     "<![CDATA[", "<!--",
                                     "-->",       "=",
                                     "'",         "\"",
                                     " ",         "\n",
                                     "\r",        "&",
                                     ";",         "&#",
                                     "&#x",       "&lt;",
                                     "a",         "b:c",
                                     "1",         "xml",
                                     "DOCTYPE",   "<a",
                                     "</a>",      "<b>",
                                     "</",        "/>",
                                     "\xEF",      std::string_view("\0", 1)};
  uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1103515245 + 12345, (seed >> 16) & 0x7FFF; };
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    int count = static_cast<int>(next() % 40);
    for (int i = 0; i < count; ++i) text += pieces[next() % std::size(pieces)];
    XMLDocument document(round % 2 == 0);
    document.parse(text);
    if (!document.root()) continue;
    EXPECT_EQ(document.root()->parent(), nullptr);
    for (const XMLNode* n = document.root(); n; n = nextInDocumentOrder(n, document.root())) {
      const XMLNode* last = nullptr;
      for (const XMLNode* c = n->firstChild(); c; c = c->nextSibling()) {
        ASSERT_EQ(c->parent(), n) << text;
        last = c;
      }
      ASSERT_EQ(n->lastChild(), last) << text;
    }
    toXmlText(*document.root());
  }
}

struct EntityCase {
  const char* name;
  std::string_view raw;
  std::string_view value;  // decoded attribute value
  std::string_view data;   // decoded character data
};

void PrintTo(const EntityCase& c, std::ostream* os) {
  *os << c.name;
}

class EntityTest : public testing::TestWithParam<EntityCase> {};

TEST_P(EntityTest, DecodedInValuesAndData) {
  const EntityCase& c = GetParam();
  XMLDocument document(true);
  ASSERT_TRUE(document.parse("<a v=\"" + std::string(c.raw) + "\">" + std::string(c.raw) + "</a>"));
  EXPECT_EQ(document.root()->attribute("v"), c.value);
  ASSERT_NE(document.root()->firstChild(), nullptr);
  EXPECT_EQ(document.root()->firstChild()->asText()->text(), c.data);
}

const EntityCase kEntityCases[] = {
    {"Predefined", "&lt;&gt;&amp;&apos;&quot;", "<>&'\"", "<>&'\""},
    {"CarriageReturnOnlyDroppedInData", "a\r&#13;b", "a\r\rb", "a\rb"},
    {"ReturnInsideReferenceBlocksIt", "&am\rp;", "&am\rp;", "&amp;"},
};

INSTANTIATE_TEST_SUITE_P(Parser, EntityTest, testing::ValuesIn(kEntityCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vozo
