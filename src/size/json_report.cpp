#include "size/json_report.h"

#include <cstdio>

#include "size/human_units.h"
#include "size/printable_text.h"

namespace vozo::size {

namespace {

// A JSON string holding `text`. JSON text is UTF-8: each byte of malformed
// UTF-8 becomes U+FFFD, the replacement character.
std::string quoted(std::string_view text) {
  std::string out = "\"";
  while (!text.empty()) {
    const size_t length = utf8CharacterLength(text);
    if (length != 1) {
      out.append(length == 0 ? std::string_view("\\ufffd") : text.substr(0, length));
      text.remove_prefix(length == 0 ? 1 : length);
      continue;
    }
    const char c = text.front();
    text.remove_prefix(1);
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

// What the budgets given say about one segment: the last budget given for
// it, and whether any of its budgets is exceeded.
struct SegmentBudget {
  const Budget* last = nullptr;
  bool exceeded = false;
};

std::vector<SegmentBudget> budgetsBySegment(const UsageModel& model,
                                            const std::vector<Budget>& budgets) {
  std::vector<SegmentBudget> bySegment(model.segments.size());
  for (const Budget& budget : budgets) {
    if (std::optional<size_t> index = model.findSegment(budget.segment)) {
      bySegment[*index].last = &budget;
      bySegment[*index].exceeded |= budget.exceededBy(model.segments[*index]);
    }
  }
  return bySegment;
}

std::string percentNumber(const SegmentUsage& segment) {
  const std::string percent = percentText(segment.used, segment.size, 2);
  return percent.empty() ? "null" : percent;
}

std::string segmentObject(const SegmentUsage& segment, const SegmentBudget& budget) {
  return Object()
      .field("name", quoted(segment.name))
      .field("start", number(segment.start))
      .field("end", number(segment.end()))
      .field("size", number(segment.size))
      .field("used", number(segment.used))
      .field("free", decimalBytes(segment.free()))
      .field("percent", percentNumber(segment))
      .field("used_end", segment.usedEnd ? number(*segment.usedEnd) : "null")
      .field("has_sections", segment.hasSections ? "true" : "false")
      .field("overflow",
             segment.used > segment.size || !segment.outOfBounds.empty() ? "true" : "false")
      .field("budget", budget.last ? budget.last->percentText : "null")
      .field("over_budget", budget.exceeded ? "true" : "false")
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
      .field("load_image_missing", section.loadImageMissing ? "true" : "false")
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
  const std::vector<SegmentBudget> segmentBudgets = budgetsBySegment(model, budgets);
  auto segment = [&](const SegmentUsage& s) {
    return segmentObject(s, segmentBudgets[static_cast<size_t>(&s - model.segments.data())]);
  };
  out += "  \"segments\": " + array(model.segments, segment) + ",\n";
  out += "  \"sections\": " +
         array(model.sections, [&](const SectionUsage& s) { return sectionObject(model, s); }) +
         ",\n";
  out += "  \"errors\": " + array(errors, [](const std::string& e) { return quoted(e); }) + "\n}\n";
  return out;
}

}  // namespace vozo::size
