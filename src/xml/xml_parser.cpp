#include "xml/xml_parser.h"

#include <algorithm>
#include <cstring>

#include "xml/byte_scans.h"
#include "xml/same_bytes.h"

namespace vozo {

namespace {

using scan::countNewlines;
using scan::findByte;
using scan::findTagStart;
using scan::findValueStop;
using scan::hasClass;
using scan::kAttributeStart;
using scan::kName;
using scan::kSpace;

// Digit value in a character reference: 0-9, then 10-35 for 'a'-'z'; every
// other character counts as 0 (upper-case letters included).
inline uint32_t digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  return 0;
}

// The byte that the reference between "&" and ";" stands for; false when it
// is not one the parser knows.
bool decodeReference(std::string_view reference, char& out) {
  if (reference.empty()) return false;
  if (reference[0] == '#') {
    std::string_view digits = reference.substr(1);
    uint32_t base = 10;
    if (!digits.empty() && digits[0] == 'x') {
      base = 16;
      digits.remove_prefix(1);
    }
    uint32_t value = 0;  // wraps in 32 bits; only the low byte is used
    for (char c : digits) value = value * base + digitValue(c);
    out = static_cast<char>(value & 0xFF);
    return true;
  }
  if (reference == "lt") {
    out = '<';
  } else if (reference == "gt") {
    out = '>';
  } else if (reference == "amp") {
    out = '&';
  } else if (reference == "apos") {
    out = '\'';
  } else if (reference == "quot") {
    out = '"';
  } else {
    return false;
  }
  return true;
}

// Byte-wise name order; attribute names are never empty and mostly differ
// in their first byte.
inline bool nameLess(std::string_view a, std::string_view b) {
  if (a[0] != b[0]) return static_cast<unsigned char>(a[0]) < static_cast<unsigned char>(b[0]);
  return a < b;
}

}  // namespace

XMLParser::XMLParser(XMLDocument& document, char* begin, char* end, ContentFilter* filter)
    : document_(document),
      arena_(document.arena()),
      keepCharacterData_(document.keepCharacterData()),
      sourceFile_(document.parsingFile_),
      end_(end),
      p_(begin),
      lineMark_(begin),
      filter_(filter) {}

bool XMLParser::run() {
  skipSpace();
  bool declarationStop = false;
  if (*p_ == '<') {
    for (;;) {
      // At "<".
      int32_t line = lineAt(p_);
      ++p_;
      flushTerminator();  // character data may end at this "<"
      Outcome outcome;
      switch (*p_) {
        case '?':
          outcome = processingInstruction();
          declarationStop = outcome == Outcome::Stop;
          break;
        case '!':
          outcome = markupDeclaration(line);
          break;
        case '/':
          outcome = endTag();
          break;
        default:
          outcome = startTag(line);
          break;
      }
      if (outcome == Outcome::Stop || !characterData()) break;
    }
  }
  // Elements still open are dropped; they stay unreachable in the arena.
  document_.root_ = declarationStop ? nullptr : root_;
  document_.unclosedElement_ = openElements_.empty() ? nullptr : openElements_.front();
  if (error_ == 0) return true;
  document_.setError(error_ == 1 ? "bad tagName" : "tagName mismatch", errorLine_);
  return false;
}

// ---- Scanning ----

void XMLParser::skipSpace() {
  while (hasClass(*p_, kSpace)) ++p_;
}

std::string_view XMLParser::readName() {
  char* start = p_;
  while (hasClass(*p_, kName)) ++p_;
  tokenEnd_ = p_;
  skipSpace();
  return std::string_view(start, tokenEnd_ - start);
}

std::span<char> XMLParser::readQuotedValue(char quote) {
  // The opening quote is at p_; an unclosed value runs to the end of the text.
  char* valueStart = ++p_;
  char* valueEnd = findByte(p_, end_, quote);
  if (!valueEnd) valueEnd = end_;
  p_ = valueEnd;
  if (*p_ != '\0') ++p_;
  skipSpace();
  return std::span<char>(valueStart, valueEnd);
}

