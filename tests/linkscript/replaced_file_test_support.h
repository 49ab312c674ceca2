#pragma once
// A fresh folder per test of replaced output files, its names and a file's
// bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "temporary_folder.h"

namespace vozo::test {

class ReplacedFileTest : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return folder_.file(name); }

  // The names in the test's folder.
  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const std::filesystem::directory_entry& entry :
         std::filesystem::directory_iterator(directory_)) {
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

  TemporaryFolder folder_{"vozo-replaced"};
  const std::filesystem::path& directory_ = folder_.path();
};

}  // namespace vozo::test
