// Replacing output files on every host: unchanged bytes leave the file
// alone, changed bytes replace it whole, failures give the system's reason,
// and the temporary file of a run is never left to stay (what only POSIX
// hosts have: replaced_file_posix_test.cpp).

#include "linkscript/replaced_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "expr/h_exception.h"
#include "linkscript/replaced_file_test_support.h"
#include "platform/temporary_file.h"

namespace vozo {
namespace {

namespace fs = std::filesystem;
using test::ReplacedFileTest;

TEST_F(ReplacedFileTest, SameBytesLeaveTheFileAndItsTimeStampAlone) {
  const std::string file = path("out.ld");
  replaceFileContents(file, "MEMORY {}\n");
  const fs::file_time_type old = fs::last_write_time(file) - std::chrono::hours(24);
  fs::last_write_time(file, old);

  replaceFileContents(file, "MEMORY {}\n");
  EXPECT_EQ(fs::last_write_time(file), old);

  // A prefix or an extension of the old bytes is a change.
  for (const char* text : {"MEMORY {}", "MEMORY {}\n\n", ""}) {
    replaceFileContents(file, text);
    EXPECT_EQ(contents(file), text);
  }
  EXPECT_EQ(names(), std::vector<std::string>{"out.ld"}) << "no temporary file is left";
}

TEST_F(ReplacedFileTest, NamesOfAnyLengthTheFolderAllows) {
  const std::string file = path(std::string(252, 'n') + ".ld");
  for (const char* text : {"first\n", "second\n"}) {
    ASSERT_NO_THROW(replaceFileContents(file, text));
    EXPECT_EQ(contents(file), text);
  }
  EXPECT_EQ(names().size(), 1u);
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

TEST_F(ReplacedFileTest, TemporaryFilesOfKilledRunsGoAndLiveOnesAreWaitedFor) {
  const std::string folder = directory_.string();
  // A run killed while writing leaves its temporary file, which no one holds.
  std::ofstream(path(platform::temporaryName("out.ld"))) << "left over";
  ASSERT_EQ(names().size(), 1u);
  platform::TemporaryFile::removeLeftOver(folder, "out.ld");
  EXPECT_TRUE(names().empty());

  // Another run writing the same output waits until this one has renamed
  // its file, and then writes its own.
  std::unique_ptr<platform::TemporaryFile> mine =
      platform::TemporaryFile::create(folder, "out.ld").file;
  ASSERT_NE(mine, nullptr);
  bool otherWrote = false;
  std::thread other([&] {
    platform::TemporaryFile::Created file = platform::TemporaryFile::create(folder, "out.ld");
    otherWrote = file.file && file.file->write("other") == 0 &&
                 file.file->becomeOutput("out.ld") == 0;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_EQ(mine->write("mine"), 0);
  EXPECT_EQ(mine->becomeOutput("out.ld"), 0);
  EXPECT_EQ(contents(path("out.ld")), "mine");
  mine.reset();
  other.join();
  EXPECT_TRUE(otherWrote);
  EXPECT_EQ(contents(path("out.ld")), "other");
  EXPECT_EQ(names(), std::vector<std::string>{"out.ld"});
}

}  // namespace
}  // namespace vozo
