#pragma once
// A scratch working directory for the targets that read files, with a few
// fixed files that fuzzed documents can include or import by name.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace vozo::fuzz {

inline void writeFile(const std::string& path, std::string_view text) {
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
}

inline std::string& scratchDirectory() {
  static std::string path;
  return path;
}

// Creates a fresh directory under TMPDIR (or /tmp), makes it the working
// directory and puts the fixed files in it. The directory is removed when the
// process exits.
inline void enterScratchDirectory() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/vozo-fuzz.XXXXXX";
  if (!mkdtemp(pattern.data()) || chdir(pattern.c_str()) != 0) std::abort();
  scratchDirectory() = pattern;
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(scratchDirectory(), ignored);
  });
  writeFile("seg.xml", "<Seg><MemorySegment name=\"X$(N)\" start=\"0x$(N)0\" size=\"16\"/></Seg>");
  writeFile("self.xml", "<S><include filename=\"self.xml\" no_root=\"\"/></S>");
  writeFile("empty.xml", "");
}

}  // namespace vozo::fuzz
