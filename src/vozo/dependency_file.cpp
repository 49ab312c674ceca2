#include "vozo/dependency_file.h"

#include <unordered_set>

#include "platform/paths.h"

namespace vozo {
namespace {

// Characters no escaping gets through both tools. Ninja ends a name at each
// of them (and keeps a backslash put before one); make reads ";" as the start
// of a recipe, "=" as a variable assignment, "|" as the start of order-only
// prerequisites and "*", "?" and "[" as wildcards.
constexpr std::string_view kUnreadableCharacters = "\"&'*;<=>?[^`|";

bool isControlCharacter(unsigned char c) {
  return c < 0x20 || c == 0x7F;
}

std::string twoHexDigits(unsigned char c) {
  constexpr std::string_view kHexDigits = "0123456789abcdef";
  return {kHexDigits[c >> 4], kHexDigits[c & 0xF]};
}

// "a tab", "a line break", "control character 0x01", or the character itself.
std::string characterName(unsigned char c) {
  if (c == '\t') return "a tab";
  if (c == '\n') return "a line break";
  if (isControlCharacter(c)) return "control character 0x" + twoHexDigits(c);
  return std::string(1, static_cast<char>(c));
}

// make reads "lib(member)" as a member of the archive lib: a "(" after the
// first character, and a ")" ending the name with something in between.
bool looksLikeArchiveMember(std::string_view name) {
  const size_t open = name.find('(');
  return open != std::string_view::npos && open != 0 && name.back() == ')' &&
         name.size() - 1 > open + 1;
}

// What in `name` make and Ninja would not both read back, as the end of
// "make and Ninja cannot both read ..."; empty when they do.
std::string unreadablePart(std::string_view name, bool isTarget) {
  for (size_t i = 0; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (isControlCharacter(c) ||
        kUnreadableCharacters.find(static_cast<char>(c)) != std::string_view::npos) {
      return characterName(c) + " in a file name";
    }
    // Before "#", ":" and "$" make and Ninja take a different number of
    // backslashes to stand for one.
    if (c == '\\' && i + 1 < name.size() &&
        (name[i + 1] == '#' || name[i + 1] == ':' || name[i + 1] == '$')) {
      return std::string("a backslash before ") + name[i + 1] + " in a file name";
    }
    if (c == '%' && isTarget) return "% in a target name (make reads a pattern)";
  }
  if (name.empty()) return {};
  if (name.back() == '\\') return "a backslash at the end of a file name";
  if (name.back() == ':') return ": at the end of a file name";
  if (name.back() == ' ') return "a space at the end of a file name";
  if (name.front() == '~') return "~ at the start of a file name (make reads a home directory)";
  if (looksLikeArchiveMember(name)) {
    return "a file name ending in (...) (make reads an archive member)";
  }
  return {};
}

// `name` for a message: control characters as \t, \n, \r or \xHH, so that
// the message stays on one line.
std::string shownName(std::string_view name) {
  std::string shown;
  for (char c : name) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '\t') {
      shown += "\\t";
    } else if (c == '\n') {
      shown += "\\n";
    } else if (c == '\r') {
      shown += "\\r";
    } else if (isControlCharacter(byte)) {
      shown += "\\x" + twoHexDigits(byte);
    } else {
      shown += c;
    }
  }
  return shown;
}

// Appends `name`, whose every part both tools read (see unreadablePart).
void appendEscaped(std::string& out, std::string_view name) {
  size_t backslashes = 0;
  for (char c : name) {
    if (c == ' ') {
      out.append(backslashes, '\\');
      out += '\\';
    } else if (c == '#' || c == ':') {
      out += '\\';
    } else if (c == '$') {
      out += '$';
    }
    out += c;
    backslashes = c == '\\' ? backslashes + 1 : 0;
  }
}

}  // namespace

DependencyFileText dependencyFileText(std::string_view dependencyFile, std::string_view target,
                                      const std::vector<std::string>& prerequisites) {
  DependencyFileText result;
  auto append = [&](std::string_view path, bool isTarget) {
    // On Windows the names are written with "/", and a drive's colon as it
    // is: make for Windows and Ninja read "C:/fw/map.xml" as one name.
    const std::string spelled = platform::withForwardSlashes(path);
    const size_t drive = platform::driveLength(spelled);
    const std::string_view name = std::string_view(spelled).substr(drive);
    std::string unreadable = unreadablePart(name, isTarget);
    if (unreadable.empty()) {
      result.text.append(spelled, 0, drive);
      appendEscaped(result.text, name);
      return true;
    }
    result.text.clear();
    result.error = "dependency file '" + std::string(dependencyFile) + "' cannot name '" +
                   shownName(path) + "': make and Ninja cannot both read " + unreadable;
    return false;
  };

  if (!append(target, true)) return result;
  result.text += ':';
  std::unordered_set<std::string_view> listed;
  listed.reserve(prerequisites.size());
  for (const std::string& name : prerequisites) {
    if (!listed.insert(name).second) continue;
    result.text += " \\\n  ";
    if (!append(name, false)) return result;
  }
  result.text += '\n';
  return result;
}

}  // namespace vozo
