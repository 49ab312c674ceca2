#include "size/svg_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "size/human_units.h"
#include "size/printable_text.h"
#include "xml/xml_writer.h"

namespace vozo::size {

namespace {

constexpr double kWidth = 1000;
constexpr double kBarLeft = 170;
constexpr double kBarWidth = 600;
constexpr double kBarHeight = 34;
constexpr double kRowHeight = 84;
// Each line of a segment's key past the first adds this to its row.
constexpr double kKeyLineHeight = 16;
constexpr double kTop = 48;
constexpr double kLabelFontSize = 11;
// Width of one character of the monospace label font, in pixels.
constexpr double kCharWidth = 0.62 * kLabelFontSize;

constexpr const char* kPalette[] = {"#4e79a7", "#f28e2b", "#59a14f", "#e15759", "#76b7b2",
                                    "#edc948", "#b07aa1", "#ff9da7", "#9c755f", "#86bcb6"};

// Text as the picture holds it: printable, then escaped for XML.
std::string escaped(std::string_view text) {
  std::string out;
  appendXmlEscaped(out, printableText(text));
  return out;
}

std::string px(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

// Horizontal extent of the image [start, start + size) within the bar of
// `segment`, clipped to the bar; a non-empty image is at least one pixel wide.
struct Span {
  double x;
  double width;
};

Span spanOf(const SegmentUsage& segment, uint64_t start, uint64_t size) {
  auto position = [&](uint64_t address) {
    if (address <= segment.start || segment.size == 0) return 0.0;
    const double share = static_cast<double>(address - segment.start) / segment.size;
    return std::min(share, 1.0) * kBarWidth;
  };
  const uint64_t end = start + std::min(size, UINT64_MAX - start);
  double from = position(start);
  const double to = position(end);
  double width = to - from;
  if (size > 0 && width < 1) {
    width = 1;
    from = std::min(from, kBarWidth - 1);
  }
  return {kBarLeft + from, width};
}

// One entry of the key under a segment's bar, so that blocks too narrow for
// their label can still be told apart.
struct KeyEntry {
  std::string text;
  const char* colour;
  bool loadImage;
};

std::string blockStyle(const char* colour, bool loadImage) {
  std::string style = "fill=\"" + std::string(colour) + "\"";
  if (loadImage) {
    style +=
        " fill-opacity=\"0.45\" stroke=\"" + std::string(colour) + "\" stroke-dasharray=\"4 2\"";
  }
  return style;
}

void block(std::string& out, std::vector<KeyEntry>& key, const SegmentUsage& segment, double barTop,
           uint64_t start, uint64_t size, const std::string& label, const std::string& tooltip,
           const char* colour, bool loadImage) {
  if (size == 0) return;
  const std::string shownLabel = printableText(label);
  key.push_back({shownLabel + " " + humanBytes(size), colour, loadImage});
  const Span span = spanOf(segment, start, size);
  out += "  <g><title>" + escaped(tooltip) + "</title>\n";
  out += "    <rect x=\"" + px(span.x) + "\" y=\"" + px(barTop) + "\" width=\"" + px(span.width) +
         "\" height=\"" + px(kBarHeight) + "\" " + blockStyle(colour, loadImage) + "/>\n";
  if (static_cast<double>(shownLabel.size()) * kCharWidth + 6 <= span.width) {
    out += "    <text x=\"" + px(span.x + span.width / 2) + "\" y=\"" +
           px(barTop + kBarHeight / 2 + 4) + "\" class=\"label\">" + escaped(label) + "</text>\n";
  }
  out += "  </g>\n";
}

std::string sizeLine(const SegmentUsage& segment) {
  if (!segment.hasSections) return "unused";
  const std::string percent = percentText(segment.used, segment.size, 1);
  return humanBytes(segment.used) + " of " + humanBytes(segment.size) +
         (percent.empty() ? std::string() : " (" + percent + "%)");
}

// Every key entry under the bar, left to right, on as many lines as they
// need; returns the number of lines.
size_t keyLines(std::string& out, const std::vector<KeyEntry>& key, double y) {
  double x = kBarLeft;
  size_t lines = key.empty() ? 0 : 1;
  for (const KeyEntry& entry : key) {
    const double width = 16 + static_cast<double>(entry.text.size()) * kCharWidth + 14;
    if (x > kBarLeft && x + width > kWidth - 10) {
      x = kBarLeft;
      y += kKeyLineHeight;
      ++lines;
    }
    out += "  <rect x=\"" + px(x) + "\" y=\"" + px(y) + "\" width=\"11\" height=\"11\" " +
           blockStyle(entry.colour, entry.loadImage) + "/>\n";
    out += "  <text x=\"" + px(x + 16) + "\" y=\"" + px(y + 10) + "\" class=\"small\">" +
           escaped(entry.text) + "</text>\n";
    x += width;
  }
  return lines;
}

// Draws the segment's row from `top`; returns the row's height.
double segmentRow(std::string& out, const UsageModel& model, size_t index,
                  const std::vector<ListedImage>& images, double top) {
  const SegmentUsage& segment = model.segments[index];
  const bool overflow = segment.used > segment.size || !segment.outOfBounds.empty();
  const double barTop = top + 8;
  out += "  <text x=\"10\" y=\"" + px(top + 22) + "\" class=\"name\">" + escaped(segment.name) +
         "</text>\n";
  out += "  <text x=\"10\" y=\"" + px(top + 38) + "\" class=\"small\">" +
         hexAddress(segment.start) + " - " + hexAddress(segment.end()) + "</text>\n";
  out += "  <rect x=\"" + px(kBarLeft) + "\" y=\"" + px(barTop) + "\" width=\"" + px(kBarWidth) +
         "\" height=\"" + px(kBarHeight) + "\" fill=\"url(#free)\"/>\n";
  std::vector<KeyEntry> key;
  for (const ListedImage& image : images) {
    const SectionUsage& section = model.sections[image.section];
    const char* colour = kPalette[image.section % std::size(kPalette)];
    if (image.load) {
      block(out, key, segment, barTop, section.loadStart, section.size, section.name + " load",
            "load image of " + section.name + ": " + hexAddress(section.loadStart) + " - " +
                hexAddress(section.loadEnd()) + ", " + humanBytes(section.size) + ", runs at " +
                hexAddress(section.start),
            colour, true);
      continue;
    }
    std::string tooltip = section.name + ": " + hexAddress(section.start) + " - " +
                          hexAddress(section.end()) + ", " + humanBytes(section.size);
    if (section.loadImageMissing) {
      tooltip += ", no load image";
    } else if (section.kind == SectionKind::Copied) {
      tooltip += ", loaded from " + hexAddress(section.loadStart);
    }
    block(out, key, segment, barTop, section.start, section.size, section.name, tooltip, colour,
          false);
  }
  out += "  <rect x=\"" + px(kBarLeft) + "\" y=\"" + px(barTop) + "\" width=\"" + px(kBarWidth) +
         "\" height=\"" + px(kBarHeight) + "\" fill=\"none\" stroke=\"" +
         (overflow ? "#d00000\" stroke-width=\"3" : "#333333\" stroke-width=\"1") + "\"/>\n";
  out += "  <text x=\"" + px(kBarLeft + kBarWidth + 10) + "\" y=\"" + px(top + 22) +
         "\" class=\"small\">" + escaped(sizeLine(segment)) + "</text>\n";
  const size_t lines = keyLines(out, key, barTop + kBarHeight + 8);
  if (overflow) {
    out += "  <text x=\"" + px(kBarLeft + kBarWidth + 10) + "\" y=\"" + px(top + 38) +
           "\" class=\"alert\">OVERFLOW</text>\n";
  }
  return kRowHeight + kKeyLineHeight * static_cast<double>(lines > 1 ? lines - 1 : 0);
}

void legend(std::string& out, double top) {
  const std::string y = px(top);
  const std::string textY = px(top + 11);
  out += "  <rect x=\"10\" y=\"" + y + "\" width=\"14\" height=\"14\" " +
         blockStyle(kPalette[0], false) + "/>\n";
  out += "  <text x=\"30\" y=\"" + textY + "\" class=\"small\">section</text>\n";
  out += "  <rect x=\"110\" y=\"" + y + "\" width=\"14\" height=\"14\" " +
         blockStyle(kPalette[0], true) + "/>\n";
  out += "  <text x=\"130\" y=\"" + textY +
         "\" class=\"small\">load image, copied to its run address at start-up</text>\n";
  out += "  <rect x=\"470\" y=\"" + y +
         "\" width=\"14\" height=\"14\" fill=\"url(#free)\" stroke=\"#333333\"/>\n";
  out += "  <text x=\"490\" y=\"" + textY + "\" class=\"small\">free</text>\n";
}

}  // namespace

std::string svgReport(const UsageModel& model, const std::string& fileName) {
  std::string rows;
  double top = kTop;
  const std::vector<std::vector<ListedImage>> listed = listedImagesBySegment(model);
  for (size_t i = 0; i < model.segments.size(); ++i) {
    top += segmentRow(rows, model, i, listed[i], top);
  }
  const double height = top + 40;
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + px(kWidth) + "\" height=\"" +
         px(height) + "\" viewBox=\"0 0 " + px(kWidth) + " " + px(height) + "\">\n";
  out += "  <title>Memory usage of " + escaped(fileName) + "</title>\n";
  out +=
      "  <defs>\n"
      "    <pattern id=\"free\" width=\"8\" height=\"8\" patternUnits=\"userSpaceOnUse\" "
      "patternTransform=\"rotate(45)\">\n"
      "      <rect width=\"8\" height=\"8\" fill=\"#f4f4f4\"/>\n"
      "      <line x1=\"0\" y1=\"0\" x2=\"0\" y2=\"8\" stroke=\"#c8c8c8\" stroke-width=\"3\"/>\n"
      "    </pattern>\n"
      "    <style>\n"
      "      text { font-family: monospace; fill: #222222; }\n"
      "      .title { font-size: 16px; font-weight: bold; }\n"
      "      .name { font-size: 14px; font-weight: bold; }\n"
      "      .small { font-size: 11px; }\n"
      "      .label { font-size: 11px; text-anchor: middle; fill: #ffffff; }\n"
      "      .alert { font-size: 11px; font-weight: bold; fill: #d00000; }\n"
      "    </style>\n"
      "  </defs>\n";
  out += "  <rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  out += "  <text x=\"10\" y=\"26\" class=\"title\">Memory usage of " + escaped(fileName) +
         "</text>\n";
  out += rows;
  legend(out, height - 28);
  out += "</svg>\n";
  return out;
}

}  // namespace vozo::size
