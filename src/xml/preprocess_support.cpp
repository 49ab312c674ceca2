#include "xml/preprocess_support.h"

#include <algorithm>

#include "platform/canonical_path.h"
#include "platform/paths.h"
#include "platform/wildcard.h"

namespace vozo {

bool listContains(std::string_view list, char separator, std::string_view value) {
  if (value.empty()) return false;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(separator, start);
    if (end == std::string_view::npos) end = list.size();
    if (list.substr(start, end - start) == value) return true;
    start = end + 1;
  }
  return false;
}

std::vector<std::string> splitAtSeparator(std::string_view text, std::string_view separator) {
  std::vector<std::string> items;
  if (separator.empty()) {
    if (!text.empty()) items.emplace_back(text);
    return items;
  }
  size_t start = 0;
  for (;;) {
    size_t end = text.find(separator, start);
    std::string_view item =
        text.substr(start, end == std::string_view::npos ? text.npos : end - start);
    if (!item.empty()) items.emplace_back(item);
    if (end == std::string_view::npos) break;
    start = end + separator.size();
  }
  return items;
}

std::string withoutLineBreaks(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    if (c != '\n' && c != '\r') result.push_back(c);
  }
  return result;
}

std::string withoutNewlines(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    if (c != '\n') result.push_back(c);
  }
  return result;
}

bool wildcardFoundIn(const std::string& pattern, const std::string& text) {
  std::string unanchored;
  unanchored.reserve(pattern.size() + 2);
  unanchored.push_back('*');
  unanchored += pattern;
  unanchored.push_back('*');
  return platform::wildcardMatches(unanchored, text);
}

std::string upperHex(uint32_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  char buffer[8];
  int length = 0;
  do {
    buffer[length++] = kDigits[value & 0xF];
    value >>= 4;
  } while (value != 0);
  std::string result = "0x";
  while (length > 0) result.push_back(buffer[--length]);
  return result;
}

std::string alphaCharacter(uint32_t index) {
  uint32_t code = (65 + index) & 0xFFFF;
  if (code >= 0xD800 && code <= 0xDFFF) code = 0xFFFD;
  std::string result;
  if (code < 0x80) {
    result.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    result.push_back(static_cast<char>(0xC0 | (code >> 6)));
    result.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    result.push_back(static_cast<char>(0xE0 | (code >> 12)));
    result.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    result.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
  return result;
}

std::string resolveIncludePath(std::string_view name, std::string_view includingPath) {
  if (platform::isAbsolutePath(name)) return std::string(name);
  const size_t slash = platform::lastPathSeparator(includingPath);
  std::string result;
  if (slash == std::string_view::npos) {
    result = ".";
  } else {
    // The root itself when the separator is part of it.
    result.assign(includingPath.substr(0, std::max(slash, platform::rootLength(includingPath))));
  }
  result += '/';
  result += name;
  return result;
}

std::string fileIdentity(const std::string& path) {
  return platform::canonicalPath(path).value_or(path);
}

}  // namespace vozo
