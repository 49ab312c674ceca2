// Changing the tree: child-list operations, attributes, clone, and the
// writer's escaping.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml/xml_document.h"
#include "xml/xml_writer.h"

namespace vozo {
namespace {

std::string childTags(const XMLNode& node) {
  std::string tags;
  for (const XMLNode* child = node.firstChild(); child; child = child->nextSibling()) {
    tags += child->asElement()->tagName();
  }
  return tags;
}

// Every child's parent link and the cached tail agree with the list.
void expectConsistent(const XMLNode& node) {
  const XMLNode* last = nullptr;
  for (const XMLNode* child = node.firstChild(); child; child = child->nextSibling()) {
    EXPECT_EQ(child->parent(), &node);
    last = child;
  }
  EXPECT_EQ(node.lastChild(), last);
}

class TreeTest : public testing::Test {
 protected:
  XMLElement* element(const char* tag) { return document.createElement(tag); }
  // A parent with children named by the letters of `tags`.
  XMLElement* parentWith(std::string_view tags) {
    XMLElement* parent = element("p");
    for (char tag : tags) parent->appendChild(document.createElement(std::string(1, tag)));
    return parent;
  }
  XMLNode* child(XMLNode* parent, char tag) {
    for (XMLNode* c = parent->firstChild(); c; c = c->nextSibling()) {
      if (c->asElement()->tagName() == std::string_view(&tag, 1)) return c;
    }
    return nullptr;
  }

