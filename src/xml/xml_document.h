#pragma once
// An XML document: the root element of a parsed file, what its prolog
// declared, the last error, and the arena that holds the whole tree.
//
// The parser is lenient: it skips much of what it does not understand and
// knows two errors only, "bad tagName" (an attribute name starting with a
// character other than a letter, "_", "-" or ":") and "tagName mismatch" (an
// end tag whose name does not begin the open element's name). Bytes are kept
// as they are (no transcoding); the five predefined entities and numeric
// character references are decoded. Unclosed elements, text before the first
// "<", a missing root and stray end tags are not errors: the result then
// simply has no root or lacks the unclosed part, so callers check root()
// after a successful parse.
//
// Subclasses choose the element class by overriding createElement; the
// parser and clone make every element through it (see xml/xml_node.h).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "xml/arena.h"
#include "xml/content_filter.h"
#include "xml/xml_node.h"

namespace vozo {

class XMLDocument {
 public:
  // When `keepCharacterData` is false the parser makes no XMLData and no
  // XMLComment nodes (CDATA sections are kept either way).
  explicit XMLDocument(bool keepCharacterData);
  virtual ~XMLDocument();
  XMLDocument(const XMLDocument&) = delete;
  XMLDocument& operator=(const XMLDocument&) = delete;

  // A new element with a copy of `tagName`, not yet in any tree. The base
  // makes a plain XMLElement.
  virtual XMLElement* createElement(std::string_view tagName);

  XMLData* createData(std::string_view text);
  XMLComment* createComment(std::string_view text);
  XMLCDATASection* createCDATASection(std::string_view text);

  // Parses `text`, which ends at its first NUL byte or at the end of the
  // view. The text is copied into the arena once and parsed there in place;
  // the tree's strings point into that copy, which lives as long as the
  // document. Sets root() to the parser's result in every case, without touching
  // the previous tree (a caller that needs it keeps the pointer; it stays
  // valid as long as the document). True when the parser reported no error,
  // whether or not a root was found; on an error stores the message and the
  // 0-based line in errorMessage() and errorLine() and returns false.
  // doctype(), version() and encoding() are only overwritten by values found.
  bool parse(std::string_view text);

  // Opens `path` for binary reading and parses the file. When it cannot be
  // opened or read (or is a directory): errorMessage() "couldn't read
  // <path>", errorLine() 0, readFailure() the system's error number, root()
  // untouched, false.
  //
  // Any readable file is read: a regular file at the size it has, a pipe, a
  // terminal or a device in pieces until its end (opening a FIFO waits for
  // its writer). Only the bounds below end reading early: a file past one
  // is not an unreadable file but a broken input, and ends the run: load()
  // throws HException naming the file and the bound. An endless
  // device stops one byte past the bound.
  bool load(const std::string& path);

  // The largest file load() reads, and the most bytes and files all the
  // loads of one document (its includes and imports, a file read again
  // counting again) may read together.
  static constexpr size_t kMaxFileBytes = size_t{64} << 20;
  static constexpr size_t kMaxBytesReadPerDocument = size_t{128} << 20;
  static constexpr size_t kMaxFilesReadPerDocument = 100'000;
  static_assert(kMaxFilesReadPerDocument <= XMLNode::kMaxSourceFile,
                "every file a document reads gets a node index");

  // Deep copy of `node` made in this document: elements through
  // createElement, with their tag name and attributes; character-data nodes
  // with their text. Copies keep the source location (file and line) of
  // their originals, so a copy reports where its original stands. The copy is appended to `parent`
  // when one is given, after the whole subtree has been copied (so cloning a
  // node into its own subtree copies the subtree as it was). Null for a null
  // node. No recursion over depth.
  XMLNode* clone(const XMLNode* node, XMLNode* parent);

  XMLElement* root() const { return root_; }
  void setRoot(XMLElement* root) { root_ = root; }

  // From "<!DOCTYPE name>" and the XML declaration; nothing when not found
  // (which differs from an empty value).
  const std::optional<std::string>& doctype() const { return doctype_; }
  const std::optional<std::string>& version() const { return version_; }
  const std::optional<std::string>& encoding() const { return encoding_; }

