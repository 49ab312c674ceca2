// Replacing output files: unchanged bytes leave the file alone, changed bytes
// replace it whole with the old mode, links and devices are written through,
// a folder that allows no new file gets the file rewritten in place, and the
// temporary file of a run is never left to stay.

#include "linkscript/replaced_file.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "expr/h_exception.h"
#include "platform/temporary_file.h"

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
  void TearDown() override {
    fs::permissions(directory_, fs::perms::all);
    for (const fs::directory_entry& entry : fs::directory_iterator(directory_)) {
      if (entry.is_directory()) fs::permissions(entry.path(), fs::perms::all);
    }
    fs::remove_all(directory_);
  }

  std::string path(const std::string& name) const { return (directory_ / name).string(); }

  // The names in the test's folder.
  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory_)) {
      found.push_back(entry.path().filename().string());
    }
    std::sort(found.begin(), found.end());
    return found;
  }

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

  static void setTime(const std::string& file) {
    struct timespec old[2] = {{1000, 0}, {1000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), old, 0), 0);
  }

  fs::path directory_;
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

TEST_F(ReplacedFileTest, SameBytesLeaveTheFileAndItsTimeStampAlone) {
  const std::string file = path("out.ld");
  replaceFileContents(file, "MEMORY {}\n");
  setTime(file);
  const ino_t inode = status(file).st_ino;

  replaceFileContents(file, "MEMORY {}\n");
  EXPECT_EQ(status(file).st_mtim.tv_sec, 1000);
  EXPECT_EQ(status(file).st_ino, inode);

  // A prefix or an extension of the old bytes is a change.
  for (const char* text : {"MEMORY {}", "MEMORY {}\n\n", ""}) {
    replaceFileContents(file, text);
    EXPECT_EQ(contents(file), text);
  }
  EXPECT_EQ(names(), std::vector<std::string>{"out.ld"}) << "no temporary file is left";
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

TEST_F(ReplacedFileTest, NamesOfAnyLengthTheFolderAllows) {
  const std::string file = path(std::string(252, 'n') + ".ld");
  for (const char* text : {"first\n", "second\n"}) {
    ASSERT_NO_THROW(replaceFileContents(file, text));
    EXPECT_EQ(contents(file), text);
  }
  EXPECT_EQ(names().size(), 1u);
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

TEST_F(ReplacedFileTest, ReportsFailuresWithTheSystemsReason) {
  const std::string missing = path("missing/out.ld");
  struct Case {
    std::string file;
    std::string message;
    int error;
  };
  std::vector<Case> cases = {
      {missing, "cannot open " + missing + " for writing", ENOENT},
      {directory_.string(), "cannot open " + directory_.string() + " for writing", EISDIR},
      {std::string("out\0.ld", 7), std::string("cannot open out\0.ld for writing", 31), EINVAL},
      {"", "cannot open  for writing", ENOENT},
  };
  struct stat full;
  if (::stat("/dev/full", &full) == 0 && S_ISCHR(full.st_mode)) {
    cases.push_back({"/dev/full", "cannot write /dev/full", ENOSPC});
  } else {
    std::cout << "note: /dev/full is not a character device here; its case is left out\n";
  }
  for (const Case& c : cases) {
    try {
      replaceFileContents(c.file, "text");
      ADD_FAILURE() << "no error for " << c.file;
    } catch (const HException& error) {
      EXPECT_EQ(error.message(), c.message);
      EXPECT_EQ(error.systemError(), c.error) << c.file;
    }
  }
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

TEST_F(ReplacedFileTest, TemporaryFilesOfKilledRunsGoAndLiveOnesAreWaitedFor) {
  const std::string folder = directory_.string();
  // A run killed while writing leaves its temporary file, unlocked.
  const pid_t killed = ::fork();
  if (killed == 0) {
    platform::TemporaryFile::Created file = platform::TemporaryFile::create(folder, "out.ld");
    ::_exit(file.file ? 0 : 1);
  }
  int status = 0;
  ::waitpid(killed, &status, 0);
  ASSERT_EQ(names().size(), 1u);
  platform::TemporaryFile::removeLeftOver(folder, "out.ld");
  EXPECT_TRUE(names().empty());

  // Another run writing the same output waits until this one has renamed
  // its file, and then writes its own. It starts first, so that it holds
  // none of this run's descriptors, and goes on when this run has its file.
  int go[2];
  ASSERT_EQ(::pipe(go), 0);
  const pid_t other = ::fork();
  if (other == 0) {
    char byte;
    const bool started = ::read(go[0], &byte, 1) == 1;
    platform::TemporaryFile::Created file = platform::TemporaryFile::create(folder, "out.ld");
    const bool ok = started && file.file && file.file->write("other") == 0 &&
                    file.file->becomeOutput("out.ld") == 0;
    ::_exit(ok ? 0 : 1);
  }
  std::unique_ptr<platform::TemporaryFile> mine =
      platform::TemporaryFile::create(folder, "out.ld").file;
  ASSERT_NE(mine, nullptr);
  ASSERT_EQ(::write(go[1], "!", 1), 1);
  ::close(go[0]);
  ::close(go[1]);
  ::usleep(100'000);
  ASSERT_EQ(mine->write("mine"), 0);
  EXPECT_EQ(mine->becomeOutput("out.ld"), 0);
  EXPECT_EQ(contents(path("out.ld")), "mine");
  mine.reset();
  ::waitpid(other, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(contents(path("out.ld")), "other");
  EXPECT_EQ(names(), std::vector<std::string>{"out.ld"});
}

}  // namespace
}  // namespace vozo