  XMLDocument document{false};
};

TEST_F(TreeTest, AppendAndPrepend) {
  XMLElement* parent = element("p");
  parent->prependChild(element("b"));  // into an empty list: also the tail
  expectConsistent(*parent);
  parent->appendChild(element("c"));
  parent->prependChild(element("a"));
  EXPECT_EQ(childTags(*parent), "abc");
  expectConsistent(*parent);
}

TEST_F(TreeTest, AppendClearsStaleNextSibling) {
  XMLElement* parent = parentWith("abc");
  XMLNode* a = child(parent, 'a');
  parent->removeChild(a);
  XMLElement* other = element("o");
  other->appendChild(a);
  EXPECT_EQ(a->nextSibling(), nullptr);
  EXPECT_EQ(childTags(*other), "a");
}

TEST_F(TreeTest, RemoveChild) {
  struct Case {
    char removed;
    const char* remaining;
  };
  for (Case c : {Case{'a', "bc"}, Case{'b', "ac"}, Case{'c', "ab"}}) {
    SCOPED_TRACE(c.removed);
    XMLElement* parent = parentWith("abc");
    XMLNode* removed = child(parent, c.removed);
    XMLNode* next = removed->nextSibling();
    EXPECT_TRUE(parent->removeChild(removed));
    EXPECT_EQ(childTags(*parent), c.remaining);
    expectConsistent(*parent);
    // The removed node keeps its links, so a walk can go on from it.
    EXPECT_EQ(removed->parent(), parent);
    EXPECT_EQ(removed->nextSibling(), next);
  }
  XMLElement* parent = parentWith("a");
  parent->removeChild(parent->firstChild());
  EXPECT_EQ(parent->firstChild(), nullptr);
  EXPECT_EQ(parent->lastChild(), nullptr);
  EXPECT_FALSE(parent->removeChild(element("x")));
}

TEST_F(TreeTest, ReplaceChild) {
  for (char replaced : {'a', 'b', 'c'}) {
    SCOPED_TRACE(replaced);
    XMLElement* parent = parentWith("abc");
    XMLNode* old = child(parent, replaced);
    XMLNode* oldNext = old->nextSibling();
    XMLElement* fresh = element("x");
    EXPECT_TRUE(parent->replaceChild(old, fresh));
    std::string expected = "abc";
    expected[replaced - 'a'] = 'x';
    EXPECT_EQ(childTags(*parent), expected);
    expectConsistent(*parent);
    EXPECT_EQ(old->parent(), parent);
    EXPECT_EQ(old->nextSibling(), oldNext);
  }
  XMLElement* parent = parentWith("a");
  EXPECT_FALSE(parent->replaceChild(element("y"), element("z")));
  EXPECT_EQ(childTags(*parent), "a");
}

TEST_F(TreeTest, InsertAfter) {
  struct Case {
    const char* list;
    char reference;  // 0: none
    const char* expected;
  };
  for (Case c : {Case{"abc", 'a', "axyzbc"}, Case{"abc", 'c', "abcxyz"}, Case{"", 0, "xyz"},
                 Case{"ab", 0, "xyzab"}}) {
    SCOPED_TRACE(c.expected);
    XMLElement* parent = parentWith(c.list);
    // The chain is the children of another element, moved as they are.
    XMLElement* source = parentWith("xyz");
    parent->insertAfter(c.reference ? child(parent, c.reference) : nullptr, source->firstChild());
    EXPECT_EQ(childTags(*parent), c.expected);
    expectConsistent(*parent);
  }
}

TEST_F(TreeTest, DocumentOrderWalk) {
  ASSERT_TRUE(document.parse("<a><b><c/><d/></b><e/></a>"));
  std::string order;
  for (const XMLNode* n = document.root(); n; n = nextInDocumentOrder(n, document.root())) {
    order += n->asElement()->tagName();
  }
  EXPECT_EQ(order, "abcde");
  // Within a subtree only: stops before the subtree's following sibling.
  const XMLNode* b = document.root()->firstChild();
  order.clear();
  for (const XMLNode* n = b; n; n = nextInDocumentOrder(n, b)) order += n->asElement()->tagName();
  EXPECT_EQ(order, "bcd");
  EXPECT_EQ(document.root()->firstChildElement()->nextSiblingElement()->tagName(), "e");
}

TEST_F(TreeTest, Attributes) {
  XMLElement* e = element("e");
  for (const char* name : {"size", "Start", "name", "a_b", "name"}) e->setAttribute(name, name);
  std::vector<std::string_view> names;
  for (const XMLAttribute& attribute : e->attributes()) names.push_back(attribute.name);
  EXPECT_EQ(names, (std::vector<std::string_view>{"Start", "a_b", "name", "size"}));

  e->setAttribute("empty", "");
  EXPECT_TRUE(e->hasAttribute("empty"));
  EXPECT_EQ(e->attribute("empty"), "");
  EXPECT_EQ(e->attribute("missing"), std::nullopt);
  EXPECT_FALSE(e->hasAttribute("nam"));

  std::string out = "kept";
  EXPECT_FALSE(e->getAttribute("missing", out));
  EXPECT_EQ(out, "kept");
  EXPECT_TRUE(e->getAttribute("size", out));
  EXPECT_EQ(out, "size");

  EXPECT_TRUE(e->removeAttribute("a_b"));
  EXPECT_FALSE(e->removeAttribute("a_b"));
  EXPECT_EQ(toXmlText(*e), "<e Start=\"Start\" empty=\"\" name=\"name\" size=\"size\"/>");
}

TEST_F(TreeTest, ReplacingValuesWhileIterating) {
  ASSERT_TRUE(document.parse("<e a='$(x)' b='2' c='$(y)' d='4' e='5'/>"));
  XMLElement* e = document.root();
  std::span<const XMLAttribute> attributes = e->attributes();
  std::string visited;
  for (const XMLAttribute& attribute : attributes) {
    visited += attribute.name;
    if (attribute.value.starts_with("$")) {
      // The new value may be longer; may view into the old one.
      e->setAttribute(attribute.name, std::string(attribute.value) + "-expanded");
    }
  }
  EXPECT_EQ(visited, "abcde");
  EXPECT_EQ(toXmlText(*e), "<e a=\"$(x)-expanded\" b=\"2\" c=\"$(y)-expanded\" d=\"4\" e=\"5\"/>");
}

TEST_F(TreeTest, ManyAttributesStaySorted) {
  XMLElement* e = element("e");
  for (int i = 999; i >= 0; --i) e->setAttribute("n" + std::to_string(i), std::to_string(i));
  ASSERT_EQ(e->attributeCount(), 1000u);
  for (size_t i = 1; i < e->attributes().size(); ++i) {
    EXPECT_LT(e->attributes()[i - 1].name, e->attributes()[i].name);
  }
  EXPECT_EQ(e->attribute("n123"), "123");
}

TEST_F(TreeTest, TextNodes) {
  XMLData* data = document.createData("a<b");
  data->setText("c&d\"");
  EXPECT_EQ(data->text(), "c&d\"");
  EXPECT_EQ(data->line(), -1);
  XMLElement* e = element("e");
  e->setAttribute("v", "<&>\"'");
  e->appendChild(data);
  e->appendChild(document.createComment("<&>"));
  e->appendChild(document.createCDATASection("<&>"));
  EXPECT_EQ(toXmlText(*e),
            "<e v=\"&lt;&amp;&gt;&quot;'\">c&amp;d&quot;<!--<&>--><![CDATA[<&>]]></e>");
  EXPECT_EQ(toXmlText(*data), "c&amp;d&quot;");
}

// A document with its own element class, made through createElement.
class TaggedElement : public XMLElement {
 public:
  TaggedElement(XMLDocument& document, std::string_view tagName, int serial)
      : XMLElement(document, tagName), serial(serial) {}
  int serial;
};

class TaggedDocument : public XMLDocument {
 public:
  TaggedDocument() : XMLDocument(true) {}
  XMLElement* createElement(std::string_view tagName) override {
    return arena().make<TaggedElement>(*this, tagName, ++created);
  }
  int created = 0;
};

TEST(CloneTest, DeepCopyThroughCreateElement) {
  XMLDocument source(true);
  ASSERT_TRUE(source.parse("<a x='1' y='2'>\n<b>t<!--c--><![CDATA[d]]></b>\n<c/></a>"));
  TaggedDocument target;
  XMLElement* parent = target.createElement("p");
  XMLNode* copy = target.clone(source.root(), parent);
  EXPECT_EQ(parent->firstChild(), copy);
  EXPECT_EQ(copy->parent(), parent);
  EXPECT_EQ(toXmlText(*copy), toXmlText(*source.root()));
  EXPECT_EQ(target.created, 4);  // p, a, b, c
  const XMLNode* original = source.root();
  for (const XMLNode* n = copy; n; n = nextInDocumentOrder(n, copy)) {
    // A copy reports where its original stands.
    EXPECT_EQ(n->line(), original->line());
    original = nextInDocumentOrder(original, source.root());
    EXPECT_EQ(&n->document(), &target);
    if (n->isElement()) {
      EXPECT_GT(static_cast<const TaggedElement*>(n)->serial, 1);
      expectConsistent(*n);
    }
  }
}

TEST(CloneTest, CopyOutlivesSourceDocument) {
  XMLDocument target(true);
  XMLNode* copy;
  {
    XMLDocument source(true);
    ASSERT_TRUE(source.parse("<a name='n'>text<b v='w'/></a>"));
    copy = target.clone(source.root(), nullptr);
  }
  EXPECT_EQ(copy->parent(), nullptr);
  EXPECT_EQ(toXmlText(*copy), "<a name=\"n\">text<b v=\"w\"/></a>");
}

TEST(CloneTest, IntoOwnSubtreeCopiesTheSubtreeAsItWas) {
  XMLDocument document(false);
  ASSERT_TRUE(document.parse("<a><b/></a>"));
  XMLElement* a = document.root();
  document.clone(a, a);
  EXPECT_EQ(toXmlText(*a), "<a><b/><a><b/></a></a>");
  // Changing the copy leaves the original alone (shared strings are never
  // written to).
  a->lastChild()->asElement()->setTagName("z");
  a->lastChild()->asElement()->setAttribute("k", "v");
  EXPECT_EQ(toXmlText(*a), "<a><b/><z k=\"v\"><b/></z></a>");
  EXPECT_EQ(document.clone(nullptr, a), nullptr);
}

}  // namespace
}  // namespace vozo
