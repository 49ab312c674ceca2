#include "vozo/clean_path.h"

#include <algorithm>
#include <vector>

#include "platform/files.h"
#include "platform/paths.h"

namespace vozo {
namespace {

// The parts of `path` between its separators, empty ones included.
std::vector<std::string_view> components(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || platform::isPathSeparator(path[i])) {
      parts.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

}  // namespace

std::string cleanPath(std::string_view path) {
  // The root as it is written ("/", or on Windows "C:\" or "\"); a
  // Windows root keeps its own separators, the rest is joined with "/".
  // A drive without a separator ("C:fw") names that drive's working
  // directory, which ".." does not climb out of either.
  const size_t rootEnd = std::max(platform::rootLength(path), platform::driveLength(path));
  std::vector<std::string_view> kept;
  for (std::string_view component : components(path.substr(rootEnd))) {
    if (component.empty() || component == ".") continue;
    if (component == ".." && !kept.empty() && kept.back() != "..") {
      kept.pop_back();
      continue;
    }
    kept.push_back(component);
  }
  std::string cleaned(path.substr(0, rootEnd));
  for (size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) cleaned += '/';
    cleaned += kept[i];
  }
  return cleaned;
}

void removeFileIfPresent(std::string_view path) {
  std::string cleaned = cleanPath(path);
  if (cleaned.empty()) return;
  platform::removeFile(cleaned);
}

}  // namespace vozo
