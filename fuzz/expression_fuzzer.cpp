// The expression evaluator: every text evaluates or fails through the flag.
// Where the shortcut for plain literals and their sums and products gives a
// value, the full parse must give the same.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "expr/evaluate.h"
#include "expr/plain_literal.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vozo::SimpleExpressionParser parser;
  const auto text = vozo::fuzz::asText(data, size);
  bool ok = false;
  vozo::fuzz::expectingLimitErrors([&] {
    vozo::evaluateUnsigned(parser, text, ok);
    vozo::evaluateSigned(parser, text, ok);
    vozo::evaluateCondition(parser, text, ok);
    if (const auto shortcut = vozo::evaluatePlainArithmetic(text)) {
      const vozo::Outcome<const vozo::Expression*> tree = parser.parse(text);
      if (!tree) std::abort();
      const vozo::Outcome<vozo::ExpressionValue> full = (*tree)->evaluate();
      if (!full || full->valueKind != shortcut->valueKind || full->payload != shortcut->payload ||
          full->byteSize != shortcut->byteSize || full->bitWidth != shortcut->bitWidth) {
        std::abort();
      }
    }
  });
  return 0;
}
