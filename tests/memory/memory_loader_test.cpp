#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "memory/queries.h"
#include "memory/test_support.h"
#include "temporary_folder.h"

namespace vozo {
namespace {

namespace fs = std::filesystem;

// A fresh directory per test, removed afterwards.
class MemoryLoaderTest : public testing::Test {
 protected:
  std::string write(const std::string& relativePath, const std::string& text) {
    fs::path path = directory_ / relativePath;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }

  static std::vector<std::string> segmentNames(const MemoryMap& document) {
    std::vector<std::string> names;
    for (auto* segment :
         collectElements(document.rootElement(), ElementKind::MemorySegment, false)) {
      names.emplace_back(segment->name());
    }
    return names;
  }

  test::TemporaryFolder folder_{"vozo_memory"};
  const fs::path& directory_ = folder_.path();
  MemoryMap document_{test::fakeMacroTable()};
};

using Names = std::vector<std::string>;

TEST_F(MemoryLoaderTest, LoadsWithAndWithoutPreprocessor) {
  std::string path = write("board.xml", R"x(<!DOCTYPE Board_Memory_Definition_File>
<Root name="board">
  <!-- comment -->
  <MemorySegment name="$(SEG)" start="0x08000000" size="0x80000">
    <ProgramSection name=".text" start="+0x100"/>
  </MemorySegment>
</Root>)x");
  for (bool preprocess : {false, true}) {
    MemoryMap document(test::fakeMacroTable());
    ASSERT_TRUE(loadFile(document, path, "SEG=FLASH", preprocess));
    MemoryMapElement* root = document.rootElement();
    EXPECT_EQ(document.doctypeName, "Board_Memory_Definition_File");
    EXPECT_EQ(document.filePath, path);
    EXPECT_TRUE(root->lastModified().has_value());
    EXPECT_EQ(root->importedBy(), nullptr);
    auto* segment = static_cast<MemoryMapElement*>(root->firstChildElement());
    EXPECT_EQ(segment->name(), preprocess ? "FLASH" : "$(SEG)");
    EXPECT_EQ(segment->nextSibling(), nullptr);  // no comment or white-space nodes
    EXPECT_EQ(findElement(document, ElementKind::ProgramSection, ".text")->start(), 0x08000100u);
  }
}

TEST_F(MemoryLoaderTest, UnreadableFilesFail) {
  std::string broken = write("broken.xml", "<Root><MemorySegment 1bad=\"x\"/></Root>");
  std::string noRoot = write("empty.xml", "just text");
  for (bool preprocess : {false, true}) {
    MemoryMap document(test::fakeMacroTable());
    EXPECT_FALSE(loadFile(document, (directory_ / "missing.xml").string(), "", preprocess));
    EXPECT_NE(document.errorMessage().find("couldn't read"), std::string::npos);
    for (const std::string& path : {broken, noRoot, directory_.string()}) {
      EXPECT_FALSE(loadFile(document, path, "", preprocess)) << path;
      EXPECT_EQ(document.root(), nullptr);
    }
  }
}

TEST_F(MemoryLoaderTest, ImportsReplaceTheirElement) {
  write("parts/a.xml", R"(<Root><MemorySegment name="A" start="1"/></Root>)");
  std::string path = write("main.xml", R"(<Root>
  <Import filename="parts/a.xml"/>
  <Import filename="parts/missing.xml"/>
  <MemorySegment name="LAST"/>
</Root>)");
  ASSERT_TRUE(loadFile(document_, path, "", true));
  EXPECT_EQ(segmentNames(document_), (Names{"A", "LAST"}));

  XMLElement* imported = document_.rootElement()->firstChildElement();
  EXPECT_EQ(imported->tagName(), "Root");
  auto* importedRoot = static_cast<MemoryMapElement*>(imported);
  ASSERT_NE(importedRoot->importedBy(), nullptr);
  EXPECT_EQ(importedRoot->importedBy()->attribute("filename"), "parts/a.xml");
  EXPECT_TRUE(importedRoot->lastModified().has_value());
  // The import that failed stays in place.
  EXPECT_EQ(imported->nextSiblingElement()->attribute("filename"), "parts/missing.xml");
}

TEST_F(MemoryLoaderTest, ReadOnlyMarksElements) {
  // A document already marked read-only stays so for writable files too.
  std::string writable = write("rw.xml", R"(<Root><MemorySegment name="RW"/></Root>)");
  document_.readOnly = true;
  ASSERT_TRUE(loadFile(document_, writable, "", true));
  EXPECT_TRUE(findElement(document_, ElementKind::MemorySegment, "RW")->readOnly());
  EXPECT_TRUE(document_.readOnly);

  std::string imported = write("ro.xml", R"(<Root><MemorySegment name="RO"/></Root>)");
  std::string path =
      write("main.xml", R"(<Root><Import filename="ro.xml"/><MemorySegment name="RW"/></Root>)");
  ASSERT_EQ(chmod(imported.c_str(), 0444), 0);
  MemoryMap document(test::fakeMacroTable());
  ASSERT_TRUE(loadFile(document, path, "", true));
  EXPECT_FALSE(findElement(document, ElementKind::MemorySegment, "RW")->readOnly());
  EXPECT_FALSE(document.readOnly);
  // For root every file is writable, so only other users see a read-only one.
  bool readOnlyFile = access(imported.c_str(), W_OK) != 0;
  EXPECT_EQ(findElement(document, ElementKind::MemorySegment, "RO")->readOnly(), readOnlyFile);
  // Windows removes no read-only file with its folder.
  fs::permissions(imported, fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(MemoryLoaderTest, LoadTextImportsAgainstTheWorkingDirectory) {
  write("part.xml", R"(<Root><MemorySegment name="IMPORTED"/></Root>)");
  fs::path previous = fs::current_path();
  fs::current_path(directory_);
  document_.filePath = "somewhere/else.xml";
  bool loaded = loadText(
      document_, R"(<Root><MemorySegment name="RAM"/><Import filename="part.xml"/></Root>)");
  fs::current_path(previous);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(document_.filePath, "");
  EXPECT_EQ(segmentNames(document_), (Names{"RAM", "IMPORTED"}));

  MemoryMap empty(test::fakeMacroTable());
  EXPECT_FALSE(loadText(empty, "no xml here"));
  EXPECT_EQ(empty.root(), nullptr);
  EXPECT_TRUE(collectElements(empty.rootElement(), ElementKind::MemorySegment, true).empty());
}

}  // namespace
}  // namespace vozo
