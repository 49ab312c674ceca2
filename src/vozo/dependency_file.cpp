#include "vozo/dependency_file.h"

#include <algorithm>

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
  std::vector<std::string_view> listed;
  for (const std::string& name : prerequisites) {
    if (std::find(listed.begin(), listed.end(), name) != listed.end()) continue;
    listed.push_back(name);
    text += " \\\n  ";
    appendEscaped(text, name);
  }
  text += '\n';
  return text;
}

}  // namespace vozo
