#include <gtest/gtest.h>

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

struct Case {
  const char* name;
  const char* xml;
  const char* definitions;
  const char* expected;
  std::vector<std::string> warnings = {};
};

void runCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    testing_support::WalkResult result = walkSnippet(c.xml, c.definitions);
    EXPECT_EQ(result.xml, c.expected) << c.name;
    EXPECT_EQ(result.warnings, c.warnings) << c.name;
  }
}

TEST(XMLPP2Conditions, KeepOrDropContents) {
  runCases({
      {"if true", "<r><if CPU=\"m3,m4\"><A/><B/></if><C/></r>", "CPU=m4", "<r><A/><B/><C/></r>"},
      {"if false", "<r><if CPU=\"m3,m4\"><A/></if><C/></r>", "CPU=m0", "<r><C/></r>"},
      {"if undefined", "<r><if CPU=\"m3\"><A/></if></r>", "", "<r/>"},
      {"if empty value matches no empty item", "<r><if CPU=\",\"><A/></if></r>", "CPU=", "<r/>"},
      {"if no trimming", "<r><if CPU=\"m3, m4\"><A/></if></r>", "CPU=m4", "<r/>"},
      {"ifnot", "<r><ifnot CPU=\"m3,m4\"><A/></ifnot></r>", "CPU=m0", "<r><A/></r>"},
      {"ifnot false", "<r><ifnot CPU=\"m3,m4\"><A/></ifnot></r>", "CPU=m3", "<r/>"},
      {"if two conditions",
       "<r><if A=\"1\" B=\"2\"><E/></if></r>",
       "A=1",
       "<r><if A=\"1\" B=\"2\"><E/></if></r>",
       {kWarn + "one condition required for <if[not]>"}},
      {"ifnot no condition",
       "<r><ifnot><E/></ifnot></r>",
       "",
       "<r><ifnot><E/></ifnot></r>",
       {kWarn + "one condition required for <if[not]>"}},
      {"ifdef", "<r><ifdef name=\"X\"><A/></ifdef><ifndef name=\"X\"><B/></ifndef></r>",
       "X=", "<r><A/></r>"},
      {"ifndef", "<r><ifdef name=\"X\"><A/></ifdef><ifndef name=\"X\"><B/></ifndef></r>", "",
       "<r><B/></r>"},
      {"ifdef ignores macro table", "<r><ifdef name=\"HostOS\"><A/></ifdef></r>", "", "<r/>"},
      {"ifex true", "<r><ifex expression=\"$(N) == 3\"><A/></ifex></r>", "N=3", "<r><A/></r>"},
      {"ifex false", "<r><ifex expression=\"$(N) == 3\"><A/></ifex></r>", "N=4", "<r/>"},
      {"ifex numeric is no condition", "<r><ifex expression=\"1\"><A/></ifex></r>", "", "<r/>"},
      {"ifex failing", "<r><ifex expression=\"$(U) ==\"><A/></ifex></r>", "", "<r/>"},
      {"ifex empty kept", "<r><ifex expression=\"\"><A/></ifex></r>", "",
       "<r><ifex expression=\"\"><A/></ifex></r>"},
      {"nested conditions walked", "<r><if A=\"1\"><if B=\"2\"><X v=\"$(A)\"/></if></if></r>",
       "A=1;B=2", "<r><X v=\"1\"/></r>"},
      {"cdata passes", "<r><![CDATA[x]]><if A=\"1\"><![CDATA[y]]></if></r>", "A=1",
       "<r><![CDATA[x]]><![CDATA[y]]></r>"},
      {"root directive kept", "<if A=\"1\"><E/></if>", "A=2", "<if A=\"1\"><E/></if>"},
  });
}

