#include "check/macro_checks.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "check/finding.h"
#include "check/value_checks.h"
#include "check/vocabulary.h"
#include "platform/files.h"
#include "xml/closest_name.h"
#include "xml/split_list.h"

namespace vozo {

namespace {

constexpr std::string_view kReferenceStart = "$(";
// A name shorter than this is one edit from every other name of its length:
// no closest name is guessed for it.
constexpr size_t kShortestGuessed = 3;

// The macro names that the command-line definitions text defines, in order:
// each item's text before its first "=".
std::vector<std::string> definedNames(std::string_view definitions) {
  std::vector<std::string> names;
  for (std::string& item : splitEscapedList(definitions, ';', '\\', false)) {
    names.push_back(item.substr(0, item.find('=')));
  }
  return names;
}

// Calls `visit(name, closed)` for each reference in `text`: the name between
// "$(" and the first ":" or ")", and whether ")" ends it (no default).
template <typename Visit>
void forEachReference(std::string_view text, Visit visit) {
  for (size_t at = text.find(kReferenceStart); at != std::string_view::npos;
       at = text.find(kReferenceStart, at)) {
    const size_t begin = at + kReferenceStart.size();
    const size_t end = text.find_first_of(":)", begin);
    if (end == std::string_view::npos) return;
    visit(text.substr(begin, end - begin), text[end] == ')');
    at = end;
  }
}

// The text of a regular file, or none (a pipe or device is not read twice).
std::optional<std::string> regularFileText(const std::string& path) {
  const platform::FileStatus status = platform::fileStatus(path);
  if (status.error != 0 || status.kind != platform::FileKind::Regular ||
      status.size > XMLDocument::kMaxFileBytes) {
    return std::nullopt;
  }
  platform::InputFile::Opened opened = platform::InputFile::open(path);
  if (!opened.file) return std::nullopt;
  std::string text(static_cast<size_t>(status.size), '\0');
  text.resize(opened.file->read(text.data(), text.size()).count);
  return text;
}

bool isNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Whether `name` stands in `text` as a word of its own.
bool mentions(std::string_view text, std::string_view name) {
  for (size_t at = text.find(name); at != std::string_view::npos; at = text.find(name, at + 1)) {
    const size_t end = at + name.size();
    if ((at == 0 || !isNameCharacter(text[at - 1])) &&
        (end == text.size() || !isNameCharacter(text[end]))) {
      return true;
    }
  }
  return false;
}

// What keeps the name of the definition `item` from being referenced as
// $(NAME), or "".
std::string unreferencable(std::string_view item) {
  const size_t equals = item.find('=');
  const std::string_view name = item.substr(0, equals);
  const std::string_view bare = trimmed(name);
  const std::string quoted = "the macro name \"" + std::string(name) + "\"";
  if (bare.empty()) return "it has no macro name before \"=\"";
  if (const size_t bad = name.find_first_of(":)"); bad != std::string_view::npos) {
    return quoted + " holds " + shownCharacter(name[bad]) +
           ", which ends a reference: no $(...) can name it";
  }
  if (bare.size() != name.size()) {
    std::string fixed(bare);
    if (equals != std::string_view::npos)
      fixed.append("=").append(trimmed(item.substr(equals + 1)));
    return quoted + " has blanks around it, so $(" + std::string(bare) +
           ") does not reference it; write " + fixed;
  }
  if (name.find_first_of(" \t") != std::string_view::npos) {
    return quoted + " holds a blank: only a reference with the same blank, $(" + std::string(name) +
           "), names it";
  }
  return {};
}

}  // namespace

std::string_view macroOption(bool isPlacement) {
  return isPlacement ? "-section-placement-macros" : "-memory-map-macros";
}

bool checkMacroReferences(CheckContext& context, const MemoryMap& document,
                          const MemoryMapElement& element, std::string_view attribute,
                          std::string_view text, bool isPlacement) {
  if (text.find(kReferenceStart) == std::string_view::npos) return false;
  const std::vector<std::string> defined = definedNames(document.macroDefinitions);
  // Names that no reference can name are reported as such, not offered.
  std::vector<std::string_view> candidates;
  for (const std::string& name : defined) {
    if (name.find_first_of(" \t:)") == std::string::npos) candidates.push_back(name);
  }
  bool found = false;
  forEachReference(text, [&](std::string_view name, bool closed) {
    if (name.empty() || !closed || document.macroTable().find(name) ||
        std::find(defined.begin(), defined.end(), name) != defined.end()) {
      return;
    }
    found = true;
    const std::string reference = "$(" + std::string(name) + ")";
    context.findings.add(
        element,
        std::string(attribute) + "=\"" + std::string(text) + "\" of " + describeElement(element) +
            " uses " + reference + ", but no macro " + std::string(name) +
            " is defined, so the text stays as written: define it "
            "with " +
            std::string(macroOption(isPlacement)) + " " + std::string(name) +
            "=<value> or give a default, $(" + std::string(name) + ":<value>)" +
            (name.size() < kShortestGuessed ? std::string() : didYouMean(name, candidates)));
  });
  return found;
}

void checkCommandLineMacros(CheckContext& context, const MemoryMap& document, bool isPlacement) {
  const std::vector<std::string> items =
      splitEscapedList(document.macroDefinitions, ';', '\\', false);
  if (items.empty()) return;
  const std::string option(macroOption(isPlacement));

  // The files' texts, and each name they reference with the first file that
  // does.
  std::vector<std::string> texts;
  std::vector<std::string> referenced;
  std::vector<std::string> referencingFile;
  for (const std::string& path : document.sourceFiles()) {
    std::optional<std::string> text = regularFileText(path);
    if (!text) continue;
    forEachReference(*text, [&](std::string_view name, bool) {
      if (name.empty() ||
          std::find(referenced.begin(), referenced.end(), name) != referenced.end()) {
        return;
      }
      referenced.emplace_back(name);
      referencingFile.push_back(displayPath(path));
    });
    texts.push_back(std::move(*text));
  }
  const std::vector<std::string> defined = definedNames(document.macroDefinitions);

  for (const std::string& item : items) {
    const std::string name = item.substr(0, item.find('='));
    const std::string given = option + " item \"" + item + "\"";
    if (std::string problem = unreferencable(item); !problem.empty()) {
      context.findings.add(given + ": " + problem);
      continue;
    }
    if (name.size() < kShortestGuessed ||
        std::any_of(texts.begin(), texts.end(),
                    [&](const std::string& text) { return mentions(text, name); })) {
      continue;
    }
    // The near names that the command line does not define itself.
    std::vector<std::string_view> candidates;
    for (const std::string& candidate : referenced) {
      if (std::find(defined.begin(), defined.end(), candidate) == defined.end()) {
        candidates.push_back(candidate);
      }
    }
    std::optional<std::string_view> closest = closestName(name, candidates);
    if (!closest) continue;
    const size_t index =
        std::find(referenced.begin(), referenced.end(), *closest) - referenced.begin();
    context.findings.add(given + ": no file uses " + name + ", and " + referencingFile[index] +
                         " uses $(" + std::string(*closest) + "); did you mean " +
                         std::string(*closest) + "?");
  }
}

}  // namespace vozo
