// Lexical path cleaning and the removal of the output file after a failure.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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

class RemoveFileIfPresent : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vozo-clean-path.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  void touch(const std::string& name) {
    std::FILE* file = std::fopen((dir_ + "/" + name).c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
  }
  bool exists(const std::string& name) {
    struct stat status;
    return ::lstat((dir_ + "/" + name).c_str(), &status) == 0;
  }

  std::string dir_;
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
  ASSERT_EQ(::symlink("nowhere", (dir_ + "/out.ld").c_str()), 0);
  removeFileIfPresent(dir_ + "/out.ld");
  EXPECT_FALSE(exists("out.ld"));
}

}  // namespace
}  // namespace vozo
