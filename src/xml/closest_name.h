#pragma once
// "Did you mean ...?" for a name that is not in a known vocabulary.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vozo {

// The known name closest to `name` when it is close enough to be the
// intended one: the same letters in another case, or a few letters typed
// wrong, left out, added or swapped (about one edit in four letters, at
// least one, at most three). None when nothing is that close.
std::optional<std::string_view> closestName(std::string_view name,
                                            std::span<const std::string_view> known);

// "; did you mean <before><name><after>?" for the closest name, or "".
std::string didYouMean(std::string_view name, std::span<const std::string_view> known,
                       std::string_view before = "", std::string_view after = "");

}  // namespace vozo
