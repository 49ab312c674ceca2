// Replacing output files: unchanged bytes leave the file alone, changed bytes
// replace it whole with the old mode, links and devices are written through.

#include "linkscript/replaced_file.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "linkscript/h_exception.h"

namespace vozo {
namespace {

namespace fs = std::filesystem;

class ReplacedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vozo-replaced.XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    directory_ = pattern;
  }
  void TearDown() override { fs::remove_all(directory_); }

  std::string path(const char* name) const { return (directory_ / name).string(); }

  static std::string contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  static struct stat status(const std::string& file) {
    struct stat result = {};
    ::stat(file.c_str(), &result);
    return result;
  }

  fs::path directory_;
};

TEST_F(ReplacedFileTest, SameBytesLeaveTheFileAndItsTimeStampAlone) {
  const std::string file = path("out.ld");
  replaceFileContents(file, "MEMORY {}\n");
  struct timespec old[2] = {{1000, 0}, {1000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), old, 0), 0);
  const ino_t inode = status(file).st_ino;

  replaceFileContents(file, "MEMORY {}\n");
  EXPECT_EQ(status(file).st_mtim.tv_sec, 1000);
  EXPECT_EQ(status(file).st_ino, inode);

  // A prefix or an extension of the old bytes is a change.
  for (const char* text : {"MEMORY {}", "MEMORY {}\n\n", ""}) {
    replaceFileContents(file, text);
    EXPECT_EQ(contents(file), text);
  }
  EXPECT_EQ(fs::directory_iterator(directory_)->path(), file) << "no temporary file is left";
}

TEST_F(ReplacedFileTest, ChangedBytesReplaceTheFileKeepingItsModeAndLinks) {
  const std::string target = path("real.ld");
  const std::string link = path("link.ld");
  replaceFileContents(target, "old\n");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  fs::create_symlink(target, link);

  replaceFileContents(link, "new\n");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(contents(target), "new\n");
  EXPECT_EQ(status(target).st_mode & 07777, 0640u);
}

TEST_F(ReplacedFileTest, WritesDevicesDirectlyAndReportsFailures) {
  EXPECT_NO_THROW(replaceFileContents("/dev/null", "text"));
  const std::string missing = path("missing/out.ld");
  const std::pair<std::string, std::string> cases[] = {
      {missing, "cannot open " + missing + " for writing"},
      {std::string("out\0.ld", 7), std::string("cannot open out\0.ld for writing", 31)},
      {"/dev/full", "cannot write /dev/full"},
  };
  for (const auto& [file, message] : cases) {
    try {
      replaceFileContents(file, "text");
      ADD_FAILURE() << "no error for " << file;
    } catch (const HException& error) {
      EXPECT_EQ(error.message(), message);
    }
  }
}

}  // namespace
}  // namespace vozo