int32_t XMLParser::lineAt(const char* position) {
  // Positions asked for never go backwards (bytes before the mark may have
  // been rewritten).
  if (position > lineMark_) {
    linesBeforeMark_ += static_cast<uint32_t>(countNewlines(lineMark_, position));
    lineMark_ = position;
  }
  return static_cast<int32_t>(linesBeforeMark_);
}

std::string_view XMLParser::inPlace(std::string_view text) {
  document_.inPlaceString_ = text;
  return text;
}

void XMLParser::terminateAt(char* at) {
  // Only a newline changes what the line count will see.
  if (*at == '\n') lineAt(p_);
  *at = '\0';
}

void XMLParser::flushTerminator() {
  if (pendingTerminator_) terminateAt(pendingTerminator_);
  pendingTerminator_ = nullptr;
}

char* XMLParser::findClosing(char* from, char close) const {
  // A pair not followed by ">" is passed over as a whole: "--->" does not
  // close a comment, "---->" does.
  char* q = from;
  while ((q = findByte(q, end_, close)) != nullptr) {
    if (q[1] != close) {
      q += 1;
    } else if (q[2] == '>') {
      return q;
    } else {
      q += 2;
    }
  }
  return nullptr;
}

void XMLParser::fail(int code) {
  error_ = code;
  errorLine_ = static_cast<uint32_t>(lineAt(p_));
}

// ---- Markup ----

// At "?" after "<". Only the XML declaration (target "", "x", "xm" or "xml")
// is read; any other instruction is left to character data.
XMLParser::Outcome XMLParser::processingInstruction() {
  ++p_;
  std::string_view target = readName();
  if (!std::string_view("xml").starts_with(target)) return Outcome::CharacterData;

  std::string_view name = readName();
  while (*p_ != '\0') {
    if (*p_ == '?') {
      ++p_;
      if (*p_ == '>') ++p_;
      return Outcome::CharacterData;
    }
    if (*p_ != '=') {
      // A byte that is neither a name character, white space, "=" nor "?"
      // (as ";" in <?xml version="1.0" ; ?>) would never be stepped over:
      // the declaration ends there and the rest is character data.
      if (name.empty()) return Outcome::CharacterData;
      name = readName();
      continue;
    }
    ++p_;
    skipSpace();
    char quote = *p_;
    // An unquoted value ends the whole parse, without a root and without an
    // error.
    if (quote != '"' && quote != '\'') return Outcome::Stop;
    std::span<char> raw = readQuotedValue(quote);
    std::string_view value(raw.data(), raw.size());
    if (name == "version") {
      document_.version_ = std::string(value);
    } else if (name == "encoding") {
      document_.encoding_ = std::string(value);
    }
    name = readName();
  }
  return Outcome::CharacterData;
}

// At "!" after "<": comment, CDATA section, DOCTYPE or something skipped.
XMLParser::Outcome XMLParser::markupDeclaration(int32_t line) {
  if (p_[1] == '-') {
    if (p_[2] == '-') return comment(line);
    p_ += 2;
    return Outcome::CharacterData;
  }
  ++p_;
  std::string_view name = readName();
  if (name.empty()) return cdataSection(line);
  if (std::string_view("DOCTYPE").starts_with(name)) {
    // Only the plain form "<!DOCTYPE name>" records the name.
    std::string_view doctype = readName();
    if (*p_ == '>') {
      document_.doctype_ = std::string(doctype);
      ++p_;
    }
  }
  return Outcome::CharacterData;
}

// At "!" of "<!--".
XMLParser::Outcome XMLParser::comment(int32_t line) {
  char* textStart = p_ + 3;
  char* close = findClosing(textStart, '-');
  if (!close) {
    p_ = end_;
    return Outcome::CharacterData;
  }
  p_ = close + 3;
  if (keepCharacterData_ && !openElements_.empty()) {
    terminateAt(close);
    XMLComment* node = document_.createComment(inPlace(textStart, close - textStart));
    node->setSource(sourceFile_, line);
    openElements_.back()->appendChild(node);
  }
  return Outcome::CharacterData;
}

