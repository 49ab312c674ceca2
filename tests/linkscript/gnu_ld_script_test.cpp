// Fixed section sizes, as the sections placed from the segment end read them.
// (The script frame, the chains built from both documents and the placing
// from the segment end are pinned by golden cases gnuld_*.)

#include <gtest/gtest.h>

#include "linkscript/gnu_ld_fixed_size.h"

namespace vozo {
namespace {

TEST(GnuLdScript, FixedSizes) {
  const std::map<std::string, std::string> symbols = {{"STACK", "2K"}, {"BIG", "0x10000000m"}};
  struct Case {
    const char* text;
    std::optional<uint32_t> size;
  } cases[] = {
      {"0x100", 0x100},
      {"1K", 1024},
      {"2m", 2097152},
      {"010", 8},
      {"0", 0},
      {" 16 ", 16},
      {"4 K", 4096},
      {"STACK", 2048},
      {"BIG", 0},
      {"0xffffffff", 0xffffffff},
      {"0x100000000", std::nullopt},
      {"", std::nullopt},
      {"K", std::nullopt},
      {"0x", std::nullopt},
      {"08", std::nullopt},
      {"12a", std::nullopt},
      {"STACK ", std::nullopt},
      {"-1", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseFixedSize(c.text, symbols), c.size) << c.text;
  }
}

}  // namespace
}  // namespace vozo
