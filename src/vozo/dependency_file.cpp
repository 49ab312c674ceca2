#include "vozo/dependency_file.h"

#include <unordered_set>

namespace vozo {
namespace {

void appendEscaped(std::string& out, std::string_view name) {
  size_t backslashes = 0;
  for (char c : name) {
    if (c == ' ' || c == '#') {
      out.append(backslashes, '\\');
      out += '\\';
    } else if (c == ':') {
      out += '\\';
    } else if (c == '$') {
      out += '$';
    }
    out += c;
    backslashes = c == '\\' ? backslashes + 1 : 0;
  }
}

}  // namespace

std::string dependencyFileText(std::string_view target,
                               const std::vector<std::string>& prerequisites) {
  std::string text;
  appendEscaped(text, target);
  text += ':';
  std::unordered_set<std::string_view> listed;
  listed.reserve(prerequisites.size());
  for (const std::string& name : prerequisites) {
    if (!listed.insert(name).second) continue;
    text += " \\\n  ";
    appendEscaped(text, name);
  }
  text += '\n';
  return text;
}

}  // namespace vozo