// After "<!" and any white space, at a byte that is not a name character.
// The usual form is "<![CDATA[", but only the shape is followed: one byte, a
// name, one more byte.
XMLParser::Outcome XMLParser::cdataSection(int32_t line) {
  if (*p_ != '\0') ++p_;
  readName();
  if (*p_ != '\0') ++p_;
  char* contentStart = p_;
  char* close = findClosing(contentStart, ']');
  if (!close) {
    p_ = end_;
    return Outcome::CharacterData;
  }
  p_ = close + 3;
  // Kept whether or not character data is.
  if (!openElements_.empty()) {
    terminateAt(close);
    XMLCDATASection* node =
        document_.createCDATASection(inPlace(contentStart, close - contentStart));
    node->setSource(sourceFile_, line);
    openElements_.back()->appendChild(node);
  }
  return Outcome::CharacterData;
}

// After "<", at the first byte of the tag name.
XMLParser::Outcome XMLParser::startTag(int32_t line) {
  std::string_view tagName = readName();
  char* tagEnd = tokenEnd_;
  XMLElement* element = document_.createElement(inPlace(tagName));
  element->setSource(sourceFile_, line);
  openElements_.push_back(element);

  pendingAttributes_.clear();
  for (;;) {
    char c = *p_;
    if (c == '/' || c == '>' || c == '\0') break;
    if (!hasClass(c, kAttributeStart)) {
      fail(1);
      return Outcome::Stop;
    }
    std::string_view name = readName();
    char* nameEnd = tokenEnd_;
    if (*p_ != '=') continue;  // no value: ignored
    ++p_;
    skipSpace();
    char quote = *p_;
    if (quote == '\0') break;
    if (quote != '"' && quote != '\'') continue;  // unquoted: dropped, go on at this byte
    std::span<char> raw = readQuotedValue(quote);
    char* valueStart = raw.data();
    size_t length = decodeInPlace(valueStart, valueStart + raw.size(), false);
    terminateAt(nameEnd);
    terminateAt(valueStart + length);
    pendingAttributes_.push_back({{name, std::string_view(valueStart, length)},
                                  static_cast<uint32_t>(pendingAttributes_.size())});
  }
  storeAttributes(*element);

  Outcome outcome = Outcome::CharacterData;
  const bool opened = *p_ == '>';
  if (opened) {
    ++p_;
  } else if (*p_ == '/') {
    outcome = endTag();
  }
  // The byte after the tag name ("/", ">" or white space) has been passed.
  if (outcome == Outcome::CharacterData && tagEnd < p_) terminateAt(tagEnd);
  if (opened && filter_ != nullptr) leaveOutContent(*element);
  return outcome;
}

