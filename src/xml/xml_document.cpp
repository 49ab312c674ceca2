#include "xml/xml_document.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <variant>
#include <vector>

#include "expr/h_exception.h"
#include "platform/files.h"
#include "xml/xml_parser.h"

namespace vozo {

namespace {

constexpr size_t kMaxErrorMessage = 1023;

std::string mebibytes(size_t bytes) {
  return std::to_string(bytes >> 20) + " MiB";
}

// Bytes above 0x7F become "?".
std::string toAscii(std::string_view text) {
  std::string ascii(text);
  for (char& c : ascii) {
    if (static_cast<unsigned char>(c) > 0x7F) c = '?';
  }
  return ascii;
}

}  // namespace

XMLDocument::XMLDocument(bool keepCharacterData) : keepCharacterData_(keepCharacterData) {}

// The tree lives in the arena and needs no teardown.
XMLDocument::~XMLDocument() = default;

XMLElement* XMLDocument::createElement(std::string_view tagName) {
  return arena_.make<XMLElement>(*this, tagName);
}

XMLData* XMLDocument::createData(std::string_view text) {
  return arena_.make<XMLData>(*this, text);
}

XMLComment* XMLDocument::createComment(std::string_view text) {
  return arena_.make<XMLComment>(*this, text);
}

XMLCDATASection* XMLDocument::createCDATASection(std::string_view text) {
  return arena_.make<XMLCDATASection>(*this, text);
}

void XMLDocument::setError(std::string_view message, uint32_t line) {
  errorMessage_.assign(message.substr(0, kMaxErrorMessage));
  errorLine_ = line;
}

std::string_view XMLDocument::keepString(std::string_view text) {
  if (!inPlaceString_.empty() && text.data() == inPlaceString_.data() &&
      text.size() == inPlaceString_.size()) {
    inPlaceString_ = {};
    return text;
  }
  return arena_.copy(text);
}

bool XMLDocument::parseInArena(char* text, size_t size) {
  text[size] = '\0';
  char* end = static_cast<char*>(std::memchr(text, '\0', size + 1));
  ContentFilter* filter = std::exchange(contentFilter_, nullptr);
  XMLParser parser(*this, text, end, keepCharacterData_ ? nullptr : filter);
  bool ok = parser.run();
  inPlaceString_ = {};
  return ok;
}

bool XMLDocument::parse(std::string_view text) {
  // The parser works on its own copy, which the tree's strings then point
  // into.
  size_t size = text.size();
  if (size != 0) {
    const void* nul = std::memchr(text.data(), '\0', size);
    if (nul) size = static_cast<const char*>(nul) - text.data();
  }
  char* copy = arena_.allocateChars(size + 1);
  if (size != 0) std::memcpy(copy, text.data(), size);
  return parseInArena(copy, size);
}

namespace {

// Reads a file that has no size to go by (a pipe, a terminal, a device) in
// pieces until its end or until it has given more than `limit` bytes, so
// that an endless device stops one byte past the bound. Pieces rather than
// one growing buffer, which would hold its old and new copy at once.
// The errno value of a read error instead.
std::variant<std::vector<std::string>, int> readToEnd(platform::InputFile& file, size_t limit) {
  constexpr size_t kFirstPiece = 64 * 1024;
  constexpr size_t kLargestPiece = 4 * 1024 * 1024;
  std::vector<std::string> pieces;
  size_t total = 0;
  for (size_t pieceSize = kFirstPiece; total <= limit;
       pieceSize = std::min(2 * pieceSize, kLargestPiece)) {
    const size_t wanted = std::min(pieceSize, limit + 1 - total);
    std::string piece(wanted, '\0');
    const platform::InputFile::Read got = file.read(piece.data(), wanted);
    if (got.error != 0) return got.error;
    piece.resize(got.count);
    total += piece.size();
    pieces.push_back(std::move(piece));
    if (got.count < wanted) break;
  }
  return pieces;
}

}  // namespace

void XMLDocument::countFileRead(const std::string& path, size_t size) {
  if (size > kMaxFileBytes) {
    throw HException("input file '" + path + "' is larger than " + mebibytes(kMaxFileBytes) +
                            ", the limit for one file");
  }
  if (size > kMaxBytesReadPerDocument - bytesRead_) {
    throw HException("reading '" + path + "' takes one document past " +
                            mebibytes(kMaxBytesReadPerDocument) +
                            " of input files, the limit in total");
  }
  if (filesRead_ == kMaxFilesReadPerDocument) {
    throw HException("reading '" + path + "' takes one document past " +
                            std::to_string(kMaxFilesReadPerDocument) + " input files, the limit");
  }
  bytesRead_ += size;
  ++filesRead_;
}

bool XMLDocument::loadPath(const std::string& path, std::string_view pathInMessage) {
  readFailure_ = 0;
  auto fail = [&](int error) {
    readFailure_ = error;
    setError("couldn't read " + std::string(pathInMessage), 0);
    return false;
  };
  platform::InputFile::Opened opened = platform::InputFile::open(path);
  if (!opened.file) return fail(opened.error);
  platform::InputFile& file = *opened.file;
  char* text;
  size_t size;
  if (file.isRegular()) {
    // Straight into the arena at the size the file has, without a buffer in
    // between.
    countFileRead(path, static_cast<size_t>(file.size()));
    text = arena_.allocateChars(static_cast<size_t>(file.size()) + 1);
    const platform::InputFile::Read got = file.read(text, static_cast<size_t>(file.size()));
    if (got.error != 0) return fail(got.error);
    size = got.count;
  } else {
    // A pipe or a device has no size to go by: it is read until its end, or
    // until it takes the document past a bound.
    std::variant<std::vector<std::string>, int> read =
        readToEnd(file, std::min(kMaxFileBytes, kMaxBytesReadPerDocument - bytesRead_));
    if (const int* error = std::get_if<int>(&read)) return fail(*error);
    const std::vector<std::string>& pieces = std::get<std::vector<std::string>>(read);
    size_t total = 0;
    for (const std::string& piece : pieces) total += piece.size();
    countFileRead(path, total);
    text = arena_.allocateChars(total + 1);
    size = 0;
    for (const std::string& piece : pieces) {
      std::memcpy(text + size, piece.data(), piece.size());
      size += piece.size();
    }
  }
  // A leading UTF-8 byte-order mark is skipped, only when all three bytes
  // are there.
  if (size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) {
    text += 3;
    size -= 3;
  }
  parsingFile_ = sourceFileIndex(path);
  bool ok = parseInArena(text, size);
  parsingFile_ = XMLNode::kNoSourceFile;
  return ok;
}

uint32_t XMLDocument::sourceFileIndex(const std::string& path) {
  auto [entry, added] = sourceFileIndices_.try_emplace(path, XMLNode::kNoSourceFile);
  if (added) {
    // Listed in any case: the list is what the run read, the index only
    // what a node can point at.
    sourceFiles_.push_back(path);
    if (sourceFiles_.size() <= XMLNode::kMaxSourceFile) {
      entry->second = static_cast<uint32_t>(sourceFiles_.size());
    }
  }
  return entry->second;
}

std::string_view XMLDocument::sourceFilePath(uint32_t index) const {
  if (index == XMLNode::kNoSourceFile || index > sourceFiles_.size()) return {};
  return sourceFiles_[index - 1];
}

bool XMLDocument::load(const std::string& path) {
  return loadPath(path, path);
}

bool QXMLDocument::load(const std::string& path) {
  return loadPath(path, toAscii(path));
}

XMLNode* XMLDocument::clone(const XMLNode* node, XMLNode* parent) {
  if (!node) return nullptr;
  // Strings of this document's arena are immutable, so copies made in the
  // same document share them.
  const bool sameDocument = &node->document() == this;
  auto keep = [&](std::string_view text) { return sameDocument ? text : arena_.copy(text); };
  auto keepSource = [&](const XMLNode* source, XMLNode* copy) {
    uint32_t file = source->sourceFile();
    if (!sameDocument && file != XMLNode::kNoSourceFile) {
      file = sourceFileIndex(std::string(source->document().sourceFilePath(file)));
    }
    copy->setSource(file, source->line());
    return copy;
  };

  auto copyOne = [&](const XMLNode* source) -> XMLNode* {
    if (const XMLElement* element = source->asElement()) {
      XMLElement* copy = createElement(element->tagName());
      std::span<const XMLAttribute> attributes = element->attributes();
      if (!attributes.empty()) {
        XMLAttribute* array = arena_.allocateArray<XMLAttribute>(attributes.size());
        for (size_t i = 0; i < attributes.size(); ++i) {
          array[i] = {keep(attributes[i].name), keep(attributes[i].value)};
        }
        copy->adoptAttributes(array, static_cast<uint32_t>(attributes.size()));
      }
      return keepSource(source, copy);
    }
    const XMLTextNode* text = source->asText();
    XMLTextNode* copy;
    switch (source->type()) {
      case XMLNodeType::Data:
        copy = createData({});
        break;
      case XMLNodeType::Comment:
        copy = createComment({});
        break;
      default:
        copy = createCDATASection({});
        break;
    }
    copy->text_ = keep(text->text());
    return keepSource(source, copy);
  };

  XMLNode* top = copyOne(node);
  // Each entry: the next source child to copy and the copy it goes into.
  struct Pending {
    const XMLNode* next;
    XMLNode* copyParent;
  };
  std::vector<Pending> stack;
  if (node->firstChild()) stack.push_back({node->firstChild(), top});
  while (!stack.empty()) {
    Pending& entry = stack.back();
    const XMLNode* source = entry.next;
    if (!source) {
      stack.pop_back();
      continue;
    }
    entry.next = source->nextSibling();
    XMLNode* copy = copyOne(source);
    entry.copyParent->appendChild(copy);
    if (source->firstChild()) stack.push_back({source->firstChild(), copy});
  }
  if (parent) parent->appendChild(top);
  return top;
}

}  // namespace vozo
