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
//   - every `start` and RegisterGroup `size` text of the descendants that
//     the address evaluation would hand to the expression parser evaluates.
//     Those texts are evaluated while the content is read, without any
//     effect on the parser, and their length is spent when the addresses
//     are evaluated, at the holding element: the bound on expression text is
//     reached where it was reached before, and no failure goes uncounted.

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "expr/simple_expression_parser.h"
#include "memory/element_kind.h"
#include "xml/content_filter.h"

namespace vozo {

class MemoryMapElement;

// Checks that read every element (the input checks) and can still do
// without the nodes of left-out content: they judge each descendant as it
// is read, from its tag and attributes, and a descendant they would report
// on keeps the content in the tree, where they report it as usual.
class LeftOutContentCheck {
 public:
  virtual ~LeftOutContentCheck() = default;
  // A new attempt begins: what accept() took since the last one is void.
  virtual void restart() = 0;
  // True when the checks find nothing to report on this element;
  // `namesAsBefore` as for ContentFilter::acceptDescendant.
  virtual bool accept(ElementKind kind, std::string_view tagName,
                      std::span<const XMLAttribute> attributes, bool namesAsBefore) = 0;
  // The elements accepted since restart() are the content left out below
  // `holder`.
  virtual void leftOut(const MemoryMapElement& holder) = 0;
};

class RegisterFilter : public ContentFilter {
 public:
  // `parser` is the document's address parser (not owned).
  explicit RegisterFilter(SimpleExpressionParser& parser) : parser_(parser) {}

  bool mayLeaveOut(const XMLElement& element, std::span<XMLElement* const> enclosing) override;
  bool acceptDescendant(std::string_view tagName, std::span<const XMLAttribute> attributes,
                        bool namesAsBefore) override;
  void leftOut(XMLElement& element) override;

  // Asks `check` (not owned; null for none) about every descendant too.
  void setCheck(LeftOutContentCheck* check) { check_ = check; }
  bool hasCheck() const { return check_ != nullptr; }

 private:
  // Takes the text that evaluating `text` hands to the parser, if any.
  bool acceptEvaluated(std::string_view text);
  bool enclosingFits(std::span<XMLElement* const> enclosing);

  SimpleExpressionParser& parser_;
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
  // Texts found to evaluate (evaluation with one parser always gives the
  // same result), as many as the parser remembers failures.
  static constexpr size_t kRememberedTexts = 4096;
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  std::unordered_set<std::string, TextHash, std::equal_to<>> evaluating_;
};

}  // namespace vozo
