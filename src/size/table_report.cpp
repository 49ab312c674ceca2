#include "size/table_report.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "size/human_units.h"
#include "size/printable_text.h"

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

// Left-aligned in `width` columns; a longer text is cut, never inside a
// UTF-8 character, and ends in '~'.
std::string cell(std::string text, size_t width) {
  if (text.size() > width) {
    size_t cut = width - 1;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
    text += '~';
  }
  text.resize(width, ' ');
  return text;
}

std::string rightCell(const std::string& text, size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

// The names as the table shows them.
struct Names {
  std::vector<std::string> segments;
  std::vector<std::string> sections;
};

Names printableNames(const UsageModel& model) {
  Names names;
  for (const SegmentUsage& segment : model.segments) {
    names.segments.push_back(printableText(segment.name));
  }
  for (const SectionUsage& section : model.sections) {
    names.sections.push_back(printableText(section.name));
  }
  return names;
}

Columns measure(const Names& names, bool withSections) {
  Columns columns;
  for (const std::string& name : names.segments) {
    columns.name = std::max(columns.name, name.size());
  }
  if (withSections) {
    for (const std::string& name : names.sections) {
      // Load image rows carry the suffix " load".
      columns.name = std::max(columns.name, kIndent + name.size() + 5);
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

std::string segmentRow(const SegmentUsage& segment, const std::string& name,
                       const Columns& columns) {
  std::string row = cell(name, columns.name) + "  " + hexAddress(segment.start) + "  " +
                    rightCell(humanBytes(segment.size), 10) + "  ";
  if (!segment.hasSections) return row + rightCell("unused", 10);
  row += rightCell(humanBytes(segment.used), 10) + "  " +
         rightCell(humanBytes(segment.free()), 10) + "  " + rightCell(percentCell(segment), 7) +
         "  " + bar(segment, columns.bar);
  return row;
}

std::string segmentName(const Names& names, std::optional<size_t> index) {
  return index ? names.segments[*index] : "no segment";
}

std::string sectionRow(const Columns& columns, const std::string& name, uint64_t address,
                       uint64_t size, const std::string& note) {
  return std::string(kIndent, ' ') + cell(name, columns.name - kIndent) + "  " +
         hexAddress(address) + "  " + rightCell(humanBytes(size), 10) + "  " + hexAddress(size) +
         note + "\n";
}

void appendSections(std::string& out, const UsageModel& model, const Names& names,
                    const std::vector<ListedImage>& images, const Columns& columns) {
  for (const ListedImage& image : images) {
    const SectionUsage& section = model.sections[image.section];
    const std::string& name = names.sections[image.section];
    if (image.load) {
      out += sectionRow(columns, name + " load", section.loadStart, section.size,
                        "  runs at " + hexAddress(section.start) + " (" +
                            segmentName(names, section.segment) + ")");
      continue;
    }
    std::string note;
    if (section.loadImageMissing) {
      note = "  no load image";
    } else if (section.kind == SectionKind::Copied) {
      note = "  load " + hexAddress(section.loadStart) + " (" +
             segmentName(names, section.loadSegment) + ")";
    } else if (section.kind == SectionKind::RunArea) {
      note = "  run area";
    }
    out += sectionRow(columns, name, section.start, section.size, note);
  }
}

}  // namespace

std::string tableReport(const UsageModel& model, const std::string& fileName, bool withSections) {
  const Names names = printableNames(model);
  const Columns columns = measure(names, withSections);
  std::string out = "Memory usage of " + printableText(fileName) + "\n";
  out += cell("Segment", columns.name) + "  " + cell("Start", 10) + "  " + rightCell("Size", 10) +
         "  " + rightCell("Used", 10) + "  " + rightCell("Free", 10) + "  " + rightCell("Use%", 7) +
         "\n";
  const std::vector<std::vector<ListedImage>> listed =
      withSections ? listedImagesBySegment(model) : std::vector<std::vector<ListedImage>>();
  for (size_t i = 0; i < model.segments.size(); ++i) {
    out += segmentRow(model.segments[i], names.segments[i], columns) + "\n";
    if (withSections) appendSections(out, model, names, listed[i], columns);
  }
  if (withSections) {
    for (size_t i = 0; i < model.sections.size(); ++i) {
      const SectionUsage& section = model.sections[i];
      if (!section.segment) {
        out += sectionRow(columns, names.sections[i], section.start, section.size,
                          "  outside every segment");
      }
    }
  }
  return out;
}

}  // namespace vozo::size
