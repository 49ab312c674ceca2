#include "xml/macro_expand.h"

namespace vozo {

namespace {

constexpr std::string_view::size_type npos = std::string_view::npos;

// One reference "$(NAME...)" as found in a text.
struct Reference {
  std::string_view written;  // the whole reference, from "$" to its end
  std::string_view name;
  std::string_view defaultText;
  bool hasDefault = false;
  bool expandDefault = false;  // ":" rather than "::"
};

// Finds the end of a default that starts at `begin`: the ")" that balances
// the reference's "(", or the end of the text.
size_t findDefaultEnd(std::string_view text, size_t begin) {
  size_t depth = 0;
  for (size_t i = begin; i < text.size(); ++i) {
    if (text[i] == '(') {
      ++depth;
    } else if (text[i] == ')') {
      if (depth == 0) return i;
      --depth;
    }
  }
  return text.size();
}

class Expander {
 public:
  Expander(const MacroMap& localMap, const MacroTable& macroTable, bool useMacroTable,
           std::string& out, size_t& budget)
      : localMap_(localMap),
        macroTable_(macroTable),
        useMacroTable_(useMacroTable),
        out_(out),
        budget_(budget) {}

  // Appends the expansion of `text` (which contains a "$") to the output.
  void expandText(std::string_view text, int depth) {
    size_t pending = 0;  // start of the literal run not yet appended
    size_t dollar = text.find('$');
    while (dollar != npos) {
      out_.append(text.substr(pending, dollar - pending));
      size_t next = dollar + 1;
      if (next >= text.size() || text[next] != '(') {
        out_ += '$';
        if (next < text.size() && text[next] == '$') ++next;
        pending = next;
        dollar = text.find('$', next);
        continue;
      }
      size_t nameBegin = next + 1;
      size_t nameEnd = text.find_first_of(":)", nameBegin);
      if (nameEnd == npos) {
        pending = nameBegin;  // "$(" without ":" or ")" is dropped
        break;
      }
      Reference ref;
      ref.name = text.substr(nameBegin, nameEnd - nameBegin);
      size_t refEnd;
      if (text[nameEnd] == ')') {
        refEnd = nameEnd + 1;
      } else {
        ref.hasDefault = true;
        size_t defaultBegin = nameEnd + 1;
        ref.expandDefault = defaultBegin >= text.size() || text[defaultBegin] != ':';
        if (!ref.expandDefault) ++defaultBegin;
        size_t defaultEnd = findDefaultEnd(text, defaultBegin);
        ref.defaultText = text.substr(defaultBegin, defaultEnd - defaultBegin);
        refEnd = defaultEnd < text.size() ? defaultEnd + 1 : defaultEnd;
      }
      ref.written = text.substr(dollar, refEnd - dollar);
      resolve(ref, text, depth);
      pending = refEnd;
      dollar = text.find('$', refEnd);
    }
    out_.append(text.substr(pending));
  }

 private:
  void resolve(const Reference& ref, std::string_view text, int depth) {
    if (ref.name.empty()) return;
    const std::string* value = localMap_.find(ref.name);
    if (!value && useMacroTable_) value = macroTable_.find(ref.name);
    if (value) {
      if (macroTable_.computedValue(ref.name, computed_)) {
        appendValue(ref, computed_);
      } else if (*value != text && value->find('$') != std::string::npos) {
        expandNested(ref, *value, depth);
      } else {
        appendValue(ref, *value);
      }
    } else if (!ref.hasDefault) {
      out_.append(ref.written);
    } else if (ref.expandDefault && ref.defaultText.find('$') != npos) {
      expandNested(ref, ref.defaultText, depth);
    } else {
      out_.append(ref.defaultText);
    }
  }

  // Appends a value taken from a map, or the reference as written when the
  // work budget cannot pay for it.
  void appendValue(const Reference& ref, std::string_view value) {
    if (spend(value.size())) {
      out_.append(value);
    } else {
      out_.append(ref.written);
    }
  }

  // Appends the expansion of a value or default one level deeper, or the
  // reference as written at the nesting bound or when the budget is spent.
  void expandNested(const Reference& ref, std::string_view nested, int depth) {
    if (depth + 1 >= kMaxMacroNesting || !spend(nested.size())) {
      out_.append(ref.written);
      return;
    }
    expandText(nested, depth + 1);
  }

  bool spend(size_t bytes) {
    if (bytes > budget_) {
      budget_ = 0;
      return false;
    }
    budget_ -= bytes;
    return true;
  }

  const MacroMap& localMap_;
  const MacroTable& macroTable_;
  bool useMacroTable_;
  std::string& out_;
  size_t& budget_;
  std::string computed_;
};

}  // namespace

bool expandInto(std::string_view text, const MacroMap& localMap, const MacroTable& macroTable,
                bool useMacroTable, std::string& out, size_t& budget) {
  if (text.find('$') == npos) return false;
  std::string result;
  result.reserve(text.size());
  Expander(localMap, macroTable, useMacroTable, result, budget).expandText(text, 0);
  out = std::move(result);
  return true;
}

bool expandInto(std::string_view text, const MacroMap& localMap, const MacroTable& macroTable,
                bool useMacroTable, std::string& out) {
  size_t budget = kMaxExpansionWork;
  return expandInto(text, localMap, macroTable, useMacroTable, out, budget);
}

std::string expand(std::string_view text, const MacroMap& localMap, const MacroTable& macroTable,
                   bool useMacroTable) {
  std::string result;
  if (!expandInto(text, localMap, macroTable, useMacroTable, result)) result.assign(text);
  return result;
}

}  // namespace vozo
