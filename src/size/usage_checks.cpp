#include "size/usage_checks.h"

#include <stdexcept>

#include "size/human_units.h"

namespace vozo::size {

namespace {

std::string amount(uint64_t bytes) {
  return humanBytes(bytes) + " (" + std::to_string(bytes) + " bytes)";
}

}  // namespace

bool Budget::exceededBy(const SegmentUsage& usage) const {
  // used / size > numerator / (100 * denominator), without rounding.
  return static_cast<unsigned __int128>(usage.used) * 100 * denominator >
         static_cast<unsigned __int128>(numerator) * usage.size;
}

Budget parseBudget(std::string_view text) {
  const size_t equals = text.rfind('=');
  if (equals == std::string_view::npos || equals == 0) {
    throw std::invalid_argument("budget '" + std::string(text) + "' is not <segment>=<percent>");
  }
  Budget budget;
  budget.segment = text.substr(0, equals);
  std::string_view percent = text.substr(equals + 1);
  if (percent.ends_with('%')) percent.remove_suffix(1);
  bool digits = false;
  bool point = false;
  bool valid = percent.size() <= 12;  // keeps numerator * size within 128 bits
  for (char c : percent) {
    if (c >= '0' && c <= '9') {
      budget.numerator = budget.numerator * 10 + static_cast<uint64_t>(c - '0');
      if (point) budget.denominator *= 10;
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      valid = false;
    }
  }
  if (!digits || !valid) {
    throw std::invalid_argument("budget for " + budget.segment + ": '" +
                                std::string(text.substr(equals + 1)) +
                                "' is not a percentage (a number such as 80, 87.5 or 80%)");
  }
  // Written back in a canonical decimal form, usable as a JSON number.
  std::string whole = std::to_string(budget.numerator / budget.denominator);
  std::string fraction = std::to_string(budget.numerator % budget.denominator + budget.denominator);
  fraction.erase(0, 1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  budget.percentText = fraction.empty() ? whole : whole + "." + fraction;
  return budget;
}

std::vector<std::string> checkUsage(const UsageModel& model, const std::vector<Budget>& budgets) {
  std::vector<std::string> failures;
  for (const SegmentUsage& segment : model.segments) {
    if (segment.used > segment.size) {
      failures.push_back("segment " + segment.name + " overflows: its sections use " +
                         amount(segment.used) + ", its size is " + amount(segment.size));
    }
    for (const std::string& image : segment.outOfBounds) {
      failures.push_back(image + " reaches outside segment " + segment.name + " [" +
                         hexAddress(segment.start) + ", " + hexAddress(segment.end()) + ")");
    }
  }
  for (const SectionUsage& section : model.sections) {
    if (!section.segment && section.size > 0) {
      failures.push_back("section " + section.name + " at " + hexAddress(section.start) +
                         " lies outside every segment");
    }
    if (section.loadImageMissing) {
      failures.push_back("section " + section.name + " has no load image: its " +
                         std::to_string(section.size) + " bytes are copied at start-up from " +
                         hexAddress(section.loadStart) + " to " + hexAddress(section.start) +
                         ", but the file holds none of them (it was linked NOLOAD; a section "
                         "with runin needs load=\"Yes\")");
    }
  }
  for (const Budget& budget : budgets) {
    const std::optional<size_t> index = model.findSegment(budget.segment);
    if (!index) continue;
    const SegmentUsage& segment = model.segments[*index];
    if (budget.exceededBy(segment)) {
      const std::string percent = percentText(segment.used, segment.size, 2);
      failures.push_back("segment " + segment.name + " uses " +
                         (percent.empty() ? "all" : percent + "%") + " (" +
                         std::to_string(segment.used) + " of " + std::to_string(segment.size) +
                         " bytes), over its budget of " + budget.percentText + "%");
    }
  }
  return failures;
}

}  // namespace vozo::size
