#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "xml/macro_map.h"
#include "xml/xml_writer.h"
#include "xml/xmlpp2.h"
#include "xml/xmlpp2_test_support.h"

namespace vozo {
namespace {

using testing_support::kWarn;
using testing_support::walkSnippet;

// Inputs and expected texts quote attribute values with "'"; the writer
// uses '"'.
struct Case {
  const char* name;
  const char* xml;
  const char* definitions;
  std::string expected;
  std::vector<std::string> warnings = {};
};

std::string singleQuoted(std::string text) {
  std::replace(text.begin(), text.end(), '"', '\'');
  return text;
}

void runCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    testing_support::WalkResult result = walkSnippet(c.xml, c.definitions);
    EXPECT_EQ(singleQuoted(result.xml), c.expected) << c.name;
    EXPECT_EQ(result.warnings, c.warnings) << c.name;
  }
}

TEST(XMLPP2Conditions, KeepOrDropContents) {
  const std::string oneCondition = kWarn + "one condition required for <if[not]>";
  const char* sw =
      "<r><switch name='B'><case value='a,b'><A/></case><X/><default><D1/></default>"
      "<case value='b'><B/></case><![CDATA[c]]><default><D2/></default></switch><E/></r>";
  runCases({
      {"if and ifnot",
       "<r><if A='x,y'><T/><T2/></if><if B='x'><F/></if><if U='x'><U/></if>"
       "<ifnot A='x'><N/></ifnot><ifnot A='y'><M/></ifnot><C/></r>",
       "A=y;B=z", "<r><T/><T2/><N/><C/></r>"},
      {"no empty item, no trimming", "<r><if E=','><A/></if><if C='m3, m4'><B/></if></r>",
       "E=;C=m4", "<r/>"},
      {"not one condition",
       "<r><if A='1' B='2'><E/></if><ifnot/></r>",
       "A=1",
       "<r><if A='1' B='2'><E/></if><ifnot/></r>",
       {oneCondition, oneCondition}},
      {"ifdef and ifndef see the map, not the macro table",
       "<r><ifdef name='X'><A/></ifdef><ifndef name='X'><B/></ifndef>"
       "<ifndef name='Y'><C/></ifndef><ifdef name='HostOS'><D/></ifdef></r>",
       "X=", "<r><A/><C/></r>"},
      {"ifex",
       "<r><ifex expression='$(N) == 3'><A/></ifex><ifex expression='$(N) == 4'><B/></ifex>"
       "<ifex expression='1'><C/></ifex><ifex expression='$(U) =='><D/></ifex></r>",
       "N=3", "<r><A/></r>"},
      {"ifex without expression kept", "<r><ifex expression=''><A/></ifex></r>", "",
       "<r><ifex expression=''><A/></ifex></r>"},
      {"contents walked, cdata passed over",
       "<r><![CDATA[x]]><if A='1'><![CDATA[y]]><if B='2'><X v='$(A)'/></if></if></r>", "A=1;B=2",
       "<r><![CDATA[x]]><![CDATA[y]]><X v='1'/></r>"},
      {"directive as root kept", "<if A='1'><E/></if>", "A=2", "<if A='1'><E/></if>"},
      {"switch first matching case", sw, "B=b", "<r><A/><E/></r>"},
      {"switch last default", sw, "B=z", "<r><D2/><E/></r>"},
      {"switch empty value uses default", sw, "B=", "<r><D2/><E/></r>"},
      {"switch nothing selected", "<r><switch name='B'><case value='a'><A/></case></switch></r>",
       "", "<r/>"},
      {"switch selected contents walked",
       "<r><switch name='B'><case value='b'><if B='b'><A v='$(B)'/></if></case>"
       "</switch></r>",
       "B=b", "<r><A v='b'/></r>"},
  });
}

TEST(XMLPP2Define, ScopeValuesAndExpansionSwitch) {
  runCases({
      {"value, expression, hex expression, 32-bit result, failure",
       "<r><define name='V' value='1'/><define name='N' expression='10+$(S)'/>"
       "<define name='H' hex_expression='10+6'/><define name='K' hex_expression='0xfe+1'/>"
       "<define name='Z' hex_expression='0'/><define name='W' expression='0x100000001'/>"
       "<define name='F' expression='1+'/><E a='$(V) $(N) $(H) $(K) $(Z) $(W) $(F)'/></r>",
       "S=6", "<r><E a='1 16 0x10 0xFF 0x0 1 $(F)'/></r>"},
      {"scope ends with the if",
       "<r><if A='1'><define name='X' value='1'/><E a='$(X)'/></if><F a='$(X)'/></r>", "A=1",
       "<r><E a='1'/><F a='$(X)'/></r>"},
      {"value kept unexpanded until use",
       "<r><define name='X' value='$$(Y)'/><define name='Y' value='2'/><E a='$(X)'/></r>", "",
       "<r><E a='2'/></r>"},
      {"expansion off and on",
       "<r><define name='Y' value='1' expand_macros='No'/><E a='$(X)'/>"
       "<define name='Z' value='1' expand_macros='Yes'/><F a='$(X)'/></r>",
       "X=7", "<r><E a='$(X)'/><F a='7'/></r>"},
      {"missing name still switches expansion",
       "<r><define value='1' expand_macros='no'/><E a='$(X)'/><define name='X'/></r>",
       "X=1",
       "<r><E a='$(X)'/></r>",
       {kWarn + "missing name in <define>", kWarn + "missing value or expression in <define>"}},
  });
}

