// Replacing output files on POSIX hosts: changed bytes replace the file
// whole with the old mode, links and devices are written through, and a
// folder that allows no new file gets the file rewritten in place (the
// rest: replaced_file_test.cpp).

#include "linkscript/replaced_file.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

#include "expr/h_exception.h"
#include "linkscript/replaced_file_test_support.h"

namespace vozo {
namespace {

namespace fs = std::filesystem;

// The shared fixture, and what only POSIX hosts tell: a file's status, and
// its time stamp set. The folder is given back its permissions at the end.
class ReplacedFileTest : public test::ReplacedFileTest {
 protected:
  void TearDown() override {
    fs::permissions(directory_, fs::perms::all);
    for (const fs::directory_entry& entry : fs::directory_iterator(directory_)) {
      if (entry.is_directory()) fs::permissions(entry.path(), fs::perms::all);
    }
  }

  static struct stat status(const std::string& file) {
    struct stat result = {};
    ::stat(file.c_str(), &result);
    return result;
  }

  static void setTime(const std::string& file) {
    struct timespec old[2] = {{1000, 0}, {1000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), old, 0), 0);
  }
};

// Runs `work` in a child process as a user without any privilege (root may
// write any folder), and returns its exit status; 77 when the privileges
// cannot be dropped.
int runUnprivileged(const std::function<int()>& work) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
         ::setresuid(65534, 65534, 65534) != 0)) {
      ::_exit(77);
    }
    try {
      ::_exit(work());
    } catch (...) {
      ::_exit(1);
    }
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
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

  // A link whose target does not exist yet: the target is made.
  fs::create_symlink("made.ld", path("dangling.ld"));
  replaceFileContents(path("dangling.ld"), "made\n");
  EXPECT_TRUE(fs::is_symlink(path("dangling.ld")));
  EXPECT_EQ(contents(path("made.ld")), "made\n");
}

TEST_F(ReplacedFileTest, OpeningCreatesNothingAndWritesDevicesDirectly) {
  const std::string file = path("out.ld");
  {
    ReplacedFile opened(file);
    EXPECT_FALSE(fs::exists(file)) << "nothing exists before the text is complete";
  }
  EXPECT_TRUE(names().empty());
  EXPECT_NO_THROW(replaceFileContents("/dev/null", "text"));
}

TEST_F(ReplacedFileTest, AFolderThatAllowsNoNewFileGetsTheFileRewrittenInPlace) {
  const std::string folder = path("read-only");
  const std::string file = folder + "/out.ld";
  fs::create_directory(folder);
  replaceFileContents(file, "old text, longer than the new\n");
  ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  ASSERT_EQ(::chmod(directory_.c_str(), 0755), 0);
  const ino_t inode = status(file).st_ino;

  const int changed = runUnprivileged([&] {
    replaceFileContents(file, "new\n");
    return 0;
  });
  if (changed == 77) GTEST_SKIP() << "the test cannot drop root's privileges here";
  EXPECT_EQ(changed, 0);
  EXPECT_EQ(contents(file), "new\n");
  EXPECT_EQ(status(file).st_ino, inode);

  setTime(file);
  EXPECT_EQ(runUnprivileged([&] {
              replaceFileContents(file, "new\n");
              return 0;
            }),
            0);
  EXPECT_EQ(status(file).st_mtim.tv_sec, 1000) << "unchanged bytes leave the time stamp";

  // A file that does not exist cannot be made there.
  EXPECT_EQ(runUnprivileged([&] {
              try {
                ReplacedFile opened(folder + "/new.ld");
              } catch (const HException& error) {
                return error.systemError();
              }
              return 0;
            }),
            EACCES);
}

}  // namespace
}  // namespace vozo
