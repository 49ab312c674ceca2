#pragma once
// A fresh, empty folder in the system's folder for temporary files, removed
// with everything in it when the object goes. Made through std::filesystem,
// so the same tests run on Linux and on Windows.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace vozo::test {

class TemporaryFolder {
 public:
  explicit TemporaryFolder(const std::string& stem = "vozo-test") {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      std::filesystem::path candidate = base / (stem + "." + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) path_ = candidate;
    }
    EXPECT_FALSE(path_.empty()) << "no new folder could be made in " << base.string();
  }
  ~TemporaryFolder() {
    std::error_code error;
    if (!path_.empty()) std::filesystem::remove_all(path_, error);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of `name` in the folder, as a string.
  std::string file(const std::string& name) const { return path_.string() + "/" + name; }

 private:
  std::filesystem::path path_;
};

}  // namespace vozo::test