TEST(XMLPP2Loops, For) {
  const std::string usage = kWarn + "<for index=\"i\" start=\"0\" end=\"32\" incr=\"1\">";
  runCases({
      {"alpha hex ap",
       "<r><for index='k' start='9' end='12' incr='2' sub='1'>"
       "<E a='$(k_alpha)$(k_hex)/$(k_ap)'/></for></r>",
       "", "<r><E a='J0x9/8'/><E a='L0xB/10'/></r>"},
      {"several children, walked after",
       "<r><for index='i' start='0' end='2' incr='1'><A v='$(i)'/>"
       "<if X='1'><B v='$(i)$(X)'/></if></for><C/></r>",
       "X=1", "<r><A v='0'/><B v='01'/><A v='1'/><B v='11'/><C/></r>"},
      {"empty range, missing incr, no children, incr zero",
       "<r><for index='i' start='0' end='0' incr='1'><E/></for>"
       "<for index='i' start='0' end='2'><E/></for>"
       "<for index='i' start='0' end='2' incr='1'/>"
       "<for index='i' start='0' end='2' incr='0'><E/></for></r>",
       "",
       "<r/>",
       {usage, usage, usage}},
      {"wrapping",
       "<r><for index='i' start='0xFFFFFFFE' end='0xFFFFFFFF' incr='1' "
       "add='2'><E a='$(i_ap)'/></for></r>",
       "", "<r><E a='0'/></r>"},
      {"start not expanded: fails to 0",
       "<r><for index='i' start='$(S)' end='1' incr='1'><E/></for></r>", "", "<r><E/></r>"},
  });
}

TEST(XMLPP2Loops, Foreach) {
  runCases({
      {"product and count",
       "<r><foreach a='1,2' b='x,y'><E v='$(a)$(b)' n='$(FOREACH_COUNT)'/></foreach></r>", "",
       "<r><E n='0' v='1x'/><E n='1' v='1y'/><E n='2' v='2x'/><E n='3' "
       "v='2y'/></r>"},
      {"exclusions apply to later names only",
       "<r><foreach port='a,b,c' PORT='b' exclude_entries='b,z'><P n='$(PORT)$(port)'/>"
       "</foreach></r>",
       "",
       "<r><P n='ba'/><P n='bc'/></r>",
       {kWarn + "exclude_entries cannot find entry named z"}},
      {"wildcards: inside, sets, case, backslash",
       "<r><foreach v='abc,xbz,q,W,w,a\\b,ab' exclude_wildcard='b?,[w],a\\b'>"
       "<P n='$(v)'/></foreach></r>",
       "", "<r><P n='q'/><P n='W'/><P n='ab'/></r>"},
      {"split by, an empty one does not split",
       "<r><foreach v='a;b,c' split_by=';'><P n='$(v)'/></foreach>"
       "<foreach w='a,b' split_by=''><Q n='$(w)'/></foreach></r>",
       "", "<r><P n='a'/><P n='b,c'/><Q n='a,b'/></r>"},
      {"line breaks removed", "<r><foreach v='a,&#10;b&#13;'><P n='$(v)'/></foreach></r>", "",
       "<r><P n='a'/><P n='b'/></r>"},
      {"lists expanded on request",
       "<r><foreach v='$$(L)' expand_macros=''><P n='$(v)'/></foreach></r>", "L=1,2",
       "<r><P n='1'/><P n='2'/></r>"},
      {"empty list gives nothing, no variable one pass",
       "<r><foreach a='1' b=''><P/></foreach><foreach><Q "
       "n='$(FOREACH_COUNT)'/></foreach></r>",
       "", "<r><Q n='0'/></r>"},
      {"clones see only loop map", "<r><foreach v='1'><P n='$(v)$(X)'/></foreach></r>", "X=x",
       "<r><P n='1x'/></r>"},
  });
}

TEST(XMLPP2Fragments, XmldefAndXmlput) {
  runCases({
      {"put before def, later def replaces, no name kept",
       "<r><xmlput name='F'/><xmldef name='F'><A/></xmldef><xmldef name='F'><B/></xmldef>"
       "<xmlput name='F'/><xmldef><C/></xmldef><xmlput/></r>",
       "",
       "<r><xmlput name='F'/><B/><xmldef><C/></xmldef><xmlput/></r>",
       {kWarn + "xmlput cannot fine xmldef named F"}},
      {"fresh copy each time, own macros",
       "<r><xmldef name='F'><A v='$(X)'/><B/></xmldef><xmlput name='F'/><C/>"
       "<xmlput name='F' macros='X=2' expand_macros=''/></r>",
       "X=1", "<r><A v='1'/><B/><C/><A v='2'/><B/></r>"},
      {"macros without expansion ignored",
       "<r><define name='d' value='' expand_macros='No'/><xmldef name='F'><A v='$(X)'/></xmldef>"
       "<xmlput name='F' macros='X=2'/></r>",
       "X=1", "<r><A v='$(X)'/></r>"},
  });
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
  EXPECT_EQ(singleQuoted(walkSnippet("<r><E a='$(A)'/></r>", "A=1", false).xml),
            "<r><E a='$(A)'/></r>");
}

}  // namespace
}  // namespace vozo
