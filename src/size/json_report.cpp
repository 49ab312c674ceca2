#include "size/json_report.h"

#include <cstdio>

#include "size/human_units.h"

namespace vozo::size {

namespace {

std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", c);
          out += escape;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string number(uint64_t value) {
  return std::to_string(value);
}

std::string segmentName(const UsageModel& model, std::optional<size_t> index) {
  return index ? quoted(model.segments[*index].name) : "null";
}

const char* kindName(SectionKind kind) {
  switch (kind) {
    case SectionKind::Copied:
      return "copied";
    case SectionKind::RunArea:
      return "run_area";
    default:
      return "placed";
  }
}

// Field lists are written "key": value, joined by ", " inside one object.
class Object {
 public:
  Object& field(std::string_view key, const std::string& value) {
    text_ += text_.empty() ? "{" : ", ";
    text_ += quoted(key) + ": " + value;
    return *this;
  }
  std::string done() const { return text_ + "}"; }

 private:
  std::string text_;
};

std::string budgetOf(const std::vector<Budget>& budgets, const std::string& segment) {
  std::string found = "null";
  for (const Budget& budget : budgets) {
    if (budget.segment == segment) found = budget.percentText;
  }
  return found;
}

std::string percentNumber(const SegmentUsage& segment) {
  const std::string percent = percentText(segment.used, segment.size, 2);
  return percent.empty() ? "null" : percent;
}

std::string segmentObject(const SegmentUsage& segment, const std::vector<Budget>& budgets) {
  bool overBudget = false;
  for (const Budget& budget : budgets) {
    if (budget.segment == segment.name && budget.exceededBy(segment)) overBudget = true;
  }
  return Object()
      .field("name", quoted(segment.name))
      .field("start", number(segment.start))
      .field("end", number(segment.end()))
      .field("size", number(segment.size))
      .field("used", number(segment.used))
      .field("free", std::to_string(segment.free()))
      .field("percent", percentNumber(segment))
      .field("used_end", segment.usedEnd ? number(*segment.usedEnd) : "null")
      .field("has_sections", segment.hasSections ? "true" : "false")
      .field("overflow",
             segment.used > segment.size || !segment.outOfBounds.empty() ? "true" : "false")
      .field("budget", budgetOf(budgets, segment.name))
      .field("over_budget", overBudget ? "true" : "false")
      .done();
}

std::string sectionObject(const UsageModel& model, const SectionUsage& section) {
  return Object()
      .field("name", quoted(section.name))
      .field("kind", quoted(kindName(section.kind)))
      .field("start", number(section.start))
      .field("end", number(section.end()))
      .field("size", number(section.size))
      .field("segment", segmentName(model, section.segment))
      .field("load_start", number(section.loadStart))
      .field("load_end", number(section.loadEnd()))
      .field("load_segment", segmentName(model, section.loadSegment))
      .done();
}

template <typename Items, typename Render>
std::string array(const Items& items, Render render) {
  std::string out = "[";
  for (const auto& item : items) {
    out += out.size() == 1 ? "\n    " : ",\n    ";
    out += render(item);
  }
  return out + (out.size() == 1 ? "]" : "\n  ]");
}

}  // namespace

std::string jsonReport(const UsageModel& model, const std::string& fileName,
                       const std::vector<Budget>& budgets, const std::vector<std::string>& errors) {
  std::string out = "{\n  \"format\": \"vozo-size\",\n  \"version\": 1,\n";
  out += "  \"file\": " + quoted(fileName) + ",\n";
  out += "  \"segments\": " +
         array(model.segments, [&](const SegmentUsage& s) { return segmentObject(s, budgets); }) +
         ",\n";
  out += "  \"sections\": " +
         array(model.sections, [&](const SectionUsage& s) { return sectionObject(model, s); }) +
         ",\n";
  out += "  \"errors\": " + array(errors, [](const std::string& e) { return quoted(e); }) + "\n}\n";
  return out;
}

}  // namespace vozo::size
