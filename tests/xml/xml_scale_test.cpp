// Trees far deeper and wider than any real input: parsed, walked, cloned,
// written and destroyed without recursion (run under the sanitizers, a
// recursive step would overflow the stack).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml/xml_document.h"
#include "xml/xml_writer.h"
#include "xml/xmlpp2_test_support.h"

namespace vozo {
namespace {

constexpr int kDepth = 200000;
constexpr int kSiblings = 100000;

std::string repeat(std::string_view piece, int count) {
  std::string text;
  text.reserve(piece.size() * count);
  for (int i = 0; i < count; ++i) text += piece;
  return text;
}

size_t countInDocumentOrder(const XMLNode* root) {
  size_t count = 0;
  for (const XMLNode* n = root; n; n = nextInDocumentOrder(n, root)) ++count;
  return count;
}

// The number of children, after checking that the list read backwards
// through previousSibling is the list read forwards.
size_t linkedChildCount(const XMLNode& parent) {
  std::vector<const XMLNode*> forward;
  for (const XMLNode* n = parent.firstChild(); n; n = n->nextSibling()) forward.push_back(n);
  size_t index = forward.size();
  for (const XMLNode* n = parent.lastChild(); n; n = n->previousSibling()) {
    if (index == 0 || forward[--index] != n) {
      ADD_FAILURE() << "previous links disagree with next links";
      return 0;
    }
  }
  EXPECT_EQ(index, 0u);
  return forward.size();
}

TEST(ScaleTest, DeepNesting) {
  std::string text = repeat("<e k='v'>", kDepth) + "x" + repeat("</e>", kDepth);
  XMLDocument document(true);
  ASSERT_TRUE(document.parse(text));
  ASSERT_NE(document.root(), nullptr);

  int depth = 0;
  const XMLElement* deepest = document.root();
  while (const XMLElement* next = deepest->firstChildElement()) {
    deepest = next;
    ++depth;
  }
  EXPECT_EQ(depth, kDepth - 1);
  EXPECT_EQ(deepest->firstChild()->asText()->text(), "x");
  // Every element but the innermost has an empty data node on each side of
  // its child element.
  const size_t nodes = 3 * static_cast<size_t>(kDepth) - 1;
  EXPECT_EQ(countInDocumentOrder(document.root()), nodes);

  std::string written = toXmlText(*document.root());
  EXPECT_EQ(written, repeat("<e k=\"v\">", kDepth) + "x" + repeat("</e>", kDepth));

  XMLDocument other(false);
  XMLNode* copy = other.clone(document.root(), nullptr);
  EXPECT_EQ(countInDocumentOrder(copy), nodes);
}

TEST(ScaleTest, DeepUnclosedAndMismatched) {
  XMLDocument document(false);
  EXPECT_TRUE(document.parse(repeat("<e>", kDepth)));
  EXPECT_EQ(document.root(), nullptr);
  EXPECT_FALSE(document.parse(repeat("<e>", kDepth) + "</f>"));
  EXPECT_EQ(document.errorMessage(), "tagName mismatch");
}

TEST(ScaleTest, ManySiblings) {
  std::string text = "<r>\n" + repeat("<s a='1' b='&amp;'/>\n", kSiblings) + "</r>";
  XMLDocument document(false);
  ASSERT_TRUE(document.parse(text));
  XMLElement* root = document.root();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(countInDocumentOrder(root), static_cast<size_t>(kSiblings) + 1);
  EXPECT_EQ(root->lastChild()->line(), kSiblings);
  EXPECT_EQ(root->lastChild()->asElement()->attribute("b"), "&");

  // Removing from the front stays cheap and keeps the tail.
  XMLNode* last = root->lastChild();
  for (int i = 0; i < kSiblings - 1; ++i) root->removeChild(root->firstChild());
  EXPECT_EQ(root->firstChild(), last);
  EXPECT_EQ(root->lastChild(), last);
  EXPECT_EQ(linkedChildCount(*root), 1u);
}

TEST(ScaleTest, ManyDirectiveSiblings) {
  // Every directive leaves the list (a define is dropped, an if is replaced
  // by its contents), so each step removes a node from the middle of a long
  // list: quadratic unless removal is O(1).
  std::string text =
      "<r>" + repeat("<define name='D' value='1'/><if D='1'><e/></if>", kSiblings / 2) + "</r>";
  testing_support::FixedMacroTable table;
  testing_support::RecordingPP document(table);
  ASSERT_TRUE(document.parse(text));
  document.processConditionals(document.root(), "many.xml", MacroMap(), true);
  XMLElement* root = document.root();
  for (const XMLNode* n = root->firstChild(); n; n = n->nextSibling()) {
    ASSERT_EQ(n->asElement()->tagName(), "e");
  }
  EXPECT_EQ(linkedChildCount(*root), static_cast<size_t>(kSiblings / 2));

  // The previous links stay right through the other list operations too.
  root->prependChild(document.createElement("first"));
  root->replaceChild(root->lastChild(), document.createElement("last"));
  root->replaceChild(root->firstChild()->nextSibling(), document.createElement("second"));
  EXPECT_EQ(linkedChildCount(*root), static_cast<size_t>(kSiblings / 2) + 1);
  EXPECT_EQ(root->lastChild()->asElement()->tagName(), "last");
}

TEST(ScaleTest, ManyAttributesAndEntities) {
  std::string text = "<r";
  for (int i = kSiblings; i > 0; --i) text += " a" + std::to_string(i) + "='&amp'";
  text += " a1='x'/>";
  XMLDocument document(false);
  ASSERT_TRUE(document.parse(text));
  ASSERT_NE(document.root(), nullptr);
  EXPECT_EQ(document.root()->attributeCount(), static_cast<size_t>(kSiblings));
  EXPECT_EQ(document.root()->attribute("a1"), "x");
  EXPECT_EQ(document.root()->attribute("a2"), "&amp");

  // "&" without any ";" after it, many times over, in one run.
  XMLDocument data(true);
  ASSERT_TRUE(data.parse("<r>" + repeat("&", 1000000) + "</r>"));
  EXPECT_EQ(data.root()->firstChild()->asText()->text().size(), 1000000u);
}

}  // namespace
}  // namespace vozo
