#include "size/table_report.h"

#include <algorithm>
#include <cmath>

#include "size/human_units.h"

namespace vozo::size {

namespace {

constexpr size_t kLineWidth = 100;
constexpr size_t kMaxNameWidth = 24;
constexpr size_t kMaxBarWidth = 30;
constexpr size_t kIndent = 2;

struct Columns {
  size_t name = 7;  // "Segment"
  size_t bar = 0;
};

// Left-aligned in `width` columns; a longer text is cut and ends in '~'.
std::string cell(std::string text, size_t width) {
  if (text.size() > width) {
    text.resize(width - 1);
    text += '~';
  }
  text.resize(width, ' ');
  return text;
}

std::string rightCell(const std::string& text, size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

Columns measure(const UsageModel& model, bool withSections) {
  Columns columns;
  for (const SegmentUsage& segment : model.segments) {
    columns.name = std::max(columns.name, segment.name.size());
  }
  if (withSections) {
    for (const SectionUsage& section : model.sections) {
      // Load image rows carry the suffix " load".
      columns.name = std::max(columns.name, kIndent + section.name.size() + 5);
    }
  }
  columns.name = std::min(columns.name, kMaxNameWidth);
  // name, start, size, used, free, percent, each followed by two spaces, then "[bar]".
  const size_t fixed = columns.name + 2 + 10 + 2 + 10 + 2 + 10 + 2 + 10 + 2 + 7 + 2 + 2;
  columns.bar = std::min(kMaxBarWidth, kLineWidth - fixed);
  return columns;
}

std::string bar(const SegmentUsage& segment, size_t width) {
  std::string text(1, '[');
  if (segment.used > segment.size) {
    text.append(width, '!');
  } else {
    const double share = segment.size ? static_cast<double>(segment.used) / segment.size : 0;
    size_t filled = static_cast<size_t>(std::lround(share * static_cast<double>(width)));
    if (filled == 0 && segment.used > 0) filled = 1;
    text.append(filled, '#').append(width - filled, '.');
  }
  text += ']';
  return text;
}

std::string percentCell(const SegmentUsage& segment) {
  const std::string percent = percentText(segment.used, segment.size, 1);
  return percent.empty() || percent.size() > 5 ? ">999%" : percent + "%";
}

std::string segmentRow(const SegmentUsage& segment, const Columns& columns) {
  std::string row = cell(segment.name, columns.name) + "  " + hexAddress(segment.start) + "  " +
                    rightCell(humanBytes(static_cast<int64_t>(segment.size)), 10) + "  ";
  if (!segment.hasSections) return row + rightCell("unused", 10);
  row += rightCell(humanBytes(static_cast<int64_t>(segment.used)), 10) + "  " +
         rightCell(humanBytes(segment.free()), 10) + "  " + rightCell(percentCell(segment), 7) +
         "  " + bar(segment, columns.bar);
  return row;
}

std::string segmentName(const UsageModel& model, std::optional<size_t> index) {
  return index ? model.segments[*index].name : "no segment";
}

std::string sectionRow(const Columns& columns, const std::string& name, uint64_t address,
                       uint64_t size, const std::string& note) {
  return std::string(kIndent, ' ') + cell(name, columns.name - kIndent) + "  " +
         hexAddress(address) + "  " + rightCell(humanBytes(static_cast<int64_t>(size)), 10) + "  " +
         hexAddress(size) + note + "\n";
}

void appendSections(std::string& out, const UsageModel& model, size_t segmentIndex,
                    const Columns& columns) {
  for (const SectionUsage& section : model.sections) {
    if (section.segment == segmentIndex && !section.sameBytesAsCopied) {
      std::string note;
      if (section.kind == SectionKind::Copied) {
        note = "  load " + hexAddress(section.loadStart) + " (" +
               segmentName(model, section.loadSegment) + ")";
      } else if (section.kind == SectionKind::RunArea) {
        note = "  run area";
      }
      out += sectionRow(columns, section.name, section.start, section.size, note);
    }
    if (section.kind == SectionKind::Copied && section.loadSegment == segmentIndex) {
      out += sectionRow(columns, section.name + " load", section.loadStart, section.size,
                        "  runs at " + hexAddress(section.start) + " (" +
                            segmentName(model, section.segment) + ")");
    }
  }
}

}  // namespace

std::string tableReport(const UsageModel& model, const std::string& fileName, bool withSections) {
  const Columns columns = measure(model, withSections);
  std::string out = "Memory usage of " + fileName + "\n";
  out += cell("Segment", columns.name) + "  " + cell("Start", 10) + "  " + rightCell("Size", 10) +
         "  " + rightCell("Used", 10) + "  " + rightCell("Free", 10) + "  " + rightCell("Use%", 7) +
         "\n";
  for (size_t i = 0; i < model.segments.size(); ++i) {
    out += segmentRow(model.segments[i], columns) + "\n";
    if (withSections) appendSections(out, model, i, columns);
  }
  if (withSections) {
    for (const SectionUsage& section : model.sections) {
      if (!section.segment) {
        out += sectionRow(columns, section.name, section.start, section.size,
                          "  outside every segment");
      }
    }
  }
  return out;
}

}  // namespace vozo::size
