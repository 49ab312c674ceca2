// The expression evaluator: every text evaluates or fails through the flag.

#include <cstddef>
#include <cstdint>

#include "expr/evaluate.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vozo::SimpleExpressionParser parser;
  const auto text = vozo::fuzz::asText(data, size);
  bool ok = false;
  vozo::fuzz::expectingLimitErrors([&] {
    vozo::evaluateUnsigned(parser, text, ok);
    vozo::evaluateSigned(parser, text, ok);
    vozo::evaluateCondition(parser, text, ok);
  });
  return 0;
}
