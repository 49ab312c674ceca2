#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "memory/queries.h"
#include "memory/test_support.h"

namespace vozo {
namespace {

namespace fs = std::filesystem;

// A fresh directory per test, removed afterwards.
class MemoryLoaderTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vozo_memory_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    directory_ = pattern;
  }
  void TearDown() override { fs::remove_all(directory_); }

  std::string write(const std::string& relativePath, const std::string& text) {
    fs::path path = directory_ / relativePath;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }

  std::vector<std::string> segmentNames(const MemoryMap& document) {
    std::vector<std::string> names;
    for (auto* segment :
         collectElements(document.rootElement(), ElementKind::MemorySegment, false)) {
      names.emplace_back(segment->name());
    }
    return names;
  }

  fs::path directory_;
  MemoryMap document_{test::fakeMacroTable()};
};

using Names = std::vector<std::string>;

TEST_F(MemoryLoaderTest, LoadsAndEvaluatesFile) {
  std::string path = write("board.xml", R"(<!DOCTYPE Board_Memory_Definition_File>
<Root name="board">
  <!-- comment -->
  <MemorySegment name="FLASH" start="0x08000000" size="0x80000" access="ReadOnly">
    <ProgramSection name=".text" start="+0x100"/>
  </MemorySegment>
</Root>)");
  for (bool preprocess : {false, true}) {
    MemoryMap document(test::fakeMacroTable());
    ASSERT_TRUE(loadFile(document, path, "", preprocess));
    MemoryMapElement* root = document.rootElement();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(document.doctypeName, "Board_Memory_Definition_File");
    EXPECT_EQ(document.filePath, path);
    EXPECT_TRUE(root->lastModified().has_value());
    EXPECT_FALSE(root->readOnly());
    EXPECT_FALSE(document.readOnly);
    MemoryMapElement* flash = findElement(document, ElementKind::MemorySegment, "FLASH");
    ASSERT_NE(flash, nullptr);
    EXPECT_EQ(flash->start(), 0x08000000u);
    EXPECT_EQ(flash->size(), 0x80000u);
    EXPECT_TRUE(flash->isReadOnlyAccess());
    EXPECT_EQ(findElement(document, ElementKind::ProgramSection, ".text")->start(), 0x08000100u);
    // Comments and white space are not in the tree.
    EXPECT_EQ(root->firstChild(), flash);
    EXPECT_EQ(flash->nextSibling(), nullptr);
  }
}

TEST_F(MemoryLoaderTest, UnreadableFilesFail) {
  std::string broken = write("broken.xml", "<Root><MemorySegment 1bad=\"x\"/></Root>");
  std::string noRoot = write("empty.xml", "just text");
  for (bool preprocess : {false, true}) {
    MemoryMap document(test::fakeMacroTable());
    EXPECT_FALSE(loadFile(document, (directory_ / "missing.xml").string(), "", preprocess));
    EXPECT_EQ(document.root(), nullptr);
    EXPECT_NE(document.errorMessage().find("couldn't read"), std::string::npos);
    EXPECT_FALSE(loadFile(document, broken, "", preprocess));
    EXPECT_EQ(document.root(), nullptr);
    EXPECT_FALSE(loadFile(document, noRoot, "", preprocess));
    EXPECT_EQ(document.root(), nullptr);
  }
}

TEST_F(MemoryLoaderTest, ResolvesImportsOfTheRootOnly) {
  write("imports/a.xml", R"(<Root><MemorySegment name="A" start="1"/></Root>)");
  write("imports/b.xml",
        R"(<Root><MemorySegment name="B" start="2"/><Import filename="c.xml"/></Root>)");
  write("imports/c.xml", R"(<Root><MemorySegment name="C"/></Root>)");
  write("c.xml", R"(<Root><MemorySegment name="C"/></Root>)");
  std::string path = write("main.xml", R"(<Root>
  <MemorySegment name="FIRST"/>
  <Import filename="imports/a.xml"/>
  <Import filename="imports/missing.xml"/>
  <Group><Import filename="imports/a.xml"/></Group>
  <Import filename="imports/b.xml"/>
  <MemorySegment name="LAST"/>
</Root>)");
  ASSERT_TRUE(loadFile(document_, path, "", true));
  EXPECT_EQ(segmentNames(document_), (Names{"FIRST", "A", "B", "LAST"}));

  MemoryMapElement* root = document_.rootElement();
  std::vector<std::string> tags;
  for (XMLElement* e = root->firstChildElement(); e != nullptr; e = e->nextSiblingElement()) {
    tags.emplace_back(e->tagName());
  }
  EXPECT_EQ(tags, (Names{"MemorySegment", "Root", "Import", "Group", "Root", "MemorySegment"}));

  auto* importedA = static_cast<MemoryMapElement*>(root->firstChildElement()->nextSiblingElement());
  ASSERT_NE(importedA->importedBy(), nullptr);
  EXPECT_EQ(importedA->importedBy()->attribute("filename"), "imports/a.xml");
  EXPECT_TRUE(importedA->lastModified().has_value());
  EXPECT_EQ(findElement(document_, ElementKind::MemorySegment, "A")->start(), 1u);
  EXPECT_EQ(findElement(document_, ElementKind::MemorySegment, "B")->start(), 2u);
  EXPECT_EQ(document_.rootElement()->importedBy(), nullptr);
}

