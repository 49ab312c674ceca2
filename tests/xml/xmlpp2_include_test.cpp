#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "temporary_folder.h"
#include "xml/preprocess_support.h"
#include "xml/xml_writer.h"
#include "xml/xmlpp2.h"
#include "xml/xmlpp2_test_support.h"

namespace vozo {
namespace {

using testing_support::kWarn;

// Attribute values are quoted with "'" in `files` and `expected`.
struct IncludeCase {
  const char* name;
  // (path, contents); the first file is the one loaded.
  std::vector<std::pair<std::string, std::string>> files;
  const char* definitions;
  std::string expected;
  // "@" stands for the case's directory.
  std::vector<std::string> warnings = {};
};

std::string withDirectory(std::string text, const std::string& dir) {
  for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + dir.size())) {
    text.replace(at, 1, dir);
  }
  return text;
}

void write(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

TEST(XMLPP2Include, Files) {
  const std::string couldNotRead =
      kWarn + "error \"couldn't read @/missing.xml\" in include file @/missing.xml line:0";
  const std::vector<IncludeCase> cases = {
      {"macros (newlines dropped, carriage returns kept) and inherited attributes",
       {{"main.xml",
         "<r><include filename='a.xml' macros='M=5;&#10;N=x\\;y&#13;' name='n1' "
         "inherit_attributes='name;;absent'/><F v='$(M)'/></r>"},
        {"a.xml", "<A m='$(M)' n='$(N)'><C m='$(M)'/></A>"}},
       "M=1",
       "<r><A m='5' n='x;y\r' name='n1'><C m='5'/></A><F v='1'/></r>"},
      {"failures keep the include, or with no_root its children",
       {{"main.xml",
         "<r><include filename='missing.xml'><K/></include>"
         "<include filename='missing.xml' no_root=''><K/></include>"
         "<include filename='empty.xml'/><include filename='bad.xml'/><include/></r>"},
        {"empty.xml", ""},
        {"bad.xml", "<a/>\n<b x=1/>"}},
       "",
       "<r><include filename='missing.xml'><K/></include><K/>"
       "<include filename='empty.xml'/><include filename='bad.xml'/><include/></r>",
       {couldNotRead, couldNotRead, kWarn + "error: include file '@/empty.xml' is empty",
        kWarn + "error \"bad tagName\" in include file @/bad.xml line:1",
        kWarn + "missing filename in <include>"}},
      {"a file entered again unchanged is refused",
       {{"self.xml", "<S><include filename='./self.xml'/></S>"}},
       "",
       "<S><include filename='./self.xml'/></S>",
       {kWarn + "error: include file '@/./self.xml' includes itself"}},
  };
  for (const IncludeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const test::TemporaryFolder folder("xmlpp2_include");
    const std::string dir = folder.path().string();
    for (const auto& [path, text] : c.files) write(dir + "/" + path, text);
    testing_support::FixedMacroTable table;
    testing_support::RecordingPP document(table);
    EXPECT_TRUE(document.loadPreprocessed(dir + "/" + c.files.front().first, c.definitions, true));
    std::string xml = document.root() ? toXmlText(*document.root()) : std::string();
    std::replace(xml.begin(), xml.end(), '"', '\'');
    EXPECT_EQ(xml, c.expected);
    std::vector<std::string> warnings;
    for (const std::string& w : c.warnings) warnings.push_back(withDirectory(w, dir));
    EXPECT_EQ(document.warnings, warnings);
  }
}

TEST(XMLPP2Include, MissingMainFile) {
  testing_support::FixedMacroTable table;
  testing_support::RecordingPP document(table);
  EXPECT_FALSE(document.loadPreprocessed("/nonexistent/none.xml", "", true));
  EXPECT_EQ(document.errorMessage(), "couldn't read /nonexistent/none.xml");
}

TEST(XMLPP2Include, PathResolution) {
  const struct {
    const char* name;
    const char* including;
    const char* expected;
  } cases[] = {
      {"n.xml", "a/b/c.xml", "a/b/n.xml"},
      {"n.xml", "c.xml", "./n.xml"},
      {"n.xml", "/c.xml", "//n.xml"},
      {"/abs/n.xml", "a/c.xml", "/abs/n.xml"},
      {"", "a/c.xml", "a/"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(resolveIncludePath(c.name, c.including), c.expected) << c.name << " " << c.including;
  }
}

}  // namespace
}  // namespace vozo
