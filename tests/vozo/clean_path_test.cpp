// Lexical path cleaning and the removal of the output file after a failure.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "platform/paths.h"
#include "temporary_folder.h"
#include "vozo/clean_path.h"

namespace vozo {
namespace {

TEST(CleanPath, Cases) {
  struct Case {
    std::string path;
    std::string cleaned;
  };
  const Case cases[] = {
      {"", ""},
      {"out.ld", "out.ld"},
      {"a/b/out.ld", "a/b/out.ld"},
      {"a//b///out.ld", "a/b/out.ld"},
      {"./out.ld", "out.ld"},
      {"a/./b/.", "a/b"},
      {"a/b/", "a/b"},
      {"a/../out.ld", "out.ld"},
      {"a/b/../../out.ld", "out.ld"},
      {"a/..", ""},
      {"../out.ld", "../out.ld"},
      {"../../out.ld", "../../out.ld"},  // ".." never cancels ".."
      {"a/../../out.ld", "../out.ld"},
      {"/", "/"},
      {"//", "/"},
      {"/out.ld", "/out.ld"},
      {"//tmp//out.ld", "/tmp/out.ld"},
      {"/tmp/../out.ld", "/out.ld"},
      {"/tmp/..", "/"},
      {"/..", "/.."},
      {"./.", ""},
      {"...", "..."},
      {"a/.../b", "a/.../b"},
  };
  for (const Case& c : cases) EXPECT_EQ(cleanPath(c.path), c.cleaned) << c.path;
}

TEST(CleanPath, BackslashesAndDrives) {
  // On Windows "\" separates too, and a drive stays where ".." climbs.
  struct Case {
    std::string path;
    std::string onPosix;
    std::string onWindows;
  };
  const Case cases[] = {
      {"a\\b\\..\\out.ld", "a\\b\\..\\out.ld", "a/out.ld"},
      {"\\fw\\..\\out.ld", "\\fw\\..\\out.ld", "\\out.ld"},
      {"C:\\fw\\..\\out.ld", "C:\\fw\\..\\out.ld", "C:\\out.ld"},
      {"C:/fw/./../out.ld", "C:/out.ld", "C:/out.ld"},
      {"C:/..", "", "C:/.."},
      // A drive's own working directory: "C:fw" is "fw" there.
      {"C:fw/../out.ld", "out.ld", "C:out.ld"},
      {"C:../out.ld", "C:../out.ld", "C:../out.ld"},
      {"C:", "C:", "C:"},
  };
  const bool windows = platform::isPathSeparator('\\');
  for (const Case& c : cases) {
    EXPECT_EQ(cleanPath(c.path), windows ? c.onWindows : c.onPosix) << c.path;
  }
}

class RemoveFileIfPresent : public ::testing::Test {
 protected:
  void touch(const std::string& name) {
    ASSERT_TRUE(std::ofstream(folder_.file(name)).good());
  }
  // Whether `name` is there, a link to nothing included.
  bool exists(const std::string& name) {
    return std::filesystem::symlink_status(folder_.file(name)).type() !=
           std::filesystem::file_type::not_found;
  }

  test::TemporaryFolder folder_{"vozo-clean-path"};
  const std::string dir_ = folder_.path().string();
};

TEST_F(RemoveFileIfPresent, RemovesTheFileAtTheCleanedPath) {
  touch("out.ld");
  // "missing" does not exist: only the lexically cleaned path is looked at.
  removeFileIfPresent(dir_ + "/.//missing/../out.ld");
  EXPECT_FALSE(exists("out.ld"));
}

TEST_F(RemoveFileIfPresent, NothingThereIsNotAnError) {
  removeFileIfPresent(dir_ + "/out.ld");
  removeFileIfPresent("");
  EXPECT_FALSE(exists("out.ld"));
}

TEST_F(RemoveFileIfPresent, DanglingLinkIsRemoved) {
  std::error_code error;
  std::filesystem::create_symlink("nowhere", dir_ + "/out.ld", error);
  // Windows lets only privileged users make links.
  if (error) GTEST_SKIP() << "no symbolic link can be made here: " << error.message();
  removeFileIfPresent(dir_ + "/out.ld");
  EXPECT_FALSE(exists("out.ld"));
}

}  // namespace
}  // namespace vozo
