#include "vozo/symbol_definitions.h"

#include <string>

#include "check/finding.h"
#include "check/value_checks.h"
#include "expr/h_exception.h"
#include "xml/split_list.h"

namespace vozo {

void addSymbolDefinitions(SymbolDefinitions& symbols, std::string_view text) {
  for (const std::string& item : splitEscapedList(text, ';', '\\', false)) {
    std::vector<std::string_view> pieces = splitPlain(item, '=', false);
    if (pieces.size() < 2) {
      throw HException("symbol definition \"" + item + "\" must have the form NAME=VALUE");
    }
    symbols.insert_or_assign(std::string(pieces[0]), std::string(pieces[1]));
  }
}

void checkSymbolTexts(const std::vector<std::string>& texts, Findings& findings) {
  for (const std::string& text : texts) {
    for (const std::string& item : splitEscapedList(text, ';', '\\', false)) {
      std::vector<std::string_view> pieces = splitPlain(item, '=', false);
      if (pieces.size() < 2) continue;  // rejected when read
      const std::string name(pieces[0]);
      const std::string value(pieces[1]);
      const std::string symbol = "-symbols item \"" + item + "\"";
      if (pieces.size() > 2) {
        findings.add(symbol + " defines " + name + " as " + value + "; the text after its second "
                     "\"=\" is ignored");
      }
      if (char bad = firstBadNameCharacter(name, /*spacesReplaced=*/false)) {
        findings.add(symbol + ": the name " + name + " cannot stand in a linker script: " +
                     shownCharacter(bad) + " is not allowed (" + kSymbolRule + ")");
      }
      for (char c : value) {
        if (c == ';' || c == '"' || c == '\n' || c == '\r') {
          findings.add(symbol + ": the value " + value + " cannot stand in a linker script: " +
                       shownCharacter(c) + (c == ';' ? " ends the statement early" : " is not allowed"));
          break;
        }
      }
    }
  }
}

}  // namespace vozo
