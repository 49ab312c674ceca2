// The directives' behaviour is pinned end to end by the golden cases
// pp_directive_table and pp_directives; what stays here is the expansion
// interface other code calls directly.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "xml/macro_map.h"
#include "xml/xml_writer.h"
#include "xml/xmlpp2.h"
#include "xml/xmlpp2_test_support.h"

namespace vozo {
namespace {

// The writer quotes attribute values with '"'; the expected texts use "'".
std::string singleQuoted(std::string text) {
  std::replace(text.begin(), text.end(), '"', '\'');
  return text;
}

TEST(XMLPP2Expansion, AttributesAndClones) {
  testing_support::FixedMacroTable table;
  testing_support::RecordingPP document(table);
  document.parse("<r b='$(A)' a='plain' c='$(HostOS)'><x d='$(A)'/><![CDATA[c]]></r>");
  MacroMap macros = macroMapFromDefinitionText("A=1");
  XMLElement* clone = document.cloneExpanded(*document.root(), macros);
  EXPECT_EQ(singleQuoted(toXmlText(*clone)), "<r a='plain' b='1' c='$(HostOS)'><x d='1'/></r>");
  EXPECT_EQ(clone->parent(), nullptr);
  document.expandAttributes(*document.root(), macros);
  EXPECT_EQ(singleQuoted(toXmlText(*document.root())),
            "<r a='plain' b='1' c='$(HostOS)'><x d='$(A)'/><![CDATA[c]]></r>");
  // The caller can switch expansion off for the whole walk.
  EXPECT_EQ(singleQuoted(testing_support::walkSnippet("<r><E a='$(A)'/></r>", "A=1", false).xml),
            "<r><E a='$(A)'/></r>");
}

}  // namespace
}  // namespace vozo
