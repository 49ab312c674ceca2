#pragma once
// What every input check reads and where it reports.

#include <map>
#include <string>

#include "check/finding.h"
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
};

}  // namespace vozo
