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
  const std::map<std::string, std::string>& symbols;  // -symbols
  const RunSettings& settings;
  bool segger;  // the script is written for -segger
  Findings& findings;
  // A parser of the checks' own, so that the documents' parsers keep their
  // state.
  SimpleExpressionParser parser;
  // Each distinct expression text evaluated once: register maps repeat the
  // same offsets in every register group.
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  std::unordered_map<std::string, Evaluation, TextHash, std::equal_to<>> evaluations;
};

// The evaluation of `text` with the checks' parser, from the context's
// store when the same text was evaluated before.
const Evaluation& evaluateOnce(CheckContext& context, std::string_view text);

}  // namespace vozo
