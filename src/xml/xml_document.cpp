#include "xml/xml_document.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

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

bool XMLDocument::parseDescriptor(int descriptor, size_t size) {
  // Straight into the arena, without a stream buffer in between.
  char* text = arena_.allocateChars(size + 1);
  size_t got = 0;
  while (got < size) {
    ssize_t read = ::read(descriptor, text + got, size - got);
    if (read < 0 && errno == EINTR) continue;
    if (read <= 0) break;
    got += static_cast<size_t>(read);
  }
  if (got >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) return parseInArena(text + 3, got - 3);
  return parseInArena(text, got);
}

namespace {

// Opens a regular file for reading and returns its descriptor and status, or
// -1 when `path` names no file that can be opened, or a directory. A device,
// FIFO or socket throws: reading it could block forever or never end. It is
// opened without blocking (a FIFO without a writer would block the open
// itself) and checked on the open descriptor.
int openRegularFile(const std::string& path, struct stat& status) {
  // A path with a NUL byte inside names no file.
  if (path.find('\0') != std::string::npos) return -1;
  int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return -1;
  if (fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
    ::close(descriptor);
    return -1;
  }
  if (!S_ISREG(status.st_mode)) {
    ::close(descriptor);
    throw std::runtime_error("input file '" + path + "' is not a regular file");
  }
  return descriptor;
}

class DescriptorCloser {
 public:
  explicit DescriptorCloser(int descriptor) : descriptor_(descriptor) {}
  DescriptorCloser(const DescriptorCloser&) = delete;
  DescriptorCloser& operator=(const DescriptorCloser&) = delete;
  ~DescriptorCloser() { ::close(descriptor_); }

 private:
  int descriptor_;
};

}  // namespace

bool XMLDocument::loadPath(const std::string& path, std::string_view pathInMessage) {
  struct stat status;
  const int descriptor = openRegularFile(path, status);
  if (descriptor < 0) {
    setError("couldn't read " + std::string(pathInMessage), 0);
    return false;
  }
  DescriptorCloser closer(descriptor);
  const size_t size = static_cast<size_t>(status.st_size);
  if (size > kMaxFileBytes) {
    throw std::length_error("input file '" + path + "' is larger than " + mebibytes(kMaxFileBytes) +
                            ", the limit for one file");
  }
  if (size > kMaxBytesReadPerDocument - bytesRead_) {
    throw std::length_error("reading '" + path + "' takes one document past " +
                            mebibytes(kMaxBytesReadPerDocument) +
                            " of input files, the limit in total");
  }
  if (filesRead_ == kMaxFilesReadPerDocument) {
    throw std::length_error("reading '" + path + "' takes one document past " +
                            std::to_string(kMaxFilesReadPerDocument) + " input files, the limit");
  }
  bytesRead_ += size;
  ++filesRead_;
  parsingFile_ = sourceFileIndex(path);
  bool ok = parseDescriptor(descriptor, size);
  parsingFile_ = XMLNode::kNoSourceFile;
  return ok;
}

uint16_t XMLDocument::sourceFileIndex(const std::string& path) {
  auto [entry, added] = sourceFileIndices_.try_emplace(path, XMLNode::kNoSourceFile);
  if (added && sourceFiles_.size() < UINT16_MAX - 1) {
    sourceFiles_.push_back(path);
    entry->second = static_cast<uint16_t>(sourceFiles_.size());
  }
  return entry->second;
}

std::string_view XMLDocument::sourceFilePath(uint16_t index) const {
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
    uint16_t file = source->sourceFile();
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
      if (copy->attributeCount() != 0) {
        for (const XMLAttribute& attribute : attributes) {
          copy->setAttribute(attribute.name, attribute.value);
        }
      } else if (!attributes.empty()) {
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
