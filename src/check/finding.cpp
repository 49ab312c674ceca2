#include "check/finding.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "platform/paths.h"
#include "xml/xml_document.h"

namespace vozo {

void Findings::add(std::string message) {
  add(std::string(), 0, std::move(message));
}

void Findings::add(const XMLNode& node, std::string message) {
  std::string_view file = node.document().sourceFilePath(node.sourceFile());
  if (file.empty()) return add(std::move(message));
  add(std::string(file), node.line() + 1, std::move(message));
}

void Findings::add(std::string file, int64_t line, std::string message) {
  list_.push_back(Finding{displayPath(file), line, std::move(message)});
}

void Findings::append(Findings&& other) {
  list_.insert(list_.end(), std::make_move_iterator(other.list_.begin()),
               std::make_move_iterator(other.list_.end()));
  other.list_.clear();
}

void Findings::sort() {
  std::stable_sort(list_.begin(), list_.end(), [](const Finding& a, const Finding& b) {
    if (a.file != b.file) return a.file < b.file;
    return a.line < b.line;
  });
}

std::string displayPath(std::string_view path) {
  if (platform::isAbsolutePath(path)) {
    if (const std::optional<std::string> directory = platform::currentDirectory()) {
      const std::string_view base(*directory);
      if (path.size() > base.size() + 1 && path.substr(0, base.size()) == base &&
          platform::isPathSeparator(path[base.size()])) {
        path.remove_prefix(base.size() + 1);
      }
    }
  }
  while (path.size() > 2 && path[0] == '.' && platform::isPathSeparator(path[1])) {
    path.remove_prefix(2);
  }
  return std::string(path);
}

void writeFindings(std::FILE* stream, const Findings& findings, std::string_view severity) {
  std::string text;
  for (const Finding& finding : findings.list()) {
    if (finding.file.empty()) {
      text += "vozo";
    } else {
      text += finding.file;
      if (finding.line > 0) text += ':' + std::to_string(finding.line);
    }
    text += ": ";
    text += severity;
    text += ": ";
    text += finding.message;
    text += '\n';
  }
  std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace vozo
