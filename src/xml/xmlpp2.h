#pragma once
// The preprocessing document: after a file is parsed, a walk over its tree
// carries out the directive elements (if, ifnot, ifdef, ifndef, ifex,
// switch, include, define, for, foreach, xmldef, xmlput) and expands $(NAME)
// references in attribute values. A file that uses no directive passes
// through unchanged. Problems in the file are handed to warning() and
// processing goes on; only passing one of the resource limits below (or
// those of reading files, see xml_document.h) ends the walk, with an
// exception that names the limit.

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

#include "expr/simple_expression_parser.h"
#include "xml/macro_map.h"
#include "xml/macro_table.h"
#include "xml/xml_document.h"

namespace vozo {

class XMLPP2 : public QXMLDocument {
 public:
  // Bound to the macro table for its whole life (not owned); the table
  // expands the file names of `include` elements. Documents of this tool
  // keep no character data.
  explicit XMLPP2(const MacroTable& macroTable, bool keepCharacterData = false);

  // Loads `path`, builds the macro map from `macroDefinitions` (";"-separated
  // NAME=VALUE items with backslash escapes) and walks the root. False only
  // when the file cannot be loaded (the parser's message stays in the
  // document). The root may have changed afterwards (an `include` root).
  bool loadPreprocessed(const std::string& path, std::string_view macroDefinitions,
                        bool expandMacros);

  // The walk over the sibling list starting at `first`.
  void processConditionals(XMLNode* first, const std::string& sourcePath, MacroMap macros,
                           bool expandMacros);

  // Expands, with `macros` only, every attribute value that contains "$".
  void expandAttributes(XMLElement& element, const MacroMap& macros);

  // A copy of `element` and its element descendants with every attribute
  // value expanded with `macros`; not in any tree.
  XMLElement* cloneExpanded(const XMLElement& element, const MacroMap& macros);

  // Receives every message of the walk.
  virtual void warning(std::string_view text) = 0;
  // The same message with the element the walk was processing (null when
  // none); a document that keeps locations overrides this one.
  virtual void warningAt(std::string_view text, const XMLNode* where) {
    static_cast<void>(where);
    warning(text);
  }

  const MacroTable& macroTable() const { return macroTable_; }

  // Limits that keep a hostile file bounded. They hold per load
  // (loadPreprocessed resets them; a direct processConditionals call uses
  // what is left).
  //
  // Bytes of macro values and nested texts that all expansions of one load
  // may take together (each single expansion is limited on its own as well,
  // see macro_expand.h). Using it up ends the load: the walk throws
  // HException naming the limit.
  static constexpr size_t kMaxExpansionWorkPerLoad = size_t{64} << 20;
  // Elements that for, foreach and xmlput may create, and loop iterations
  // they may run, together, in one load. Passing it ends the load with
  // HException naming the limit.
  static constexpr size_t kMaxGeneratedElements = 2'000'000;
  // Tests of a foreach entry against an exclude_wildcard pattern (entries
  // times patterns), together, in one load; passing it ends the load with
  // HException naming the limit.
  static constexpr size_t kMaxWildcardTests = 10'000'000;
  // Copies of xmlput fragments walked one inside the other (a fragment that
  // puts itself); a deeper xmlput is kept as it is.
  static constexpr int kMaxXmlputNesting = 1000;
  // Nesting of include files and include elements read per load. A file
  // may include itself, directly or through others, as long as its macro map
  // or expansion switch differs from the enclosing level's; entering it
  // again unchanged would repeat that level forever and is refused at once.
  static constexpr int kMaxIncludeDepth = 64;
  static constexpr size_t kMaxIncludeFiles = 10'000;

  // Replaces kMaxGeneratedElements from the next load on (and for the rest
  // of the current one); for callers that want a tighter bound.
  void setGeneratedElementLimit(size_t limit) { generatedBudget_ = generatedLimit_ = limit; }

 private:
  friend class XMLPP2Walk;

  // Expands `text` drawing on the load's expansion budget; the same contract
  // as expandInto (false and `out` untouched when the text has no "$").
  bool expandText(std::string_view text, const MacroMap& macros, bool useMacroTable,
                  std::string& out);
  // Takes `count` from the budget of generated elements (only checks that
  // it is there, without `take`); throws when it is not.
  void spendGenerated(size_t count, bool take = true);
  void spendWildcardTests(size_t count);
  void resetLimits();

  const MacroTable& macroTable_;
  // Evaluates conditions and loop bounds of every load of the document, so
  // that its bound on expression text holds for the document as a whole.
  SimpleExpressionParser expressionParser_;
  std::map<std::string, XMLElement*, std::less<>> xmldefs_;
  size_t expansionBudget_ = kMaxExpansionWorkPerLoad;
  size_t generatedLimit_ = kMaxGeneratedElements;
  size_t generatedBudget_ = kMaxGeneratedElements;
  size_t includeFilesLeft_ = kMaxIncludeFiles;
  size_t wildcardTestsLeft_ = kMaxWildcardTests;
};

}  // namespace vozo
