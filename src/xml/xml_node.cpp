#include "xml/xml_node.h"

#include <algorithm>

#include "xml/same_bytes.h"
#include "xml/xml_document.h"

namespace vozo {

// ---- Child list ----

XMLElement* XMLNode::firstChildElement() const {
  XMLNode* child = firstChild_;
  while (child && !child->isElement()) child = child->nextSibling_;
  return static_cast<XMLElement*>(child);
}

XMLElement* XMLNode::nextSiblingElement() const {
  XMLNode* sibling = nextSibling_;
  while (sibling && !sibling->isElement()) sibling = sibling->nextSibling_;
  return static_cast<XMLElement*>(sibling);
}

bool XMLNode::isLinkedChild(const XMLNode* child) const {
  if (!child || child->parent_ != this) return false;
  return child->previousSibling_ ? child->previousSibling_->nextSibling_ == child
                                 : firstChild_ == child;
}

void XMLNode::appendChild(XMLNode* child) {
  child->parent_ = this;
  child->nextSibling_ = nullptr;
  child->previousSibling_ = lastChild_;
  if (lastChild_) {
    lastChild_->nextSibling_ = child;
  } else {
    firstChild_ = child;
  }
  lastChild_ = child;
}

void XMLNode::prependChild(XMLNode* child) {
  child->parent_ = this;
  child->nextSibling_ = firstChild_;
  child->previousSibling_ = nullptr;
  if (firstChild_) {
    firstChild_->previousSibling_ = child;
  } else {
    lastChild_ = child;
  }
  firstChild_ = child;
}

bool XMLNode::removeChild(XMLNode* child) {
  if (!isLinkedChild(child)) return false;
  XMLNode* previous = child->previousSibling_;
  XMLNode* next = child->nextSibling_;
  if (previous) {
    previous->nextSibling_ = next;
  } else {
    firstChild_ = next;
  }
  if (next) {
    next->previousSibling_ = previous;
  } else {
    lastChild_ = previous;
  }
  child->previousSibling_ = nullptr;
  return true;
}

bool XMLNode::replaceChild(XMLNode* oldChild, XMLNode* newChild) {
  if (oldChild == newChild) return isLinkedChild(oldChild);
  if (!isLinkedChild(oldChild)) return false;
  XMLNode* previous = oldChild->previousSibling_;
  XMLNode* next = oldChild->nextSibling_;
  newChild->parent_ = this;
  newChild->nextSibling_ = next;
  newChild->previousSibling_ = previous;
  if (previous) {
    previous->nextSibling_ = newChild;
  } else {
    firstChild_ = newChild;
  }
  if (next) {
    next->previousSibling_ = newChild;
  } else {
    lastChild_ = newChild;
  }
  oldChild->previousSibling_ = nullptr;
  return true;
}

void XMLNode::insertAfter(XMLNode* reference, XMLNode* chain) {
  if (!chain) return;
  // The chain's head may still carry a link into the list it came from.
  chain->previousSibling_ = nullptr;
  XMLNode* chainLast = chain;
  for (;;) {
    chainLast->parent_ = this;
    XMLNode* next = chainLast->nextSibling_;
    if (!next) break;
    next->previousSibling_ = chainLast;
    chainLast = next;
  }
  if (!firstChild_) {
    firstChild_ = chain;
    lastChild_ = chainLast;
    return;
  }
  XMLNode* successor = reference ? reference->nextSibling_ : firstChild_;
  chain->previousSibling_ = reference;
  chainLast->nextSibling_ = successor;
  if (reference) {
    reference->nextSibling_ = chain;
  } else {
    firstChild_ = chain;
  }
  if (successor) {
    successor->previousSibling_ = chainLast;
  } else {
    lastChild_ = chainLast;
  }
}

const XMLNode* nextInDocumentOrder(const XMLNode* node, const XMLNode* subtreeRoot) {
  if (node->firstChild()) return node->firstChild();
  while (node != subtreeRoot) {
    if (node->nextSibling()) return node->nextSibling();
    node = node->parent();
    if (!node) break;
  }
  return nullptr;
}

// ---- Element ----

XMLElement::XMLElement(XMLDocument& document, std::string_view tagName)
    : XMLNode(document, XMLNodeType::Element), tagName_(document.keepString(tagName)) {}

void XMLElement::setTagName(std::string_view name) {
  tagName_ = document().arena().copy(name);
}

namespace {

// First attribute whose name is not less than `name` (byte-wise order; the
// char traits compare as unsigned char, like strcmp).
XMLAttribute* lowerBound(XMLAttribute* first, XMLAttribute* last, std::string_view name) {
  return std::lower_bound(first, last, name,
                          [](const XMLAttribute& a, std::string_view n) { return a.name < n; });
}

}  // namespace

const XMLAttribute* XMLElement::find(std::string_view name) const {
  XMLAttribute* end = attributes_ + attributeCount_;
  if (attributeCount_ <= 8) {
    // The usual handful of attributes: a scan that rejects on length costs
    // less than a binary search, each of whose steps is a full comparison.
    for (XMLAttribute* attribute = attributes_; attribute != end; ++attribute) {
      if (sameName(attribute->name, name)) return attribute;
    }
    return nullptr;
  }
  XMLAttribute* found = lowerBound(attributes_, end, name);
  return found != end && found->name == name ? found : nullptr;
}

void XMLElement::setAttribute(std::string_view name, std::string_view value) {
  XMLAttribute* end = attributes_ + attributeCount_;
  XMLAttribute* position = lowerBound(attributes_, end, name);
  if (position != end && position->name == name) {
    if (position->value != value) position->value = document().arena().copy(value);
    return;
  }
  Arena& arena = document().arena();
  XMLAttribute inserted{arena.copy(name), arena.copy(value)};
  size_t index = position - attributes_;
  if (attributeCount_ == attributeCapacity_) {
    // The old array stays in the arena; growth is geometric, so the waste is
    // bounded by the final size.
    uint32_t capacity = attributeCapacity_ ? attributeCapacity_ * 2 : 4;
    XMLAttribute* grown = arena.allocateArray<XMLAttribute>(capacity);
    std::copy(attributes_, attributes_ + index, grown);
    std::copy(attributes_ + index, attributes_ + attributeCount_, grown + index + 1);
    attributes_ = grown;
    attributeCapacity_ = capacity;
  } else {
    std::copy_backward(attributes_ + index, attributes_ + attributeCount_,
                       attributes_ + attributeCount_ + 1);
  }
  attributes_[index] = inserted;
  ++attributeCount_;
}

bool XMLElement::removeAttribute(std::string_view name) {
  const XMLAttribute* found = find(name);
  if (!found) return false;
  XMLAttribute* position = attributes_ + (found - attributes_);
  std::copy(position + 1, attributes_ + attributeCount_, position);
  --attributeCount_;
  return true;
}

std::optional<std::string_view> XMLElement::attribute(std::string_view name) const {
  const XMLAttribute* found = find(name);
  if (!found) return std::nullopt;
  return found->value;
}

bool XMLElement::getAttribute(std::string_view name, std::string_view& out) const {
  const XMLAttribute* found = find(name);
  if (!found) return false;
  out = found->value;
  return true;
}

bool XMLElement::getAttribute(std::string_view name, std::string& out) const {
  const XMLAttribute* found = find(name);
  if (!found) return false;
  out.assign(found->value);
  return true;
}

void XMLElement::adoptAttributes(XMLAttribute* attributes, uint32_t count) {
  attributes_ = attributes;
  attributeCount_ = count;
  attributeCapacity_ = count;
}

// ---- Character data ----

XMLTextNode::XMLTextNode(XMLDocument& document, XMLNodeType type, std::string_view text)
    : XMLNode(document, type), text_(document.keepString(text)) {}

void XMLTextNode::setText(std::string_view text) {
  text_ = document().arena().copy(text);
}

}  // namespace vozo
