#pragma once
// What a memory map read for its segments can do without: the content of
// its register descriptions.
//
// The scripts are made from segments and sections only; registers, bit
// fields and enums are read by the input checks and nothing else. Most of a
// large memory map is such content, so a run without checks lets the parser
// leave it out (xml/content_filter.h): the element holding it stays in the
// tree, childless.
//
// Leaving out must not change anything a run shows, so content is only left
// out where the nodes could matter to nothing that follows:
//   - the holding element and all its ancestors are elements of the memory
//     description or preprocessor conditions (`if`, `ifnot`, `ifdef`,
//     `ifndef`, `ifex`), whose content is only moved up or dropped; no
//     other directive, which could copy or count the nodes, and no element
//     of an unknown tag;
//   - every descendant is a RegisterGroup, Register, BitField or Enum (the
//     writers look for segments and sections inside any element), or, in a
//     run without checks, a condition on macros (`if`, `ifnot`, `ifdef`,
//     `ifndef`): which register content such a condition keeps changes
//     nothing a run without checks shows;
//   - content held by a condition, or holding one, is taken only when no
//     descendant's text needs the expression parser: the condition decides
//     whether those texts would be evaluated, or leaves the tree itself;
//   - the `start` and RegisterGroup `size` texts of the descendants that
//     the address evaluation would hand to the expression parser are not
//     evaluated (without checks their values show nowhere, whether they
//     evaluate or not), but their length counts against the document's
//     expression text all the same: the holding element keeps it, and the
//     address evaluation spends it there, where the content stands, so the
//     bound trips on the same input whether content is left out or not (and
//     not at all for content that the preprocessor drops). Content with a
//     text that would pass a bound stays in the tree, where the evaluation
//     reports it.
//
// VOZO_KEEP_REGISTER_CONTENT=1 in the environment keeps all content in the
// tree (src/vozo/run_steps.cpp), to compare the two paths.

#include <array>
#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "expr/simple_expression_parser.h"
#include "memory/element_kind.h"
#include "xml/content_filter.h"

namespace vozo {

// Checks that read every element (the input checks) and can still do
// without the nodes of left-out content: they judge each descendant as it
// is read, from its tag and attributes, and a descendant they would report
// on keeps the content in the tree, where they report it as usual.
class LeftOutContentCheck {
 public:
  virtual ~LeftOutContentCheck() = default;
  // True when the checks find nothing to report on this element;
  // `namesAsBefore` as for ContentFilter::acceptDescendant.
  virtual bool accept(ElementKind kind, std::string_view tagName,
                      std::span<const XMLAttribute> attributes, bool namesAsBefore) = 0;
};

class RegisterFilter : public ContentFilter {
 public:
  bool mayLeaveOut(const XMLElement& element, std::span<XMLElement* const> enclosing) override;
  bool acceptDescendant(std::string_view tagName, std::span<const XMLAttribute> attributes,
                        bool namesAsBefore) override;
  void leftOut(XMLElement& element) override;

  // Asks `check` (not owned; null for none) about every descendant too.
  void setCheck(LeftOutContentCheck* check) { check_ = check; }
  bool hasCheck() const { return check_ != nullptr; }

 private:
  // Counts `text`, which the address evaluation would hand to the parser;
  // false when it is left to the tree.
  bool acceptEvaluated(std::string_view text);
  bool enclosingFits(std::span<XMLElement* const> enclosing);

  LeftOutContentCheck* check_ = nullptr;
  // The content of this attempt is held by a condition or holds one.
  bool conditional_ = false;
  // Where `start` and `size` stood among the attributes of the last
  // descendant of each kind (-1: not there).
  struct AttributePlaces {
    int start = -1;
    int size = -1;
  };
  std::array<AttributePlaces, static_cast<size_t>(ElementKind::Other) + 1> places_;
  // The open elements last found fit to enclose left-out content, outermost
  // first.
  std::vector<const XMLElement*> verified_;
  // Expression text of the descendants accepted since mayLeaveOut.
  size_t expressionBytes_ = 0;
};

}  // namespace vozo