TEST_F(MemoryLoaderTest, RelativePathsAndPathMacros) {
  write("maps/linux.xml",
        R"(<Root><Import filename="parts/p.xml"/><MemorySegment name="HOST"/></Root>)");
  write("maps/parts/p.xml", R"(<Root><MemorySegment name="PART"/></Root>)");

  // The main file given relative to the working directory; its import is
  // taken relative to the main file's directory.
  fs::path previous = fs::current_path();
  fs::current_path(directory_);
  bool loaded = loadFile(document_, "maps/$(HostOS).xml", "", true);
  fs::current_path(previous);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(document_.filePath, "maps/$(HostOS).xml");
  EXPECT_EQ(segmentNames(document_), (Names{"PART", "HOST"}));

  // The file's own definitions do not apply to paths.
  MemoryMap other(test::fakeMacroTable());
  EXPECT_FALSE(loadFile(other, (directory_ / "maps/$(Board).xml").string(), "Board=linux", true));
}

TEST_F(MemoryLoaderTest, MacroDefinitionsReachTheFile) {
  std::string path = write("macros.xml", R"x(<Root>
  <MemorySegment name="$(SEG)" start="$(BASE)" size="$(SIZE:0x10)"/>
  <MemorySegment name="$(HostOS:none)"/>
</Root>)x");
  ASSERT_TRUE(loadFile(document_, path, "SEG=RAM;BASE=0x100+0x20", true));
  MemoryMapElement* ram = findElement(document_, ElementKind::MemorySegment, "RAM");
  ASSERT_NE(ram, nullptr);
  EXPECT_EQ(ram->start(), 0x120u);
  EXPECT_EQ(ram->size(), 0x10u);
  // The built-in table takes no part in the file's own expansion.
  EXPECT_NE(findElement(document_, ElementKind::MemorySegment, "none"), nullptr);

  MemoryMap plain(test::fakeMacroTable());
  ASSERT_TRUE(loadFile(plain, path, "SEG=RAM", false));
  EXPECT_NE(findElement(plain, ElementKind::MemorySegment, "$(SEG)"), nullptr);
}

TEST_F(MemoryLoaderTest, ReadOnlyFilesMarkTheirElements) {
  std::string imported = write("ro.xml", R"(<Root><MemorySegment name="RO"/></Root>)");
  std::string path =
      write("rw.xml", R"(<Root><Import filename="ro.xml"/><MemorySegment name="RW"/></Root>)");
  ASSERT_EQ(chmod(imported.c_str(), 0444), 0);
  if (access(imported.c_str(), W_OK) == 0) GTEST_SKIP() << "files are always writable here";
  ASSERT_TRUE(loadFile(document_, path, "", true));
  EXPECT_TRUE(findElement(document_, ElementKind::MemorySegment, "RO")->readOnly());
  EXPECT_FALSE(findElement(document_, ElementKind::MemorySegment, "RW")->readOnly());
  EXPECT_FALSE(document_.readOnly);
}

TEST_F(MemoryLoaderTest, LoadText) {
  write("part.xml", R"(<Root><MemorySegment name="IMPORTED"/></Root>)");
  fs::path previous = fs::current_path();
  fs::current_path(directory_);
  document_.filePath = "somewhere/else.xml";
  bool loaded = loadText(
      document_,
      R"(<!DOCTYPE Board_Memory_Definition_File><Root name="none"><MemorySegment name="RAM" start="8192" size="1024"access="ReadWrite"/><Import filename="part.xml"/></Root>)");
  fs::current_path(previous);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(document_.filePath, "");
  EXPECT_EQ(segmentNames(document_), (Names{"RAM", "IMPORTED"}));
  MemoryMapElement* ram = findElement(document_, ElementKind::MemorySegment, "RAM");
  EXPECT_EQ(ram->start(), 8192u);
  EXPECT_EQ(ram->size(), 1024u);
  EXPECT_FALSE(ram->isReadOnlyAccess());

  MemoryMap empty(test::fakeMacroTable());
  EXPECT_FALSE(loadText(empty, "no xml here"));
  EXPECT_EQ(empty.root(), nullptr);
  EXPECT_TRUE(collectElements(empty.rootElement(), ElementKind::MemorySegment, true).empty());
}

}  // namespace
}  // namespace vozo
