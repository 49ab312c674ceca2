// Reading documents from files: byte-order mark, unreadable files and the
// Unicode-path document (pipes: xml_document_posix_test.cpp).

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <ostream>
#include <string>

#include "temporary_folder.h"
#include "xml/xml_document.h"
#include "xml/xml_writer.h"

namespace vozo {
namespace {

class TempFile {
 public:
  explicit TempFile(std::string_view contents) {
    std::ofstream(path_, std::ios::binary).write(contents.data(), contents.size());
  }
  const std::string& path() const { return path_; }

 private:
  test::TemporaryFolder folder_{"vozo-xml"};
  std::string path_ = folder_.file("document.xml");
};

struct FileCase {
  const char* name;
  std::string_view contents;
  std::string root;  // toXmlText of the root, or "(none)"
};

void PrintTo(const FileCase& c, std::ostream* os) {
  *os << c.name;
}

class FileTest : public testing::TestWithParam<FileCase> {};

TEST_P(FileTest, Loads) {
  const FileCase& c = GetParam();
  TempFile file(c.contents);
  for (bool unicode : {false, true}) {
    QXMLDocument document(false);
    bool ok = unicode ? document.load(file.path())
                      : static_cast<XMLDocument&>(document).load(file.path());
    EXPECT_TRUE(ok) << document.errorMessage();
    EXPECT_EQ(document.root() ? toXmlText(*document.root()) : "(none)", c.root);
  }
}

const FileCase kFileCases[] = {
    {"Plain", "<a/>", "<a/>"},
    {"ByteOrderMark", "\xEF\xBB\xBF<a b='1'/>", "<a b=\"1\"/>"},
    {"ByteOrderMarkThenSpace", "\xEF\xBB\xBF\n <a/>", "<a/>"},
    {"PartialMark", "\xEF\xBB<a/>", "(none)"},
    {"MarkOnly", "\xEF\xBB\xBF", "(none)"},
    {"TwoMarks", "\xEF\xBB\xBF\xEF\xBB\xBF<a/>", "(none)"},
    {"Empty", "", "(none)"},
    {"EmbeddedNul", std::string_view("<a/>\0<b/>", 9), "<a/>"},
};

INSTANTIATE_TEST_SUITE_P(Document, FileTest, testing::ValuesIn(kFileCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DocumentTest, LargeFileReadWhole) {
  // Larger than any first read buffer, so the end really is reached.
  std::string text = "<r>";
  for (int i = 0; i < 20000; ++i) text += "<s n='" + std::to_string(i) + "'/>\n";
  text += "</r>";
  TempFile file(text);
  XMLDocument document(false);
  ASSERT_TRUE(document.load(file.path()));
  ASSERT_NE(document.root(), nullptr);
  EXPECT_EQ(document.root()->lastChild()->asElement()->attribute("n"), "19999");
  EXPECT_EQ(document.root()->lastChild()->line(), 19999);
}

TEST(DocumentTest, ParseErrorInFile) {
  TempFile file("<a>\n\n</b>");
  XMLDocument document(false);
  EXPECT_FALSE(document.load(file.path()));
  EXPECT_EQ(document.errorMessage(), "tagName mismatch");
  EXPECT_EQ(document.errorLine(), 2u);
}

struct LoadFailureCase {
  const char* name;
  std::string path;
  std::string plainMessage;
  std::string unicodeMessage;
  int error;  // readFailure()
};

// Test names and failure output show the case by its name alone.
void PrintTo(const LoadFailureCase& c, std::ostream* os) {
  *os << c.name;
}

class LoadFailureTest : public testing::TestWithParam<LoadFailureCase> {};

TEST_P(LoadFailureTest, MessageLineAndRoot) {
  const LoadFailureCase& c = GetParam();
  QXMLDocument document(false);
  ASSERT_TRUE(document.parse("<kept/>"));
  XMLElement* kept = document.root();
  ASSERT_TRUE(document.parse("<x>\n\n<y x=1/>") == false);
  document.setRoot(kept);

  EXPECT_FALSE(static_cast<XMLDocument&>(document).load(c.path));
  EXPECT_EQ(document.errorMessage(), c.plainMessage);
  EXPECT_EQ(document.errorLine(), 0u);
  EXPECT_EQ(document.readFailure(), c.error);
  EXPECT_EQ(document.root(), kept);

  EXPECT_FALSE(document.load(c.path));
  EXPECT_EQ(document.errorMessage(), c.unicodeMessage);
  EXPECT_EQ(document.errorLine(), 0u);
  EXPECT_EQ(document.root(), kept);
}

const LoadFailureCase kLoadFailureCases[] = {
    {"Missing", "/nonexistent/dir/map.xml", "couldn't read /nonexistent/dir/map.xml",
     "couldn't read /nonexistent/dir/map.xml", ENOENT},
    {"Empty", "", "couldn't read ", "couldn't read ", ENOENT},
    {"Directory", "/", "couldn't read /", "couldn't read /", EISDIR},
    {"NonAscii", "/nonexistent/\xC3\xA9t\xC3\xA9.xml",
     "couldn't read /nonexistent/\xC3\xA9t\xC3\xA9.xml", "couldn't read /nonexistent/??t??.xml",
     ENOENT},
    {"EmbeddedNul", std::string("/tmp\0x", 6), std::string("couldn't read /tmp\0x", 20),
     std::string("couldn't read /tmp\0x", 20), ENOENT},
    {"TruncatedTo1023Bytes", "/nonexistent/" + std::string(2000, 'p'),
     ("couldn't read /nonexistent/" + std::string(2000, 'p')).substr(0, 1023),
     ("couldn't read /nonexistent/" + std::string(2000, 'p')).substr(0, 1023), ENOENT},
};

INSTANTIATE_TEST_SUITE_P(Document, LoadFailureTest, testing::ValuesIn(kLoadFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vozo
