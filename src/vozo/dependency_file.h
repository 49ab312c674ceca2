#pragma once
// The dependency file of -dependency-file: which files the script was made
// from, in the form make and Ninja read.

#include <string>
#include <string_view>
#include <vector>

namespace vozo {

// "<target>:" followed by each prerequisite on a line of its own, the lines
// joined by a backslash at the end, each name listed once in first-seen
// order ("app.ld:", "  board.xml", "  flash.xml").
// Names are escaped as both tools expect: a space or "#" gets a backslash
// (and the backslashes right before it are doubled), ":" gets a backslash,
// "$" is doubled.
std::string dependencyFileText(std::string_view target,
                               const std::vector<std::string>& prerequisites);

}  // namespace vozo