TEST(XMLPP2Conditions, Switch) {
  const char* xml =
      "<r><switch name=\"B\"><case value=\"a,b\"><A/></case><X/><default><D1/></default>"
      "<case value=\"b\"><B/></case><default><D2/></default></switch><E/></r>";
  runCases({
      {"first matching case", xml, "B=b", "<r><A/><E/></r>"},
      {"last default", xml, "B=z", "<r><D2/><E/></r>"},
      {"undefined name uses default", xml, "", "<r><D2/><E/></r>"},
      {"empty value uses default", xml, "B=", "<r><D2/><E/></r>"},
      {"nothing selected", "<r><switch name=\"B\"><case value=\"a\"><A/></case></switch></r>",
       "B=b", "<r/>"},
      {"cdata among cases",
       "<r><switch name=\"B\"><![CDATA[c]]><case value=\"b\"><A/></case></switch></r>", "B=b",
       "<r><A/></r>"},
      {"selected contents walked",
       "<r><switch name=\"B\"><case value=\"b\"><if B=\"b\"><A "
       "v=\"$(B)\"/></if></case></switch></r>",
       "B=b", "<r><A v=\"b\"/></r>"},
  });
}

TEST(XMLPP2Define, ScopeValuesAndExpansionSwitch) {
  runCases({
      {"value", "<r><define name=\"X\" value=\"1\"/><E a=\"$(X)\"/></r>", "",
       "<r><E a=\"1\"/></r>"},
      {"scope ends with the if",
       "<r><if A=\"1\"><define name=\"X\" value=\"1\"/><E a=\"$(X)\"/></if><F a=\"$(X)\"/></r>",
       "A=1", "<r><E a=\"1\"/><F a=\"$(X)\"/></r>"},
      {"expression", "<r><define name=\"N\" expression=\"10+$(S)\"/><E a=\"$(N)\"/></r>", "S=6",
       "<r><E a=\"16\"/></r>"},
      {"hex expression", "<r><define name=\"N\" hex_expression=\"10+6\"/><E a=\"$(N)\"/></r>", "",
       "<r><E a=\"0x10\"/></r>"},
      {"hex zero", "<r><define name=\"N\" hex_expression=\"0\"/><E a=\"$(N)\"/></r>", "",
       "<r><E a=\"0x0\"/></r>"},
      {"32-bit result", "<r><define name=\"N\" expression=\"0x100000001\"/><E a=\"$(N)\"/></r>", "",
       "<r><E a=\"1\"/></r>"},
      {"failed expression defines nothing",
       "<r><define name=\"N\" expression=\"1+\"/><E a=\"$(N)\"/></r>", "",
       "<r><E a=\"$(N)\"/></r>"},
      {"value kept unexpanded until use",
       "<r><define name=\"X\" value=\"$$(Y)\"/><define name=\"Y\" value=\"2\"/><E a=\"$(X)\"/></r>",
       "", "<r><E a=\"2\"/></r>"},
      {"expansion off and on",
       "<r><define name=\"Y\" value=\"1\" expand_macros=\"No\"/><E a=\"$(X)\"/>"
       "<define name=\"Z\" value=\"1\" expand_macros=\"Yes\"/><F a=\"$(X)\"/></r>",
       "X=7", "<r><E a=\"$(X)\"/><F a=\"7\"/></r>"},
      {"missing name",
       "<r><define value=\"1\" expand_macros=\"no\"/><E a=\"$(X)\"/></r>",
       "X=1",
       "<r><E a=\"$(X)\"/></r>",
       {kWarn + "missing name in <define>"}},
      {"missing value",
       "<r><define name=\"X\"/></r>",
       "",
       "<r/>",
       {kWarn + "missing value or expression in <define>"}},
  });
}

