#include "xml/xml_parser.h"

#include <algorithm>
#include <cstring>

#include "xml/byte_scans.h"
#include "xml/character_references.h"
#include "xml/same_bytes.h"

namespace vozo {

namespace {

using scan::countNewlines;
using scan::findByte;
using scan::hasClass;
using scan::kAttributeStart;
using scan::kName;
using scan::kSpace;

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
  std::string_view name(start, p_ - start);
  skipSpace();
  return name;
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
    if (*p_ != '=') continue;  // no value: ignored
    ++p_;
    skipSpace();
    char quote = *p_;
    if (quote == '\0') break;
    if (quote != '"' && quote != '\'') continue;  // unquoted: dropped, go on at this byte
    std::span<char> raw = readQuotedValue(quote);
    char* valueStart = raw.data();
    size_t length = decodeInPlace(valueStart, valueStart + raw.size(), false);
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
  if (opened && filter_ != nullptr) leaveOutContent(*element);
  return outcome;
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
    XMLData* node = document_.createData(inPlace(start, length));
    node->setSource(sourceFile_, line);
    openElements_.back()->appendChild(node);
  }
  return p_ != end_;
}

// ---- Texts and attributes ----

size_t XMLParser::decodeInPlace(char* begin, char* end, bool removeCarriageReturns) {
  size_t size = end - begin;
  if (size == 0) return 0;
  bool hasEntity = std::memchr(begin, '&', size) != nullptr;
  bool hasReturn = removeCarriageReturns && std::memchr(begin, '\r', size) != nullptr;
  if (!hasEntity && !hasReturn) return size;
  lineAt(p_);  // the bytes are about to change
  return decodeReferencesInPlace(begin, end, removeCarriageReturns);
}

void XMLParser::storeAttributes(XMLElement& element) {
  std::vector<PendingAttribute>& pending = pendingAttributes_;
  if (pending.empty()) return;
  const size_t count = pending.size();
  if (count <= 16) {
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
  std::sort(pending.begin(), pending.end(), [](const auto& a, const auto& b) {
    int order = a.attribute.name.compare(b.attribute.name);
    return order != 0 ? order < 0 : a.order < b.order;
  });
  // Keep the last of each name.
  size_t kept = 0;
  for (size_t i = 0; i < count; ++i) {
    if (i + 1 < count && sameName(pending[i + 1].attribute.name, pending[i].attribute.name)) {
      continue;
    }
    pending[kept++] = pending[i];
  }
  XMLAttribute* attributes = arena_.allocateArray<XMLAttribute>(kept);
  for (size_t i = 0; i < kept; ++i) attributes[i] = pending[i].attribute;
  element.adoptAttributes(attributes, static_cast<uint32_t>(kept));
}

}  // namespace vozo
