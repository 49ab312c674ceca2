#include "check/value_checks.h"

#include <bit>
#include <cstdio>

#include "check/vocabulary.h"
#include "expr/c_number.h"
#include "expr/evaluate.h"
#include "linkscript/gnu_ld_fixed_size.h"
#include "memory/address_evaluation.h"
#include "xml/closest_name.h"

namespace vozo {

namespace {

constexpr std::string_view kSegmentSizeRemaining = "$(SEGMENT_SIZE_REMAINING)";

// `size="1M" of segment FLASH`
std::string subject(const MemoryMapElement& element, std::string_view attribute,
                    std::string_view text) {
  std::string s(attribute);
  s += "=\"";
  s += text;
  s += "\" of ";
  s += describeElement(element);
  return s;
}

// A decimal number without leading zero, or "0x" and hex digits: the
// commonest start and size texts, which need no closer look. A scan, no
// value, since register maps hold them by the hundred thousand.
bool isSimpleNumber(std::string_view text) {
  auto all = [&](size_t from, auto digit) {
    if (from >= text.size() || text.size() - from > 16) return false;
    for (size_t i = from; i < text.size(); ++i) {
      if (!digit(text[i])) return false;
    }
    return true;
  };
  auto decimal = [](char c) { return c >= '0' && c <= '9'; };
  auto hex = [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  };
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return all(2, hex);
  }
  return (text[0] != '0' || text.size() == 1) && all(0, decimal);
}

bool isPrefixWithoutDigits(std::string_view text) {
  return text.size() == 2 && text[0] == '0' &&
         (text[1] == 'x' || text[1] == 'X' || text[1] == 'b' || text[1] == 'B');
}

std::string shownValue(const ExpressionValue& value) {
  switch (value.valueKind) {
    case ValueKind::Signed: {
      int64_t signedValue = static_cast<int64_t>(value.payload);
      if (signedValue < 0) return std::to_string(signedValue);
      return shownNumber(value.payload);
    }
    case ValueKind::Float: {
      char text[32];
      std::snprintf(text, sizeof text, "%g", std::bit_cast<double>(value.payload));
      return text;
    }
    case ValueKind::Boolean:
      return value.payload ? "true" : "false";
    case ValueKind::String:
      return "\"" + value.text + "\"";
    default:
      return shownNumber(value.payload);
  }
}

// What is wrong with the kind of an evaluated value, or "".
std::string_view kindProblem(const ExpressionValue& value) {
  switch (value.valueKind) {
    case ValueKind::Unsigned:
      return {};
    case ValueKind::Signed:
      return static_cast<int64_t>(value.payload) < 0 ? "a negative number" : std::string_view();
    case ValueKind::Float:
      return "not a whole number";
    case ValueKind::Boolean:
      return "a condition, not a number";
    default:
      return "not a number";
  }
}

// The evaluator's message in the words of an input file's author.
std::string evaluatorMessage(std::string_view message) {
  constexpr std::string_view kNotFound = " symbol not found";
  if (message == "unexpected token TOKEN_EOL") return "the expression ends too early";
  if (message.ends_with(kNotFound) && message.size() > kNotFound.size()) {
    return "unknown name " + std::string(message.substr(0, message.size() - kNotFound.size()));
  }
  return std::string(message);
}

}  // namespace

const char* const kNameRule = "names take letters, digits, \"_\", \".\" and \"$\"; spaces become \"_\"";
const char* const kSymbolRule = "symbols take letters, digits, \"_\", \".\" and \"$\"";

std::string shownCharacter(char c) {
  if (c == '"') return "'\"'";
  if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
    char text[16];
    std::snprintf(text, sizeof text, "byte 0x%02x", static_cast<unsigned char>(c));
    return text;
  }
  return std::string{'"', c, '"'};
}

std::string shownNumber(uint64_t value) {
  if (value < 10) return std::to_string(value);
  char text[24];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
  return text;
}

const Evaluation& evaluateOnce(CheckContext& context, std::string_view text) {
  if (auto found = context.evaluations.find(text); found != context.evaluations.end()) {
    return found->second;
  }
  if (context.evaluations.size() == CheckContext::kRememberedTexts) {
    context.lastEvaluation = evaluateText(context.parser, text);
    return context.lastEvaluation;
  }
  return context.evaluations.emplace(text, evaluateText(context.parser, text)).first->second;
}

