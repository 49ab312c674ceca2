#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "xml/xml_writer.h"
#include "xml/xmlpp2.h"
#include "xml/xmlpp2_test_support.h"

namespace vozo {
namespace {

using testing_support::kWarn;

class XMLPP2Include : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/xmlpp2_include_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void write(const std::string& name, const std::string& text) {
    std::filesystem::path path = dir_ + "/" + name;
    std::filesystem::create_directories(path.parent_path());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }

  // Loads `name` from the directory and returns the serialised root.
  std::string load(const std::string& name, const char* definitions = "") {
    EXPECT_TRUE(document_.loadPreprocessed(dir_ + "/" + name, definitions, true));
    return document_.root() ? toXmlText(*document_.root()) : std::string();
  }

  std::string dir_;
  testing_support::FixedMacroTable table_;
  testing_support::RecordingPP document_{table_};
};

TEST_F(XMLPP2Include, NestedFilesResolveAgainstTheirOwnDirectory) {
  write("main.xml", "<r><include filename=\"sub/a.xml\"/><E/></r>");
  write("sub/a.xml", "<A x=\"$(M)\"><include filename=\"b.xml\"/></A>");
  write("sub/b.xml", "<B y=\"$(M)\"/>");
  EXPECT_EQ(load("main.xml", "M=1"), "<r><A x=\"1\"><B y=\"1\"/></A><E/></r>");
  EXPECT_TRUE(document_.warnings.empty());
}

TEST_F(XMLPP2Include, EnvelopeNoRootAndMacroTableNames) {
  write("main.xml",
        "<r><include filename=\"env.xml\"/><include filename=\"$(HostOS).xml\" no_root=\"\"/>"
        "<include filename=\"$(HostOS).xml\"/><E/></r>");
  write("env.xml", "<envelope><X/><if M=\"1\"><Y/></if></envelope>");
  write("linux.xml", "<L><P/><Q/></L>");
  EXPECT_EQ(load("main.xml", "M=1"), "<r><X/><Y/><P/><Q/><L><P/><Q/></L><E/></r>");
}

TEST_F(XMLPP2Include, MacrosAndInheritedAttributes) {
  write("main.xml",
        "<r><include filename=\"a.xml\" macros=\"M=5;&#10;N=x\\;y\" name=\"n1\" "
        "inherit_attributes=\"name;;absent\"/><F v=\"$(M)\"/></r>");
  write("a.xml", "<A m=\"$(M)\" n=\"$(N)\"><C m=\"$(M)\"/></A>");
  EXPECT_EQ(load("main.xml", "M=1"),
            "<r><A m=\"5\" n=\"x;y\" name=\"n1\"><C m=\"5\"/></A><F v=\"1\"/></r>");
}

TEST_F(XMLPP2Include, FailuresKeepTheIncludeOrItsChildren) {
  write("main.xml",
        "<r><include filename=\"missing.xml\"><K/></include>"
        "<include filename=\"missing.xml\" no_root=\"\"><K/></include>"
        "<include filename=\"empty.xml\"/><include/></r>");
  write("empty.xml", "");
  const std::string missing = dir_ + "/missing.xml";
  EXPECT_EQ(load("main.xml"),
            "<r><include filename=\"missing.xml\"><K/></include><K/>"
            "<include filename=\"empty.xml\"/><include/></r>");
  EXPECT_EQ(
      document_.warnings,
      (std::vector<std::string>{
          kWarn + "error \"couldn't read " + missing + "\" in include file " + missing + " line:0",
          kWarn + "error \"couldn't read " + missing + "\" in include file " + missing + " line:0",
          kWarn + "error: include file '" + dir_ + "/empty.xml' is empty",
          kWarn + "missing filename in <include>"}));
}

TEST_F(XMLPP2Include, DirectoryNameIsNoFile) {
  write("main.xml", "<r><include filename=\"\"/></r>");
  EXPECT_EQ(load("main.xml"), "<r><include filename=\"\"/></r>");
  ASSERT_EQ(document_.warnings.size(), 1u);
  EXPECT_EQ(document_.warnings[0],
            kWarn + "error \"couldn't read " + dir_ + "/\" in include file " + dir_ + "/ line:0");
}

TEST_F(XMLPP2Include, CyclesAreRefused) {
  write("self.xml", "<S><include filename=\"./self.xml\"/></S>");
  write("a.xml", "<A><include filename=\"b.xml\"/></A>");
  write("b.xml", "<B><include filename=\"sub/../a.xml\"/></B>");
  EXPECT_EQ(load("self.xml"), "<S><include filename=\"./self.xml\"/></S>");
  EXPECT_EQ(document_.warnings, std::vector<std::string>{kWarn + "error: include file '" + dir_ +
                                                         "/./self.xml' includes itself"});
  std::filesystem::create_directories(dir_ + "/sub");
  document_.warnings.clear();
  EXPECT_EQ(load("a.xml"), "<A><B><include filename=\"sub/../a.xml\"/></B></A>");
  EXPECT_EQ(document_.warnings.size(), 1u);
}

TEST_F(XMLPP2Include, IncludeAsRoot) {
  write("main.xml", "<include filename=\"a.xml\" no_root=\"\"/>");
  write("a.xml", "<envelope v=\"$(M)\"><X/></envelope>");
  // The included root replaces the document's root and is never dissolved.
  EXPECT_EQ(load("main.xml", "M=2"), "<envelope v=\"2\"><X/></envelope>");
}

TEST_F(XMLPP2Include, FragmentsAreSharedWithIncludedFiles) {
  write("main.xml", "<r><include filename=\"defs.xml\"/><xmlput name=\"F\"/></r>");
  write("defs.xml", "<envelope><xmldef name=\"F\"><Z/></xmldef></envelope>");
  EXPECT_EQ(load("main.xml"), "<r><Z/></r>");
}

TEST_F(XMLPP2Include, MissingMainFile) {
  EXPECT_FALSE(document_.loadPreprocessed(dir_ + "/none.xml", "", true));
  EXPECT_EQ(document_.errorMessage(), "couldn't read " + dir_ + "/none.xml");
}

}  // namespace
}  // namespace vozo
