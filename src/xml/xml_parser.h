#pragma once
// The single-pass parser behind XMLDocument::parse (private to the xml
// folder).
//
// The parser works in place on a copy of the text in the document's arena:
// the strings that nodes keep (tag names, attribute names and values, texts)
// are sized views into that copy; decoding entities and dropping carriage
// returns shrink a text where it stands. The text is a range [begin, end)
// with a NUL byte at `end` and none before it, so the scanner can look at the
// current byte, and one byte past a byte that is not NUL, without bounds
// checks; "at NUL" and "at the end" are the same thing.
//
// Elements are kept on an explicit stack of open elements (no recursion) and
// attached to their parent when they are closed; the last top-level element
// closed becomes the root. Attributes of a start tag are collected in a
// reusable scratch list and stored as one sorted arena array when the tag
// ends.
//
// With a content filter (xml/content_filter.h), the content of an element
// the filter names is first read by a light scanner that makes no nodes
// (plain_content_scan.cpp); when the scanner or the filter declines, the
// parser reads the content the ordinary way from where it starts.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "xml/content_filter.h"
#include "xml/xml_document.h"

namespace vozo {

class XMLParser {
 public:
  // `filter` may be null; the parser does not own it.
  XMLParser(XMLDocument& document, char* begin, char* end, ContentFilter* filter);

  // Runs the parse and stores the root (and, on failure, the error) in the
  // document. True when no error was found.
  bool run();

 private:
  enum class Outcome { CharacterData, Stop };

  Outcome processingInstruction();
  Outcome markupDeclaration(int32_t line);
  Outcome comment(int32_t line);
  Outcome cdataSection(int32_t line);
  Outcome startTag(int32_t line);
  Outcome endTag();
  // Returns false at the end of the text.
  bool characterData();

  void closeTopElement();
  void fail(int code);

  // Takes the longest run of name characters as the token and skips the
  // white space after it.
  std::string_view readName();
  // Reads a value from its opening quote at the cursor to the closing one
  // and skips the space after it.
  std::span<char> readQuotedValue(char quote);
  void skipSpace();
  // Position of the first `close` pair (first byte of "--" or "]]") that is
  // followed by ">", searching from `from`; null when there is none.
  char* findClosing(char* from, char close) const;
  // Decodes [begin, end), which the scanner has passed, where it stands
  // (xml/character_references.h); returns the decoded length.
  size_t decodeInPlace(char* begin, char* end, bool removeCarriageReturns);

  // Announces `text` (in the text being parsed) to the document as the
  // string of the node about to be made, so that the node keeps the view
  // instead of a copy. Empty texts need no storage either way.
  std::string_view inPlace(std::string_view text);
  std::string_view inPlace(const char* text, size_t size) { return inPlace({text, size}); }

  void storeAttributes(XMLElement& element);

  // Offers the content of `element`, the top open element whose start tag
  // has just been read, to the filter; when it is left out, the cursor is
  // past the matching end tag and the element is closed.
  void leaveOutContent(XMLElement& element);
  // Scans the content from the cursor to the end tag that closes the
  // element named `outerName`, asking the filter about each descendant.
  // Returns the position after that end tag, or null with `failedAt` set to
  // where the scan stopped.
  char* scanPlainContent(std::string_view outerName, char*& failedAt);

  int32_t lineAt(const char* position);

  XMLDocument& document_;
  Arena& arena_;
  const bool keepCharacterData_;
  const uint32_t sourceFile_;  // stamped on every node with its line
  char* const end_;
  char* p_;

  // Line counting is lazy: newlines are counted up to a position only when a
  // line is needed there (node starts, errors) or before a byte is rewritten.
  const char* lineMark_;
  uint32_t linesBeforeMark_ = 0;

  std::vector<XMLElement*> openElements_;
  XMLElement* root_ = nullptr;
  int error_ = 0;
  uint32_t errorLine_ = 0;

  struct PendingAttribute {
    XMLAttribute attribute;
    uint32_t order;  // position in the start tag, to let a repeated name win
  };
  std::vector<PendingAttribute> pendingAttributes_;

  ContentFilter* const filter_;
  // Where the last declined scan stopped. Scans starting before it would
  // stop there again unless they end first, so only a few more are tried
  // (one per nesting level of the usual register maps), which keeps the
  // parse linear however deep the elements around that point nest.
  const char* scanFailedAt_ = nullptr;
  int scansBeforeFailure_ = 0;
  std::vector<std::string_view> scanOpenNames_;
  std::vector<XMLAttribute> scanAttributes_;
  // The attribute names of the last descendant of each tag in this scan.
  struct ScanShape {
    std::string_view tagName;
    std::vector<std::string_view> names;
  };
  std::vector<ScanShape> scanShapes_;
};

}  // namespace vozo
