#pragma once
// The preprocessor's walk over a document (XMLPP2), shared by the files that
// implement its directives: xmlpp2.cpp (the walk, conditions, includes) and
// xmlpp2_loops.cpp (define, for, foreach, xmldef, xmlput).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "expr/simple_expression_parser.h"
#include "xml/macro_map.h"
#include "xml/preprocess_support.h"
#include "xml/xml_node.h"
#include "xml/xmlpp2.h"

namespace vozo {

// One file of the chain of files being walked: the file itself, the file
// that included it, and so on up to the file the walk started with.
struct SourceFile {
  std::string path;  // as given: the base of relative include names
  // The same for every spelling of the path. Resolving it takes system
  // calls, so a file that includes nothing never has it resolved.
  mutable std::optional<std::string> identity;
  std::shared_ptr<const SourceFile> includer;
  int depth = 0;
  // The macro map and expansion switch that the file's contents are walked
  // with.
  MacroMap macros;
  bool expandMacros = false;

  const std::string& resolvedIdentity() const {
    if (!identity) identity = fileIdentity(path);
    return *identity;
  }
};

// The walk over a sibling list and everything below it. Nesting is kept on
// an explicit stack of frames, one per sibling list being walked, so that
// the depth of a document costs heap memory, not call stack.
//
// Where a directive is the root of a tree (it has no parent; the document's
// root or a detached element handed to processConditionals), it cannot be
// spliced, dropped or replaced without leaving the document without a
// single root: every directive except `include` is then kept as an ordinary
// element (its children are walked). An `include` at the root is replaced
// by the included root, which is never dissolved: `no_root` is ignored
// there, and a root named "envelope" stays.
class XMLPP2Walk {
 public:
  XMLPP2Walk(XMLPP2& document) : document_(document), parser_(document.expressionParser_) {}

  void run(XMLNode* first, std::shared_ptr<const SourceFile> source, MacroMap macros,
           bool expandMacros);

 private:
  // What happens when a frame's sibling list is finished.
  enum class After : uint8_t {
    Nothing,
    Include,  // inherit_attributes onto the included root (holder), maybe dissolve it
    Xmlput,   // move the copy's (holder's) children after directive, remove directive
  };

  struct Frame {
    XMLNode* next;
    std::shared_ptr<const SourceFile> source;
    MacroMap macros;
    bool expandMacros;
    After after = After::Nothing;
    XMLElement* directive = nullptr;
    XMLElement* holder = nullptr;
    bool dissolve = false;
    // The node after the frame's range when it walks a part of a list
    // (spliced contents); null when it walks to the end of the list.
    XMLNode* stop = nullptr;
  };

  Frame& top() { return stack_.back(); }
  void warning(std::string_view text);
  void process(XMLElement& element);
  void finish(Frame& frame);

  // Outcomes.
  void keep(XMLElement& element);
  void splice(XMLElement& directive, XMLElement& holder);
  void drop(XMLElement& directive);
  // Pushes a frame over `holder`'s children that ends with `after`.
  void walkChildren(XMLElement& holder, After after, XMLElement* directive, MacroMap macros,
                    bool expandMacros, std::shared_ptr<const SourceFile> source,
                    bool dissolve = false);

  // Directives.
  void conditionList(XMLElement& element, bool wanted);
  void conditionDefined(XMLElement& element, bool wanted);
  void conditionExpression(XMLElement& element);
  void switchCase(XMLElement& element);
  void include(XMLElement& element);
  void includeFailed(XMLElement& element);
  void define(XMLElement& element);
  void forLoop(XMLElement& element);
  void foreachLoop(XMLElement& element);
  void xmldef(XMLElement& element);
  void xmlput(XMLElement& element);

  // The map and the expansion switch for the contents of an include or
  // xmlput element (its `macros` and `expand_macros` attributes).
  void contentsMap(const XMLElement& element, MacroMap& macros, bool& expandMacros, bool& extended);
  // Puts clones of the element children of `loop`, expanded with `macros`,
  // after `last`; `last` becomes the last node put in.
  void putClones(XMLElement& loop, const MacroMap& macros, XMLNode*& last);
  // Ends a loop: the walk goes on with the first clone, the loop leaves.
  void replaceLoop(XMLElement& loop);

  std::string expanded(std::string_view text, const MacroMap& macros);

  XMLPP2& document_;
  SimpleExpressionParser& parser_;
  std::vector<Frame> stack_;
  // xmlput copies being walked, one inside the other.
  int xmlputNesting_ = 0;
  // The element being processed: where a warning points.
  const XMLElement* current_ = nullptr;
};

}  // namespace vozo
