#pragma once
// The preprocessing document: after a file is parsed, a walk over its tree
// carries out the directive elements (if, ifnot, ifdef, ifndef, ifex,
// switch, include, define, for, foreach, xmldef, xmlput) and expands $(NAME)
// references in attribute values. A file that uses no directive passes
// through unchanged. Nothing the walk meets stops it: problems are handed to
// warning() and processing goes on.

#include <map>
#include <string>
#include <string_view>

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

  const MacroTable& macroTable() const { return macroTable_; }

 private:
  const MacroTable& macroTable_;
  std::map<std::string, XMLElement*, std::less<>> xmldefs_;
};

}  // namespace vozo
