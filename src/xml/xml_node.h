#pragma once
// The nodes of an XML document tree.
//
// Every node belongs to one XMLDocument and lives in that document's arena
// (xml/arena.h): nodes and their strings are released together when the
// document is destroyed, and no node destructor ever runs. Hence:
//   - node classes, including subclasses, must be trivially destructible
//     (plain values, pointers, views of arena strings); Arena::make checks it;
//   - nodes are made by the document (createElement, createData, ...), never
//     with new; "deleting" a node is unlinking it (removeChild) and dropping
//     the pointer;
//   - a node must not outlive its document; to move a subtree into another
//     document, clone it there (XMLDocument::clone).
//
// Strings handed to a node are kept in its document's arena: tag names,
// texts and attribute names and values are sized views, to be read with
// their size (they are not C strings).
//
// Children form a doubly linked list (nextSibling, previousSibling) with
// firstChild and lastChild at its ends, so every change to a child list is
// O(1) in the number of siblings (insertAfter is linear in the chain it
// links in). Nodes are told apart by type() (or asElement() and the
// like); node classes have no virtual functions.
//
// A document subclass that needs its own element class derives from
// XMLElement and makes its elements in an override of createElement:
//
//   class MemoryMapElement : public XMLElement {
//    public:
//     MemoryMapElement(XMLDocument& document, std::string_view tagName, bool readOnly)
//         : XMLElement(document, tagName), readOnly_(readOnly) {}
//    private:
//     uint64_t start_ = 0;  // trivially destructible fields only
//     bool readOnly_;
//   };
//
//   XMLElement* MemoryMap::createElement(std::string_view tagName) {
//     return arena().make<MemoryMapElement>(*this, tagName, readOnly);
//   }
//
// Every element of such a document then is a MemoryMapElement, so code that
// reads the tree converts with static_cast<MemoryMapElement*>(element).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vozo {

class XMLDocument;
class XMLElement;
class XMLTextNode;
class XMLParser;

enum class XMLNodeType : uint8_t { Element, Data, Comment, CDATASection };

class XMLNode {
 public:
  XMLNode(const XMLNode&) = delete;
  XMLNode& operator=(const XMLNode&) = delete;

  XMLNodeType type() const { return static_cast<XMLNodeType>(type_); }
  bool isElement() const { return type() == XMLNodeType::Element; }
  bool isText() const { return type() != XMLNodeType::Element; }  // data, comment or CDATA

  // The element, or null when this node is not one.
  XMLElement* asElement();
  const XMLElement* asElement() const;
  // The character-data node (XMLData, XMLComment or XMLCDATASection), or null.
  XMLTextNode* asText();
  const XMLTextNode* asText() const;

  XMLDocument& document() const { return *document_; }

  XMLNode* parent() const { return parent_; }
  XMLNode* nextSibling() const { return nextSibling_; }
  // Null for the first child, and for a node that is in no list (a removed
  // or replaced node loses its previous link, unlike its next one).
  XMLNode* previousSibling() const { return previousSibling_; }
  XMLNode* firstChild() const { return firstChild_; }
  XMLNode* lastChild() const { return lastChild_; }
  bool hasChildren() const { return firstChild_ != nullptr; }

  // The first element among the children / among the following siblings.
  XMLElement* firstChildElement() const;
  XMLElement* nextSiblingElement() const;

  // 0-based source line of the node's start; -1 when unknown (nodes not made
  // by the parser, nor copied from one).
  int32_t line() const { return line_; }
  void setLine(int32_t line) { line_ = line; }

  // The file the node was read from, as an index into its document's table
  // of source files (XMLDocument::sourceFilePath); kNoSourceFile when the
  // node came from a text rather than a file, or was made by code. An index
  // has 24 bits, kMaxSourceFile at most: the documents hand out no larger
  // one (see XMLDocument::sourceFileIndex).
  static constexpr uint32_t kNoSourceFile = 0;
  static constexpr uint32_t kMaxSourceFile = (uint32_t{1} << 24) - 1;
  uint32_t sourceFile() const { return sourceFile_; }
  void setSource(uint32_t file, int32_t line) {
    sourceFile_ = file;
    line_ = line;
  }

  // Links `child` at the end of the child list and sets its parent. The
  // child's nextSibling is cleared, so a node taken out of another list can
  // be appended as it is.
  void appendChild(XMLNode* child);

  // Links `child` at the front and sets its parent.
  void prependChild(XMLNode* child);

  // Unlinks `child` and keeps lastChild correct. The child's own parent and
  // nextSibling are left as they were: a walk over the list may go on from
  // a node it has just removed (its previousSibling is cleared). Code that re-uses the node
  // elsewhere calls clearNextSibling() (appendChild does that itself). Returns false, and changes
  // nothing, when `child` is not in the list.
  bool removeChild(XMLNode* child);

  // Puts `newChild` in the list position of `oldChild`; the new child takes
  // over the old one's parent and nextSibling. The old child keeps its parent
  // and nextSibling, like a removed child. Returns
  // false, and changes nothing, when `oldChild` is not in the list.
  bool replaceChild(XMLNode* oldChild, XMLNode* newChild);

  // Links the chain starting at `chain` (one or more nodes already linked
  // through nextSibling, ending at a node whose nextSibling is null) right
  // after `reference`; reference's old successor follows the chain's last
  // node. Every node of the chain gets this node as parent. When the list is
  // empty the chain becomes the list (`reference` is then ignored); a null
  // `reference` in a non-empty list puts the chain at the front. `reference`
  // must be a child of this node.
  void insertAfter(XMLNode* reference, XMLNode* chain);

  void clearNextSibling() { nextSibling_ = nullptr; }

