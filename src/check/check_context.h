#pragma once
// What every input check reads and where it reports.

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

#include "check/finding.h"
#include "expr/evaluate.h"
#include "expr/simple_expression_parser.h"
#include "linkscript/run_settings.h"

namespace vozo {

struct CheckContext {
  CheckContext(const std::map<std::string, std::string>& symbols, const RunSettings& settings,
               bool segger, Findings& findings)
      : symbols(symbols), settings(settings), segger(segger), findings(findings) {}

  const std::map<std::string, std::string>& symbols;  // -symbols
  const RunSettings& settings;
  bool segger;  // the script is written for -segger
  Findings& findings;
  // A parser of the checks' own, so that the documents' parsers keep their
  // state.
  SimpleExpressionParser parser;
  // Expression texts evaluated once each: register maps repeat the same
  // offsets in every register group. Only the first kRememberedTexts are
  // kept, so that a file of distinct texts (a generated one) does not pay
  // for storing them all.
  static constexpr size_t kRememberedTexts = 4096;
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  std::unordered_map<std::string, Evaluation, TextHash, std::equal_to<>> evaluations;
  Evaluation lastEvaluation;  // of a text not kept
};

// The evaluation of `text` with the checks' parser, from the context's
// store when the same text was evaluated before. Valid until the next call.
const Evaluation& evaluateOnce(CheckContext& context, std::string_view text);

}  // namespace vozo
