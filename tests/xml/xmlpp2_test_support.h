#pragma once
// A preprocessing document for tests: records warnings, runs the walk on a
// snippet and serialises the result.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_writer.h"
#include "xml/xmlpp2.h"

namespace vozo::testing_support {

inline const std::string kWarn = "XmlPP::processConditionals(): ";

class FixedMacroTable : public MacroTable {
 public:
  const std::string* find(std::string_view name) const override {
    auto it = values_.find(name);
    return it == values_.end() ? nullptr : &it->second;
  }
  bool computedValue(std::string_view, std::string&) const override { return false; }

 private:
  std::map<std::string, std::string, std::less<>> values_ = {{"HostOS", "linux"}, {"Micro", "ARM"}};
};

class RecordingPP : public XMLPP2 {
 public:
  explicit RecordingPP(const MacroTable& table) : XMLPP2(table) {}
  void warning(std::string_view text) override { warnings.emplace_back(text); }
  std::vector<std::string> warnings;
};

struct WalkResult {
  std::string xml;
  std::vector<std::string> warnings;
};

// Parses `xml`, walks it as the file "dir/test.xml" with `definitions`, and
// serialises the root ("" when there is none).
inline WalkResult walkSnippet(std::string_view xml, std::string_view definitions,
                              bool expandMacros = true) {
  FixedMacroTable table;
  RecordingPP document(table);
  document.parse(xml);
  document.processConditionals(document.root(), "dir/test.xml",
                               macroMapFromDefinitionText(definitions), expandMacros);
  return {document.root() ? toXmlText(*document.root()) : std::string(),
          std::move(document.warnings)};
}

}  // namespace vozo::testing_support