 protected:
  XMLNode(XMLDocument& document, XMLNodeType type)
      : document_(&document), type_(static_cast<uint32_t>(type)) {}
  ~XMLNode() = default;

 private:
  // True when `child` is linked in this node's child list right now (a
  // removed node may still point at this node as its parent).
  bool isLinkedChild(const XMLNode* child) const;

  XMLDocument* document_;
  XMLNode* parent_ = nullptr;
  XMLNode* nextSibling_ = nullptr;
  XMLNode* previousSibling_ = nullptr;
  XMLNode* firstChild_ = nullptr;
  XMLNode* lastChild_ = nullptr;
  int32_t line_ = -1;
  // 24 bits, so that the index and type_ share one 32-bit word: the line,
  // the file and the type fill 8 bytes after the pointers (checked below).
  // Both are fields of one uint32_t, which every compiler packs into one word
  // (Windows compilers start a new word where the field's type changes).
  uint32_t sourceFile_ : 24 = kNoSourceFile;
  uint32_t type_ : 8;
};

// Every node and its strings live in the arena, and a large document has
// millions of nodes: a field added to XMLNode costs a whole word per node.
static_assert(sizeof(XMLNode) == 6 * sizeof(void*) + 8, "XMLNode grew");

// One attribute. Both views are strings in the arena.
struct XMLAttribute {
  std::string_view name;
  std::string_view value;
};

class XMLElement : public XMLNode {
 public:
  // Copies `tagName` into the document's arena. Normally called through
  // XMLDocument::createElement (or a subclass's override).
  XMLElement(XMLDocument& document, std::string_view tagName);

  std::string_view tagName() const { return tagName_; }
  void setTagName(std::string_view name);

  // Sets attribute `name` to `value` (both copied into the arena). A new name
  // is inserted at its place in name order. For an existing name only the
  // value changes: positions stay, and a span from attributes() stays valid,
  // so a loop over attributes() may call setAttribute for the attribute it is
  // looking at (or any other existing one). Inserting a new name may move the
  // storage and invalidates such spans.
  void setAttribute(std::string_view name, std::string_view value);

  // Removes the attribute; false when there is none of that name.
  // Invalidates spans from attributes().
  bool removeAttribute(std::string_view name);

  // True when an attribute of exactly that name exists (an empty value
  // counts).
  bool hasAttribute(std::string_view name) const { return find(name) != nullptr; }

  // The value, or nothing when absent.
  std::optional<std::string_view> attribute(std::string_view name) const;

  // When present stores the value in `out` and returns true; otherwise
  // returns false and leaves `out` as it was.
  bool getAttribute(std::string_view name, std::string_view& out) const;
  bool getAttribute(std::string_view name, std::string& out) const;

  // All attributes, names unique, in ascending byte-wise (strcmp) name
  // order: upper-case letters before lower-case ones.
  std::span<const XMLAttribute> attributes() const { return {attributes_, attributeCount_}; }
  size_t attributeCount() const { return attributeCount_; }

 private:
  friend class XMLParser;
  friend class XMLDocument;

  const XMLAttribute* find(std::string_view name) const;
  // Takes over an arena array of attributes already sorted by name with
  // unique names (parser and clone), for an element that has none yet: an
  // element class sets no attributes in its constructor.
  void adoptAttributes(XMLAttribute* attributes, uint32_t count);

  std::string_view tagName_;
  XMLAttribute* attributes_ = nullptr;  // arena array, sorted by name
  uint32_t attributeCount_ = 0;
  uint32_t attributeCapacity_ = 0;
};

// Common base of the three character-data node kinds.
class XMLTextNode : public XMLNode {
 public:
  std::string_view text() const { return text_; }
  void setText(std::string_view text);  // copied into the arena

 protected:
  XMLTextNode(XMLDocument& document, XMLNodeType type, std::string_view text);
  ~XMLTextNode() = default;

 private:
  friend class XMLDocument;
  std::string_view text_;
};

// Character data between tags (entities decoded).
class XMLData : public XMLTextNode {
 public:
  XMLData(XMLDocument& document, std::string_view text)
      : XMLTextNode(document, XMLNodeType::Data, text) {}
};

// The raw text of a comment, without "<!--" and "-->".
class XMLComment : public XMLTextNode {
 public:
  XMLComment(XMLDocument& document, std::string_view text)
      : XMLTextNode(document, XMLNodeType::Comment, text) {}
};

// The raw content of a CDATA section.
class XMLCDATASection : public XMLTextNode {
 public:
  XMLCDATASection(XMLDocument& document, std::string_view text)
      : XMLTextNode(document, XMLNodeType::CDATASection, text) {}
};

// The node after `node` in document order (pre-order: parent before
// children, children in order) within the subtree of `subtreeRoot`; null
// after the last one. No recursion, no extra memory. Relies on the parent
// links, which every operation above keeps correct for nodes in a tree.
const XMLNode* nextInDocumentOrder(const XMLNode* node, const XMLNode* subtreeRoot);
inline XMLNode* nextInDocumentOrder(XMLNode* node, const XMLNode* subtreeRoot) {
  return const_cast<XMLNode*>(nextInDocumentOrder(static_cast<const XMLNode*>(node), subtreeRoot));
}

inline XMLElement* XMLNode::asElement() {
  return isElement() ? static_cast<XMLElement*>(this) : nullptr;
}
inline const XMLElement* XMLNode::asElement() const {
  return isElement() ? static_cast<const XMLElement*>(this) : nullptr;
}
inline XMLTextNode* XMLNode::asText() {
  return isText() ? static_cast<XMLTextNode*>(this) : nullptr;
}
inline const XMLTextNode* XMLNode::asText() const {
  return isText() ? static_cast<const XMLTextNode*>(this) : nullptr;
}

}  // namespace vozo
