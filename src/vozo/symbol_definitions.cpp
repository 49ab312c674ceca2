#include "vozo/symbol_definitions.h"

#include <string>

#include "linkscript/h_exception.h"
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

}  // namespace vozo