std::optional<std::string> addressTextProblem(std::string_view text, AddressForm form,
                                              const TextEvaluator& evaluate) {
  std::string_view body = text;
  if (form == AddressForm::Start && !body.empty() && body.front() == '+') body.remove_prefix(1);
  if (body.empty()) return "";  // an empty start or size means 0
  if (form != AddressForm::Size32 && isSimpleNumber(body)) return "";
  uint64_t value = 0;
  if (plainNumber(body, value)) {
    if (form == AddressForm::Size32 && value > UINT32_MAX) {
      return " does not fit in 32 bits; only its low 32 bits, " +
             shownNumber(static_cast<uint32_t>(value)) + ", are used";
    }
    return "";
  }
  if (isPrefixWithoutDigits(trimmed(body))) {
    return " has no digits after \"" + std::string(trimmed(body)) + "\"; it is taken as 0";
  }

  if (form == AddressForm::PlainNumber) {
    CNumberPrefix number = parseCUnsignedPrefix(text);
    if (number.length == text.size()) return "";
    if (number.length == 0) return " is not a number; it is taken as 0";
    return " is read only up to \"" + std::string(text.substr(number.length)) +
                  "\": it is taken as " + shownNumber(number.value) +
                  " (a plain number is expected here)";
  }

  const Evaluation* evaluated = evaluate(text);
  if (evaluated == nullptr) return std::nullopt;
  const Evaluation& evaluation = *evaluated;
  const std::string_view taken = form == AddressForm::Start ? "it is taken as 0"
                                                            : "the size is taken as 0";
  if (!evaluation.value) {
    std::string why = evaluatorMessage(evaluation.message);
    return " does not evaluate (" + why + "); " + std::string(taken);
  }
  const ExpressionValue& result = *evaluation.value;
  if (std::string_view problem = kindProblem(result); !problem.empty()) {
    std::string message = " evaluates to " + shownValue(result) + ", " + std::string(problem);
    if (result.valueKind == ValueKind::Boolean || result.valueKind == ValueKind::String) {
      message += "; " + std::string(taken);
    } else if (result.valueKind == ValueKind::Signed) {
      const uint64_t used =
          form == AddressForm::Size32 ? static_cast<uint32_t>(result.payload) : result.payload;
      message += "; it is taken as " + shownNumber(used);
    }
    return message;
  }
  if (!evaluation.unparsed.empty()) {
    const std::string& rest = evaluation.unparsed;
    const bool suffix = (rest == "K" || rest == "k" || rest == "M" || rest == "m") &&
                        trimmed(text).ends_with(rest);
    if (suffix) {
      const uint64_t unit = rest == "K" || rest == "k" ? 1024 : 1024 * 1024;
      return " evaluates to " + shownValue(result) + ": " +
                    (form == AddressForm::Start ? "a start" : "a size") +
                    " here takes no K or M suffix (write " +
                    shownNumber(result.payload * unit) + ")";
    }
    return " is read only up to \"" + rest + "\": the rest is ignored and the value is " +
                  shownValue(result);
  }
  if (form == AddressForm::Size32 && result.payload > UINT32_MAX) {
    return " evaluates to " + shownValue(result) + ", which does not fit in 32 bits; only " +
           shownNumber(static_cast<uint32_t>(result.payload)) + " is used";
  }
  return "";
}

void checkAddressText(CheckContext& context, const MemoryMapElement& element,
                      std::string_view attribute, std::string_view text, AddressForm form) {
  const std::string problem = *addressTextProblem(
      text, form, [&context](std::string_view text) { return &evaluateOnce(context, text); });
  if (!problem.empty()) context.findings.add(element, subject(element, attribute, text) + problem);
}

