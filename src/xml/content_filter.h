#pragma once
// A document's say in what the parser may leave out of the tree.
//
// Large inputs are mostly content that the document's readers never look at
// (the registers and bit fields of a memory map, when only its segments
// make the script). Building nodes for that content costs most of a parse.
// A filter lets the parser read such content with a light scanner that
// checks the markup and makes no nodes: the element whose content is left
// out stays in the tree, childless.
//
// The parser only takes the light path where the result cannot differ from
// a full parse but for the missing nodes: every descendant is an element in
// the plain form (start tags with quoted attribute values free of "&" and
// "$", so nothing to decode and nothing a preprocessor expands; end tags that
// match; no comments, declarations or CDATA sections; any text between
// tags, which a document that keeps no character data drops anyway). Where
// the scanner meets anything else, or the filter turns a descendant down,
// the parser reads the content again the ordinary way. The filter itself
// judges whether the missing nodes matter to its document.

#include <span>
#include <string_view>

#include "xml/xml_node.h"

namespace vozo {

class ContentFilter {
 public:
  virtual ~ContentFilter() = default;

  // Whether the content of `element` (its start tag just read, not
  // self-closing) may be left out; `enclosing` are its open ancestors, the
  // outermost first.
  virtual bool mayLeaveOut(const XMLElement& element,
                           std::span<XMLElement* const> enclosing) = 0;

  // Called for each descendant in document order, once its start tag is
  // read; `attributes` are in the order written, a repeated name included.
  // `namesAsBefore` tells that the last descendant with the same tag name
  // since mayLeaveOut had the same attribute names in the same order, so
  // that what the filter learnt from those names holds again. False keeps
  // the whole content.
  virtual bool acceptDescendant(std::string_view tagName,
                                std::span<const XMLAttribute> attributes,
                                bool namesAsBefore) = 0;

  // The content of `element` has been left out: every descendant was
  // accepted since the matching mayLeaveOut.
  virtual void leftOut(XMLElement& element) = 0;
};

}  // namespace vozo
