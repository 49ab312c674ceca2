#pragma once
// A stdio stream whose contents a test can read back: stands in for the
// output and error streams of a run. A file in a folder of its own, which
// every host has (Windows has no stream in memory).

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "temporary_folder.h"

namespace vozo::test {

class CapturedStream {
 public:
  CapturedStream() : stream_(std::fopen(path_.c_str(), "w+b")) {}
  ~CapturedStream() {
    if (stream_ != nullptr) std::fclose(stream_);
  }
  CapturedStream(const CapturedStream&) = delete;
  CapturedStream& operator=(const CapturedStream&) = delete;

  std::FILE* stream() { return stream_; }
  std::string text() {
    std::fflush(stream_);
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
  }

 private:
  TemporaryFolder folder_{"vozo-stream"};
  std::string path_ = folder_.file("stream");
  std::FILE* stream_;
};

}  // namespace vozo::test