std::string_view trimmed(std::string_view text) {
  const std::string_view blanks = " \t\r\n";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::optional<uint64_t> wholeNumberOf(const Evaluation& evaluation) {
  const std::optional<ExpressionValue>& value = evaluation.value;
  if (!value || !evaluation.unparsed.empty() || !kindProblem(*value).empty()) return std::nullopt;
  return value->payload;
}

void checkDecimalMeantAsHex(CheckContext& context, const MemoryMapElement& element,
                            std::string_view attribute, std::string_view text) {
  constexpr uint64_t kKiB = 1024;
  // Up to 16 digits fit both readings in 64 bits; a leading 0 is no decimal.
  if (text.empty() || text.size() > 16 || text.front() == '0') return;
  uint64_t decimal = 0;
  uint64_t hex = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return;
    decimal = decimal * 10 + static_cast<uint64_t>(c - '0');
    hex = hex * 16 + static_cast<uint64_t>(c - '0');
  }
  if (decimal % kKiB == 0 || hex % kKiB != 0) return;
  context.findings.add(element, subject(element, attribute, text) + " is decimal " +
                                    std::string(text) + " (" + shownNumber(decimal) +
                                    "), not a multiple of 1 KiB; did you mean 0x" +
                                    std::string(text) + "?");
}

void checkSectionSize(CheckContext& context, const MemoryMapElement& element,
                      std::string_view text) {
  if (text.empty()) return;
  if (text.find(kSegmentSizeRemaining) != std::string_view::npos) return;
  if (parseFixedSize(text, context.symbols)) return;
  if (isPrefixWithoutDigits(trimmed(text))) {
    context.findings.add(element, subject(element, "size", text) + " has no digits after \"" +
                                      std::string(trimmed(text)) + "\"");
    return;
  }
  // An expression of numbers is fine for the linker as for the tool.
  if (wholeNumberOf(evaluateOnce(context, text))) return;
  context.findings.add(element, subject(element, "size", text) +
                                    " is not a size: expected a number with an optional K or M "
                                    "suffix, an expression of numbers, or a symbol given with "
                                    "-symbols");
}

void checkAlignment(CheckContext& context, const MemoryMapElement& element, std::string_view text) {
  if (text.empty()) return;
  CNumberPrefix number = parseCUnsignedPrefix(text);
  const uint32_t value = static_cast<uint32_t>(number.value);
  if (number.length != text.size()) {
    context.findings.add(element, subject(element, "alignment", text) +
                                      (number.length == 0 ? std::string(" is not a number")
                                                          : " is read only up to \"" +
                                                                std::string(text.substr(
                                                                    number.length)) + "\"") +
                                      ": the alignment is " + shownNumber(value) +
                                      " (a plain number of bytes is expected)");
    return;
  }
  if (value > 1 && !std::has_single_bit(value)) {
    context.findings.add(element, subject(element, "alignment", text) +
                                      " is not a power of two");
  }
}

void checkYesNo(CheckContext& context, const MemoryMapElement& element,
                std::string_view attribute, std::string_view text, std::string_view whenNo) {
  if (equalsIgnoringCase(text, "yes") || equalsIgnoringCase(text, "no")) return;
  context.findings.add(element, subject(element, attribute, text) +
                                    " is neither Yes nor No; it counts as No (" +
                                    std::string(whenNo) + ")");
}

void checkAccess(CheckContext& context, const MemoryMapElement& element, std::string_view text) {
  static constexpr std::string_view kAccess[] = {"ReadOnly", "ReadWrite", "WriteOnly", "None"};
  for (std::string_view known : kAccess) {
    if (text == known) return;
  }
  context.findings.add(element, subject(element, "access", text) +
                                    " is not one of ReadOnly, ReadWrite, WriteOnly, None; the "
                                    "segment is writable" +
                                    didYouMean(text, kAccess));
}

char firstBadNameCharacter(std::string_view name, bool spacesReplaced) {
  for (char c : name) {
    const bool fits = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '_' || c == '.' || c == '$' || (spacesReplaced && c == ' ');
    if (!fits) return c;
  }
  return 0;
}

void checkScriptName(CheckContext& context, const MemoryMapElement& element,
                     std::string_view attribute, std::string_view value) {
  const bool isName = attribute == "name";
  char bad = firstBadNameCharacter(value, /*spacesReplaced=*/isName);
  if (bad == 0) return;
  std::string what = isName ? std::string(kindWord(element.kind())) + " name \"" +
                                  std::string(value) + "\""
                            : subject(element, attribute, value);
  context.findings.add(element, what + " cannot stand in a linker script: " +
                                    shownCharacter(bad) + " is not allowed (" +
                                    (isName ? kNameRule : kSymbolRule) + ")");
}

}  // namespace vozo
