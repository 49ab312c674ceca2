#pragma once
// The built-in macro table as the XML layer sees it.
//
// The concrete table (the seventeen built-in names, their descriptions and the
// computed date and time values) lives with the command-line tool; the XML
// layer only needs to look names up and to ask for computed values, so it
// depends on this interface and not on the tool.

#include <string>
#include <string_view>

namespace vozo {

class MacroTable {
 public:
  virtual ~MacroTable() = default;

  // The stored value of a built-in name, or null when the table has no such
  // entry. Names are case-sensitive.
  virtual const std::string* find(std::string_view name) const = 0;

  // For the nine date and time names, sets `result` to the value computed now
  // from the host clock and returns true; returns false for every other name.
  // Macro expansion calls this for every name it has found in any map it
  // searched, before it takes the stored value.
  virtual bool computedValue(std::string_view name, std::string& result) const = 0;

  // The character that starts a macro reference: "$".
  char macroCharacter() const { return '$'; }
};

}  // namespace vozo
