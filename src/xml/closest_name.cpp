#include "xml/closest_name.h"

#include <algorithm>
#include <vector>

namespace vozo {

namespace {

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Edits between a and b, case ignored: insertions, deletions, substitutions
// and swaps of two neighbouring letters each count one.
size_t editDistance(std::string_view a, std::string_view b) {
  const size_t n = b.size();
  std::vector<size_t> before(n + 1), previous(n + 1), current(n + 1);
  for (size_t j = 0; j <= n; ++j) previous[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (size_t j = 1; j <= n; ++j) {
      const bool same = lower(a[i - 1]) == lower(b[j - 1]);
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (same ? 0 : 1)});
      if (i > 1 && j > 1 && lower(a[i - 1]) == lower(b[j - 2]) &&
          lower(a[i - 2]) == lower(b[j - 1])) {
        current[j] = std::min(current[j], before[j - 2] + 1);
      }
    }
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return previous[n];
}

}  // namespace

std::optional<std::string_view> closestName(std::string_view name,
                                            std::span<const std::string_view> known) {
  const size_t allowed = std::clamp<size_t>(name.size() / 4, 1, 3);
  std::optional<std::string_view> best;
  size_t bestDistance = allowed + 1;
  for (std::string_view candidate : known) {
    if (candidate == name) continue;
    // Lengths that differ by more than the allowance cannot be close.
    size_t gap = candidate.size() > name.size() ? candidate.size() - name.size()
                                                : name.size() - candidate.size();
    if (gap > allowed) continue;
    size_t distance = editDistance(name, candidate);
    if (distance < bestDistance) {
      best = candidate;
      bestDistance = distance;
    }
  }
  return best;
}

std::string didYouMean(std::string_view name, std::span<const std::string_view> known,
                       std::string_view before, std::string_view after) {
  std::optional<std::string_view> closest = closestName(name, known);
  if (!closest) return {};
  std::string text = "; did you mean ";
  text += before;
  text += *closest;
  text += after;
  text += '?';
  return text;
}

}  // namespace vozo
