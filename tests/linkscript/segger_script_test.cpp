// Numbers in scripts and the output bound of both writers. (The SEGGER-format
// blocks and regions are pinned by golden cases segger_*.)

#include "linkscript/segger_script.h"

#include <gtest/gtest.h>

#include "gnu_ld_test_support.h"
#include "expr/h_exception.h"
#include "linkscript/hex_format.h"
#include "linkscript/script_size_limit.h"
#include "linkscript/segger_plan.h"
#include "linkscript/segger_text.h"

namespace vozo {
namespace {

TEST(HexFormat, PadsToEightLowerCaseDigitsAndKeepsLongerValues) {
  EXPECT_EQ(hex8(0) + hex8(0xABCDEF12), "00000000abcdef12");
  EXPECT_EQ(hex8(UINT64_MAX), "ffffffffffffffff");
}

// Both writers stop a script that grows past the output bound.
TEST(ScriptSize, BothWritersStopAtTheBound) {
  std::map<std::string, std::string> symbols;
  const std::string value(size_t{1} << 20, '1');
  while (symbols.size() <= (kMaxScriptBytes >> 20)) {
    symbols["S" + std::to_string(symbols.size())] = value;
  }
  const std::string message = "the linker script is larger than 256 MiB, the limit for the output";
  try {
    test::scriptFor("<Root/>", {}, symbols);
    ADD_FAILURE() << "no error from the GNU ld writer";
  } catch (const HException& error) {
    EXPECT_EQ(error.message(), message);
  }
  try {
    seggerScriptText(symbols, SeggerPlan{});
    ADD_FAILURE() << "no error from the SEGGER-format writer";
  } catch (const HException& error) {
    EXPECT_EQ(error.message(), message);
  }
}

}  // namespace
}  // namespace vozo