TEST(XMLPP2Loops, For) {
  const std::string usage = kWarn + "<for index=\"i\" start=\"0\" end=\"32\" incr=\"1\">";
  runCases({
      {"address progression",
       "<r><for index=\"i\" start=\"0\" end=\"3\" incr=\"1\" add=\"0x100\" mul=\"0x10\">"
       "<Seg n=\"$(i)\" a=\"$(i_ap_hex)\"/></for></r>",
       "", "<r><Seg a=\"0x100\" n=\"0\"/><Seg a=\"0x110\" n=\"1\"/><Seg a=\"0x120\" n=\"2\"/></r>"},
      {"alpha hex ap",
       "<r><for index=\"k\" start=\"9\" end=\"12\" incr=\"2\" sub=\"1\">"
       "<E a=\"$(k_alpha)$(k_hex)/$(k_ap)\"/></for></r>",
       "", "<r><E a=\"J0x9/8\"/><E a=\"L0xB/10\"/></r>"},
      {"several children, walked after",
       "<r><for index=\"i\" start=\"0\" end=\"2\" incr=\"1\"><A v=\"$(i)\"/>"
       "<if X=\"1\"><B v=\"$(i)$(X)\"/></if></for><C/></r>",
       "X=1", "<r><A v=\"0\"/><B v=\"01\"/><A v=\"1\"/><B v=\"11\"/><C/></r>"},
      {"empty range", "<r><for index=\"i\" start=\"0\" end=\"0\" incr=\"1\"><E/></for></r>", "",
       "<r/>"},
      {"missing incr",
       "<r><for index=\"i\" start=\"0\" end=\"2\"><E/></for></r>",
       "",
       "<r/>",
       {usage}},
      {"no children",
       "<r><for index=\"i\" start=\"0\" end=\"2\" incr=\"1\"/></r>",
       "",
       "<r/>",
       {usage}},
      {"incr zero",
       "<r><for index=\"i\" start=\"0\" end=\"2\" incr=\"0\"><E/></for></r>",
       "",
       "<r/>",
       {usage}},
      {"wrapping",
       "<r><for index=\"i\" start=\"0xFFFFFFFE\" end=\"0xFFFFFFFF\" incr=\"1\" "
       "add=\"2\"><E a=\"$(i_ap)\"/></for></r>",
       "", "<r><E a=\"0\"/></r>"},
      {"start and end not expanded",
       "<r><for index=\"i\" start=\"$(S)\" end=\"1\" incr=\"1\">"
       "<E/></for></r>",
       "", "<r><E/></r>"},
  });
}

TEST(XMLPP2Loops, Foreach) {
  const std::string missingZ = kWarn + "exclude_entries cannot find entry named z";
  runCases({
      {"product and count",
       "<r><foreach a=\"1,2\" b=\"x,y\"><E v=\"$(a)$(b)\" n=\"$(FOREACH_COUNT)\"/></foreach></r>",
       "",
       "<r><E n=\"0\" v=\"1x\"/><E n=\"1\" v=\"1y\"/><E n=\"2\" v=\"2x\"/><E n=\"3\" "
       "v=\"2y\"/></r>"},
      {"exclusions",
       "<r><foreach port=\"a,b,c\" exclude_entries=\"b,z\"><P n=\"$(port)\"/></foreach></r>",
       "",
       "<r><P n=\"a\"/><P n=\"c\"/></r>",
       {missingZ}},
      {"exclusions only for later names",
       "<r><foreach PORT=\"a,b,c\" exclude_entries=\"b,z\"><P n=\"$(PORT)\"/></foreach></r>", "",
       "<r><P n=\"a\"/><P n=\"b\"/><P n=\"c\"/></r>"},
      {"wildcard inside",
       "<r><foreach v=\"abc,xbz,q\" exclude_wildcard=\"b?\"><P n=\"$(v)\"/></foreach></r>", "",
       "<r><P n=\"q\"/></r>"},
      {"wildcard case-sensitive",
       "<r><foreach v=\"A,a\" exclude_wildcard=\"[a]\"><P n=\"$(v)\"/></foreach></r>", "",
       "<r><P n=\"A\"/></r>"},
      {"split by", "<r><foreach v=\"a;b,c\" split_by=\";\"><P n=\"$(v)\"/></foreach></r>", "",
       "<r><P n=\"a\"/><P n=\"b,c\"/></r>"},
      {"line breaks removed", "<r><foreach v=\"a,&#10;b&#13;\"><P n=\"$(v)\"/></foreach></r>", "",
       "<r><P n=\"a\"/><P n=\"b\"/></r>"},
      {"lists expanded on request",
       "<r><foreach v=\"$$(L)\" expand_macros=\"\"><P n=\"$(v)\"/></foreach></r>", "L=1,2",
       "<r><P n=\"1\"/><P n=\"2\"/></r>"},
      {"empty list gives nothing", "<r><foreach a=\"1\" b=\"\"><P/></foreach></r>", "", "<r/>"},
      {"no variable gives one pass", "<r><foreach><P n=\"$(FOREACH_COUNT)\"/></foreach></r>", "",
       "<r><P n=\"0\"/></r>"},
      {"clones see only loop map", "<r><foreach v=\"1\"><P n=\"$(v)$(X)\"/></foreach></r>", "X=x",
       "<r><P n=\"1x\"/></r>"},
  });
}

