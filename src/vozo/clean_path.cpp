#include "vozo/clean_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "xml/split_list.h"

namespace vozo {

std::string cleanPath(std::string_view path) {
  bool absolute = !path.empty() && path.front() == '/';
  std::vector<std::string_view> kept;
  for (std::string_view component : splitPlain(path, '/', false)) {
    if (component == ".") continue;
    if (component == ".." && !kept.empty() && kept.back() != "..") {
      kept.pop_back();
      continue;
    }
    kept.push_back(component);
  }
  std::string cleaned = absolute ? "/" : "";
  for (size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) cleaned += '/';
    cleaned += kept[i];
  }
  return cleaned;
}

void removeFileIfPresent(std::string_view path) {
  std::string cleaned = cleanPath(path);
  if (cleaned.empty()) return;
  struct stat status;
  if (::lstat(cleaned.c_str(), &status) == 0) ::unlink(cleaned.c_str());
}

}  // namespace vozo