  // The last error: its text (at most 1023 bytes) and 0-based line (0 for
  // file errors).
  const std::string& errorMessage() const { return errorMessage_; }
  uint32_t errorLine() const { return errorLine_; }
  // The errno value of the last load() that could not open or read its file;
  // 0 after a load() that read it.
  int readFailure() const { return readFailure_; }
  // The outermost element that the last parse left open at the end of its
  // text (it is in no tree); null when every element was closed.
  const XMLElement* unclosedElement() const { return unclosedElement_; }

  bool keepCharacterData() const { return keepCharacterData_; }

  // Lets `filter` (not owned) leave content out of the tree in the next
  // parse only (see xml/content_filter.h); files that parse reads on its
  // own behalf later, such as includes, are parsed whole. A document that
  // keeps character data ignores it.
  void setContentFilter(ContentFilter* filter) { contentFilter_ = filter; }

  // The files this document has opened for parsing, in the order first
  // opened, each path as it was opened (a file read twice is listed once),
  // all of them. Nodes refer to them by XMLNode::sourceFile(): index i + 1
  // is sourceFiles()[i]. The loads of one document cannot use up the
  // indices (kMaxFilesReadPerDocument); only paths that clone brings in from
  // other documents past XMLNode::kMaxSourceFile leave their nodes without a
  // file.
  const std::vector<std::string>& sourceFiles() const { return sourceFiles_; }
  // The path for a node's sourceFile(); empty for XMLNode::kNoSourceFile.
  std::string_view sourceFilePath(uint32_t index) const;
  // The index of `path` in sourceFiles(), adding it when new;
  // XMLNode::kNoSourceFile when the indices are used up.
  uint32_t sourceFileIndex(const std::string& path);

  Arena& arena() { return arena_; }

 protected:
  // Opens `path` and parses it; on failure reports "couldn't read " +
  // `pathInMessage`.
  bool loadPath(const std::string& path, std::string_view pathInMessage);
  void setError(std::string_view message, uint32_t line);

 private:
  friend class XMLParser;
  friend class XMLElement;
  friend class XMLTextNode;

  // Counts a file of `size` bytes read from `path` against the bounds above;
  // throws HException when it takes the document past one.
  void countFileRead(const std::string& path, size_t size);

  // Parses the `size` bytes at `text`, a buffer in the arena with room for
  // one byte more, in place. The text ends at its first NUL byte.
  bool parseInArena(char* text, size_t size);

  // The string a node keeps for `text`: `text` itself when it is the string
  // the parser has announced (a view into the text being parsed, which the
  // parser terminates in place), else an arena copy.
  std::string_view keepString(std::string_view text);

  // Declared first: destroyed last, after everything that may point into it.
  Arena arena_;
  bool keepCharacterData_;
  std::optional<std::string> doctype_;
  std::optional<std::string> version_;
  std::optional<std::string> encoding_;
  XMLElement* root_ = nullptr;
  std::string errorMessage_;
  uint32_t errorLine_ = 0;
  int readFailure_ = 0;
  const XMLElement* unclosedElement_ = nullptr;
  size_t bytesRead_ = 0;
  size_t filesRead_ = 0;
  // Set by the parser right before it makes a node for this string.
  std::string_view inPlaceString_;
  std::vector<std::string> sourceFiles_;
  std::unordered_map<std::string, uint32_t> sourceFileIndices_;
  // The file being parsed now (stamped on the nodes the parser makes).
  uint32_t parsingFile_ = XMLNode::kNoSourceFile;
  ContentFilter* contentFilter_ = nullptr;
};

// A document whose load takes a Unicode (UTF-8) path. It opens the file by
// that path as it is; in the failure message every byte of the path above
// 0x7F is shown as "?" (the message is plain ASCII).
class QXMLDocument : public XMLDocument {
 public:
  using XMLDocument::XMLDocument;

  bool load(const std::string& path);
};

}  // namespace vozo