TEST(XMLPP2Fragments, XmldefAndXmlput) {
  runCases({
      {"put before def",
       "<r><xmlput name=\"F\"/><xmldef name=\"F\"><A/></xmldef></r>",
       "",
       "<r><xmlput name=\"F\"/></r>",
       {kWarn + "xmlput cannot fine xmldef named F"}},
      {"fresh copy each time",
       "<r><xmldef name=\"F\"><A v=\"$(X)\"/><B/></xmldef><xmlput name=\"F\"/><C/>"
       "<xmlput name=\"F\" macros=\"X=2\" expand_macros=\"\"/></r>",
       "X=1", "<r><A v=\"1\"/><B/><C/><A v=\"2\"/><B/></r>"},
      {"later def replaces",
       "<r><xmldef name=\"F\"><A/></xmldef><xmldef name=\"F\"><B/></xmldef><xmlput "
       "name=\"F\"/></r>",
       "", "<r><B/></r>"},
      {"no name kept", "<r><xmldef><A/></xmldef><xmlput/></r>", "",
       "<r><xmldef><A/></xmldef><xmlput/></r>"},
      {"macros without expansion ignored",
       "<r><define name=\"d\" value=\"\" expand_macros=\"No\"/>"
       "<xmldef name=\"F\"><A v=\"$(X)\"/></xmldef>"
       "<xmlput name=\"F\" macros=\"X=2\"/></r>",
       "X=1", "<r><A v=\"$(X)\"/></r>"},
  });
}

TEST(XMLPP2Expansion, AttributesAndClones) {
  testing_support::FixedMacroTable table;
  testing_support::RecordingPP document(table);
  document.parse("<r b=\"$(A)\" a=\"plain\" c=\"$(HostOS)\"><x d=\"$(A)\"/><![CDATA[c]]></r>");
  MacroMap macros = macroMapFromDefinitionText("A=1");
  XMLElement* clone = document.cloneExpanded(*document.root(), macros);
  EXPECT_EQ(toXmlText(*clone), "<r a=\"plain\" b=\"1\" c=\"$(HostOS)\"><x d=\"1\"/></r>");
  EXPECT_EQ(clone->parent(), nullptr);
  document.expandAttributes(*document.root(), macros);
  EXPECT_EQ(toXmlText(*document.root()),
            "<r a=\"plain\" b=\"1\" c=\"$(HostOS)\"><x d=\"$(A)\"/><![CDATA[c]]></r>");
}

TEST(XMLPP2Expansion, SwitchedOffByCaller) {
  EXPECT_EQ(walkSnippet("<r><E a=\"$(A)\"/></r>", "A=1", false).xml, "<r><E a=\"$(A)\"/></r>");
  EXPECT_EQ(walkSnippet("<r><E a=\"$(A)\"/></r>", "A=1", true).xml, "<r><E a=\"1\"/></r>");
}

}  // namespace
}  // namespace vozo