// ---- Content left out ----

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
  // The shapes of earlier scans are reused, their lists kept allocated.
  std::vector<ScanShape>& shapes = scanShapes_;
  size_t shapeCount = 0;
  open.clear();
  lineAt(p_);
  uint32_t lines = 0;
  char* p = p_;
  auto stop = [&failedAt](char* at) -> char* {
    failedAt = at;
    return nullptr;
  };
  auto skipSpaceAt = [&lines](char*& at) {
    while (hasClass(*at, kSpace)) lines += *at++ == '\n';
  };
  auto nameAt = [](char*& at) {
    char* start = at;
    while (hasClass(*at, kName)) ++at;
    return std::string_view(start, at - start);
  };
  for (;;) {
    // Character data up to the next tag; it is not kept.
    p = findTagStart(p, end_, lines);
    if (*p != '<') return stop(p);
    ++p;
    if (*p == '/') {
      ++p;
      std::string_view name = nameAt(p);
      skipSpaceAt(p);
      std::string_view openName = open.empty() ? outerName : open.back();
      if (*p != '>' || !openName.starts_with(name)) return stop(p);
      ++p;
      if (open.empty()) {
        linesBeforeMark_ += lines;
        lineMark_ = p;
        return p;
      }
      open.pop_back();
      continue;
    }
    std::string_view tagName = nameAt(p);
    skipSpaceAt(p);
    attributes.clear();
    // Descendants of one tag mostly repeat the attribute names of the one
    // before: a name is first compared with the one at its place there
    // (followed by "=", which ends a name as the byte-wise read would).
    ScanShape* shape = nullptr;
    for (size_t i = 0; i < shapeCount; ++i) {
      if (sameName(shapes[i].tagName, tagName)) shape = &shapes[i];
    }
    bool namesAsBefore = shape != nullptr;
    while (hasClass(*p, kAttributeStart)) {
      std::string_view name;
      const size_t index = attributes.size();
      if (namesAsBefore && index < shape->names.size()) {
        const std::string_view expected = shape->names[index];
        if (static_cast<size_t>(end_ - p) > expected.size() &&
            sameBytes(p, expected.data(), expected.size()) && p[expected.size()] == '=') {
          name = std::string_view(p, expected.size());
          p += expected.size();
        }
      }
      if (name.empty()) {
        namesAsBefore = false;
        name = nameAt(p);
        skipSpaceAt(p);
      }
      if (*p != '=') return stop(p);
      ++p;
      skipSpaceAt(p);
      const char quote = *p;
      if (quote != '"' && quote != '\'') return stop(p);
      char* valueStart = ++p;
      for (;;) {
        p = findValueStop(p, end_);
        if (*p == quote) break;
        if (*p == '\n') {
          ++lines;
        } else if (*p != '"' && *p != '\'') {
          return stop(p);
        }
        ++p;  // the other quote or a newline
      }
      attributes.push_back({name, std::string_view(valueStart, p - valueStart)});
      ++p;
      skipSpaceAt(p);
    }
    namesAsBefore = namesAsBefore && attributes.size() == shape->names.size();
    if (!namesAsBefore) {
      if (shape == nullptr) {
        if (shapeCount == shapes.size()) shapes.emplace_back();
        shape = &shapes[shapeCount++];
      }
      shape->tagName = tagName;
      shape->names.clear();
      for (const XMLAttribute& attribute : attributes) shape->names.push_back(attribute.name);
    }
    bool selfClosing = false;
    if (*p == '/' && p[1] == '>') {
      selfClosing = true;
      p += 2;
    } else if (*p == '>') {
      ++p;
    } else {
      return stop(p);
    }
    if (!filter_->acceptDescendant(tagName, attributes, namesAsBefore)) return stop(p);
    if (!selfClosing) open.push_back(tagName);
  }
}

// At "/" of an end tag (or of "/>" closing a start tag).
XMLParser::Outcome XMLParser::endTag() {
  if (p_[1] == '>') {
    p_ += 2;
    if (!openElements_.empty()) closeTopElement();
    return Outcome::CharacterData;
  }
  ++p_;
  std::string_view name = readName();
  if (openElements_.empty()) {
    if (*p_ == '>') ++p_;
    return Outcome::CharacterData;
  }
  // The end-tag name only has to begin the open element's name.
  if (!openElements_.back()->tagName().starts_with(name)) {
    fail(2);
    return Outcome::Stop;
  }
  if (*p_ == '>') {
    closeTopElement();
    ++p_;
  }
  return Outcome::CharacterData;
}

void XMLParser::closeTopElement() {
  XMLElement* element = openElements_.back();
  openElements_.pop_back();
  if (openElements_.empty()) {
    root_ = element;  // the last top-level element closed wins
  } else {
    openElements_.back()->appendChild(element);
  }
}

bool XMLParser::characterData() {
  char* start = p_;
  char* next = findByte(p_, end_, '<');
  if (!next) next = end_;
  p_ = next;
  // Made even for an empty or blank run.
  if (keepCharacterData_ && !openElements_.empty()) {
    int32_t line = lineAt(start);
    size_t length = decodeInPlace(start, next, true);
    if (start + length < next) {
      terminateAt(start + length);
    } else if (next != end_) {
      deferTerminator(next);  // the "<" is still to be read
    }
    XMLData* node = document_.createData(inPlace(start, length));
    node->setSource(sourceFile_, line);
    openElements_.back()->appendChild(node);
  }
  return p_ != end_;
}

// ---- Texts and attributes ----

