// The parser's light scanner for the content of an element that the content
// filter may leave out (xml/content_filter.h): it reads only the plain forms
// of tags and attributes, makes no nodes, and asks the filter about each
// descendant. When it or the filter declines, the ordinary parse reads the
// content instead, from where it starts.

#include "xml/byte_scans.h"
#include "xml/same_bytes.h"
#include "xml/xml_parser.h"

namespace vozo {

namespace {

using scan::findTagStart;
using scan::findValueStop;
using scan::hasClass;
using scan::kAttributeStart;
using scan::kName;
using scan::kSpace;

inline void skipSpaceAt(char*& p, uint32_t& lines) {
  while (hasClass(*p, kSpace)) lines += *p++ == '\n';
}

inline std::string_view readNameAt(char*& p) {
  char* start = p;
  while (hasClass(*p, kName)) ++p;
  return std::string_view(start, p - start);
}

// At the name after "</": reads "name>" and checks that the name begins
// `openName`, as the ordinary parse accepts it. False otherwise.
inline bool readEndTag(char*& p, uint32_t& lines, std::string_view openName) {
  std::string_view name = readNameAt(p);
  skipSpaceAt(p, lines);
  if (*p != '>' || !openName.starts_with(name)) return false;
  ++p;
  return true;
}

// An attribute name where `expected`, the name at the same place in the
// last tag of this name, is followed by "=" (which ends a name as the
// byte-wise read would); empty when it is not there.
inline std::string_view repeatedName(const char* p, const char* end, std::string_view expected) {
  if (static_cast<size_t>(end - p) > expected.size() &&
      sameBytes(p, expected.data(), expected.size()) && p[expected.size()] == '=') {
    return std::string_view(p, expected.size());
  }
  return {};
}

// At the opening quote: reads a value holding none of the bytes that need
// the ordinary parse (references, "$", NUL) up to its closing quote, and
// steps past that quote. False when the value is not plain.
inline bool readPlainValue(char*& p, uint32_t& lines, char* end, std::string_view& value) {
  const char quote = *p;
  if (quote != '"' && quote != '\'') return false;
  char* valueStart = ++p;
  for (;;) {
    p = findValueStop(p, end);
    if (*p == quote) break;
    if (*p == '\n') {
      ++lines;
    } else if (*p != '"' && *p != '\'') {
      return false;
    }
    ++p;  // the other quote or a newline
  }
  value = std::string_view(valueStart, p - valueStart);
  ++p;
  return true;
}

// Reads the attributes of a start tag into `attributes`. Descendants of one
// tag mostly repeat the attribute names of the one before (`shape`, null
// when there is none): a name is first compared with the one at its place
// there. `namesAsBefore` tells whether every name matched and the count is
// the same. False when an attribute is not in the plain form.
inline bool readAttributes(char*& p, uint32_t& lines, char* end,
                           const std::vector<std::string_view>* shape,
                           std::vector<XMLAttribute>& attributes, bool& namesAsBefore) {
  namesAsBefore = shape != nullptr;
  while (hasClass(*p, kAttributeStart)) {
    std::string_view name;
    const size_t index = attributes.size();
    if (namesAsBefore && index < shape->size()) {
      name = repeatedName(p, end, (*shape)[index]);
      p += name.size();
    }
    if (name.empty()) {
      namesAsBefore = false;
      name = readNameAt(p);
      skipSpaceAt(p, lines);
    }
    if (*p != '=') return false;
    ++p;
    skipSpaceAt(p, lines);
    std::string_view value;
    if (!readPlainValue(p, lines, end, value)) return false;
    attributes.push_back({name, value});
    skipSpaceAt(p, lines);
  }
  namesAsBefore = namesAsBefore && attributes.size() == shape->size();
  return true;
}

// Reads the ">" or "/>" that ends a start tag; false at any other byte.
inline bool readStartTagEnd(char*& p, bool& selfClosing) {
  selfClosing = *p == '/' && p[1] == '>';
  if (selfClosing) {
    p += 2;
    return true;
  }
  if (*p != '>') return false;
  ++p;
  return true;
}

}  // namespace

void XMLParser::leaveOutContent(XMLElement& element) {
  // Scans that would stop where the last one stopped get a few tries only.
  constexpr int kScansBeforeFailure = 3;
  if (p_ <= scanFailedAt_ && scansBeforeFailure_ == 0) return;
  std::span<XMLElement* const> enclosing(openElements_.data(), openElements_.size() - 1);
  if (!filter_->mayLeaveOut(element, enclosing)) return;
  char* failedAt = nullptr;
  char* end = scanPlainContent(element.tagName(), failedAt);
  if (end == nullptr) {
    if (failedAt == scanFailedAt_) {
      --scansBeforeFailure_;
    } else {
      scanFailedAt_ = failedAt;
      scansBeforeFailure_ = kScansBeforeFailure;
    }
    return;
  }
  p_ = end;
  closeTopElement();
  filter_->leftOut(element);
}

char* XMLParser::scanPlainContent(std::string_view outerName, char*& failedAt) {
  // Each step follows what the ordinary parse does with the same bytes (see
  // startTag and endTag), taking only the plain forms. Newlines are counted
  // on the way, so that the line count can step over the content.
  std::vector<std::string_view>& open = scanOpenNames_;
  std::vector<XMLAttribute>& attributes = scanAttributes_;
  size_t shapeCount = 0;
  open.clear();
  lineAt(p_);
  char* p = p_;
  uint32_t lines = 0;
  auto stop = [&failedAt](char* at) -> char* {
    failedAt = at;
    return nullptr;
  };
  for (;;) {
    // Character data up to the next tag; it is not kept.
    p = findTagStart(p, end_, lines);
    if (*p != '<') return stop(p);
    ++p;
    if (*p == '/') {
      ++p;
      if (!readEndTag(p, lines, open.empty() ? outerName : open.back())) return stop(p);
      if (open.empty()) {
        linesBeforeMark_ += lines;
        lineMark_ = p;
        return p;
      }
      open.pop_back();
      continue;
    }
    std::string_view tagName = readNameAt(p);
    skipSpaceAt(p, lines);
    ScanShape* shape = nullptr;
    for (size_t i = 0; i < shapeCount; ++i) {
      if (sameName(scanShapes_[i].tagName, tagName)) shape = &scanShapes_[i];
    }
    attributes.clear();
    bool namesAsBefore = false;
    if (!readAttributes(p, lines, end_, shape ? &shape->names : nullptr, attributes,
                        namesAsBefore)) {
      return stop(p);
    }
    if (!namesAsBefore) {
      if (shape == nullptr) {
        // The shapes of earlier scans are reused, their lists kept allocated.
        if (shapeCount == scanShapes_.size()) scanShapes_.emplace_back();
        shape = &scanShapes_[shapeCount++];
      }
      shape->tagName = tagName;
      shape->names.clear();
      for (const XMLAttribute& attribute : attributes) shape->names.push_back(attribute.name);
    }
    bool selfClosing = false;
    if (!readStartTagEnd(p, selfClosing)) return stop(p);
    if (!filter_->acceptDescendant(tagName, attributes, namesAsBefore)) return stop(p);
    if (!selfClosing) open.push_back(tagName);
  }
}

}  // namespace vozo
