#pragma once
// The dependency file of -dependency-file: which files the script was made
// from, in the form make and Ninja read.

#include <string>
#include <string_view>
#include <vector>

namespace vozo {

// The text of a dependency file, or why there can be none.
struct DependencyFileText {
  std::string text;
  // Empty when `text` is complete; else the message of the run's error (a
  // name make and Ninja would not both read back as that file).
  std::string error;
};

// "<target>:" followed by each prerequisite on a line of its own, the lines
// joined by a backslash at the end, each name listed once in first-seen
// order ("app.ld:", "  board.xml", "  flash.xml").
//
// Names are escaped so that GNU make and Ninja both read them back as they
// are: a space or "#" gets a backslash (and the backslashes right before a
// space are doubled), ":" gets a backslash, "$" is doubled. A name that no
// escaping gets through both tools is an error naming it, the character and
// `dependencyFile`: a control character (tab, line break, ...), one of
// " & ' * ; < = > ? [ ^ ` |, a backslash at the end or before "#", ":" or
// "$", a ":" or space at the end, a "~" at the start, a name that ends in
// "(...)", and "%" in the target.
DependencyFileText dependencyFileText(std::string_view dependencyFile, std::string_view target,
                                      const std::vector<std::string>& prerequisites);

}  // namespace vozo