// Entity references are matched in the raw text; carriage returns are
// dropped from the literal bytes of character data only (a "&#13;" reference
// still gives one). A reference yielding a zero byte ends the text. The
// output never outruns the input, so the text shrinks where it stands.
size_t XMLParser::decodeInPlace(char* begin, char* end, bool removeCarriageReturns) {
  size_t size = end - begin;
  if (size == 0) return 0;
  bool hasEntity = std::memchr(begin, '&', size) != nullptr;
  bool hasReturn = removeCarriageReturns && std::memchr(begin, '\r', size) != nullptr;
  if (!hasEntity && !hasReturn) return size;

  lineAt(p_);  // the bytes are about to change
  char* out = begin;
  char* in = begin;
  char* semicolon = nullptr;  // first ";" after the current "&"; null when none
  bool semicolonKnown = false;
  while (in < end) {
    char c = *in;
    if (c == '\r' && removeCarriageReturns) {
      ++in;
      continue;
    }
    if (c != '&') {
      *out++ = c;
      ++in;
      continue;
    }
    // Without a ";" after it the reference is not one.
    if (!semicolonKnown || (semicolon && semicolon <= in)) {
      semicolon = findByte(in + 1, end, ';');
      semicolonKnown = true;
    }
    char byte;
    if (!semicolon || !decodeReference(std::string_view(in + 1, semicolon - in - 1), byte)) {
      *out++ = '&';
      ++in;
      continue;
    }
    if (byte == '\0') break;
    *out++ = byte;
    in = semicolon + 1;
  }
  return out - begin;
}

void XMLParser::storeAttributes(XMLElement& element) {
  std::vector<PendingAttribute>& pending = pendingAttributes_;
  if (pending.empty()) return;
  size_t count = pending.size();
  if (count <= 16 && element.attributeCount() == 0) {
    // The usual case: insert each attribute into place in the element's
    // array; a repeated name takes the later value where the first one stands.
    XMLAttribute* attributes = arena_.allocateArray<XMLAttribute>(count);
    size_t kept = 0;
    for (const PendingAttribute& item : pending) {
      const std::string_view name = item.attribute.name;
      size_t j = kept;
      while (j > 0 && nameLess(name, attributes[j - 1].name)) --j;
      if (j > 0 && sameName(attributes[j - 1].name, name)) {
        attributes[j - 1].value = item.attribute.value;
        continue;
      }
      std::move_backward(attributes + j, attributes + kept, attributes + kept + 1);
      attributes[j] = item.attribute;
      ++kept;
    }
    element.adoptAttributes(attributes, static_cast<uint32_t>(kept));
    return;
  }
  if (count <= 16) {
    // Insertion sort by name (stable, so a repeated name keeps its order).
    for (size_t i = 1; i < count; ++i) {
      PendingAttribute item = pending[i];
      size_t j = i;
      while (j > 0 && nameLess(item.attribute.name, pending[j - 1].attribute.name)) {
        pending[j] = pending[j - 1];
        --j;
      }
      pending[j] = item;
    }
  } else {
    std::sort(pending.begin(), pending.end(), [](const auto& a, const auto& b) {
      int order = a.attribute.name.compare(b.attribute.name);
      return order != 0 ? order < 0 : a.order < b.order;
    });
  }
  // Keep the last of each name.
  size_t kept = 0;
  for (size_t i = 0; i < count; ++i) {
    if (i + 1 < count && sameName(pending[i + 1].attribute.name, pending[i].attribute.name)) {
      continue;
    }
    pending[kept++] = pending[i];
  }
  if (element.attributeCount() != 0) {
    // The element class set attributes of its own: merge.
    for (size_t i = 0; i < kept; ++i) {
      element.setAttribute(pending[i].attribute.name, pending[i].attribute.value);
    }
    return;
  }
  XMLAttribute* attributes = arena_.allocateArray<XMLAttribute>(kept);
  for (size_t i = 0; i < kept; ++i) attributes[i] = pending[i].attribute;
  element.adoptAttributes(attributes, static_cast<uint32_t>(kept));
}

}  // namespace vozo
