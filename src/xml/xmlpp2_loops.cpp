// The preprocessor's directives that define macros and make elements:
// define, for, foreach, xmldef and xmlput.

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "expr/evaluate.h"
#include "xml/macro_expand.h"
#include "xml/split_list.h"
#include "xml/xmlpp2_walk.h"

namespace vozo {

void XMLPP2Walk::define(XMLElement& element) {
  Frame& frame = top();
  std::string_view name;
  std::string_view text;
  if (!element.getAttribute("name", name)) {
    warning("missing name in <define>");
  } else if (element.getAttribute("value", text)) {
    frame.macros.set(std::string(name), std::string(text));
  } else if (element.getAttribute("expression", text)) {
    bool ok = false;
    auto value = static_cast<uint32_t>(evaluateUnsigned(parser_, expanded(text, frame.macros), ok));
    if (ok) frame.macros.set(std::string(name), std::to_string(value));
  } else if (element.getAttribute("hex_expression", text)) {
    bool ok = false;
    auto value = static_cast<uint32_t>(evaluateUnsigned(parser_, expanded(text, frame.macros), ok));
    if (ok) frame.macros.set(std::string(name), upperHex(value));
  } else {
    warning("missing value or expression in <define>");
  }
  if (auto setting = element.attribute("expand_macros")) frame.expandMacros = *setting == "Yes";
  drop(element);
}

void XMLPP2Walk::putClones(XMLElement& loop, const MacroMap& macros, XMLNode*& last) {
  XMLNode* parent = loop.parent();
  for (XMLNode* child = loop.firstChild(); child; child = child->nextSibling()) {
    if (const XMLElement* body = child->asElement()) {
      XMLElement* clone = document_.cloneExpanded(*body, macros);
      parent->insertAfter(last, clone);
      last = clone;
    }
  }
}

void XMLPP2Walk::replaceLoop(XMLElement& loop) {
  top().next = loop.nextSibling();
  loop.parent()->removeChild(&loop);
}

void XMLPP2Walk::forLoop(XMLElement& element) {
  std::string_view indexName, startText, endText, incrText;
  const bool complete = element.getAttribute("index", indexName) &&
                        element.getAttribute("start", startText) &&
                        element.getAttribute("end", endText) &&
                        element.getAttribute("incr", incrText) && element.hasChildren();
  bool ok = false;
  const auto start = static_cast<uint32_t>(complete ? evaluateUnsigned(parser_, startText, ok) : 0);
  const auto end = static_cast<uint32_t>(complete ? evaluateUnsigned(parser_, endText, ok) : 0);
  const auto incr = static_cast<uint32_t>(complete ? evaluateUnsigned(parser_, incrText, ok) : 0);
  // An increment of 0 would never reach the end: treated like a missing one.
  if (!complete || (incr == 0 && start < end)) {
    warning("<for index=\"i\" start=\"0\" end=\"32\" incr=\"1\">");
    return drop(element);
  }
  if (!element.parent()) return keep(element);

  const MacroMap& macros = top().macros;
  auto evaluateSignedAttribute = [&](std::string_view name, int64_t fallback) -> int64_t {
    std::string_view text;
    if (!element.getAttribute(name, text)) return fallback;
    bool good = false;
    return evaluateSigned(parser_, expanded(text, macros), good);
  };
  // Only the low 32 bits of the offset matter; `sub` is negated in unsigned
  // arithmetic, which wraps for every value (the most negative one too).
  uint32_t add = 0;
  if (element.hasAttribute("add")) {
    add = static_cast<uint32_t>(evaluateSignedAttribute("add", 0));
  } else if (element.hasAttribute("sub")) {
    add = 0u - static_cast<uint32_t>(evaluateSignedAttribute("sub", 0));
  }
  const auto mul = static_cast<uint32_t>(evaluateSignedAttribute("mul", 1));

  // Every pass takes one from the budget of generated elements, so a loop
  // with more passes than that fails before its first. (Passes are counted
  // up to where the index would wrap; a loop that wraps only has more.)
  if (start < end) document_.spendGenerated((uint64_t{end} - start + incr - 1) / incr, false);

  const std::string name(indexName);
  uint32_t i = start;
  uint32_t ap = add + mul * start;
  XMLNode* last = &element;
  while (i < end) {
    document_.spendGenerated(1);
    MacroMap loopMacros;
    loopMacros.set(name, std::to_string(i));
    loopMacros.set(name + "_alpha", alphaCharacter(i));
    loopMacros.set(name + "_hex", upperHex(i));
    loopMacros.set(name + "_ap", std::to_string(ap));
    loopMacros.set(name + "_ap_hex", upperHex(ap));
    putClones(element, loopMacros, last);
    i += incr;
    ap += mul * incr;
  }
  replaceLoop(element);
}

void XMLPP2Walk::foreachLoop(XMLElement& element) {
  if (!element.parent()) return keep(element);
  const MacroMap& macros = top().macros;
  std::string_view separator = ",";
  element.getAttribute("split_by", separator);
  const bool expandLists = element.hasAttribute("expand_macros");

  std::vector<std::string> exclusions;
  std::vector<std::string> wildcards;
  std::vector<std::string_view> names;
  std::vector<std::vector<std::string>> lists;
  for (const XMLAttribute& attribute : element.attributes()) {
    if (attribute.name == "split_by" || attribute.name == "expand_macros") continue;
    std::string text = withoutLineBreaks(expandLists ? expanded(attribute.value, macros)
                                                     : std::string(attribute.value));
    std::vector<std::string> items = splitAtSeparator(text, separator);
    if (attribute.name == "exclude_entries") {
      std::move(items.begin(), items.end(), std::back_inserter(exclusions));
      continue;
    }
    if (attribute.name == "exclude_wildcard") {
      std::move(items.begin(), items.end(), std::back_inserter(wildcards));
      continue;
    }
    if (!exclusions.empty() || !wildcards.empty()) {
      // Hashed, so that long lists on both sides cost linear time.
      const std::unordered_set<std::string_view> present(items.begin(), items.end());
      const std::unordered_set<std::string_view> excluded(exclusions.begin(), exclusions.end());
      for (const std::string& exclusion : exclusions) {
        if (!present.contains(exclusion)) {
          warning("exclude_entries cannot find entry named " + exclusion);
        }
      }
      document_.spendWildcardTests(items.size() * wildcards.size());
      std::erase_if(items, [&](const std::string& item) {
        if (excluded.contains(item)) return true;
        return std::any_of(wildcards.begin(), wildcards.end(), [&](const std::string& pattern) {
          return wildcardFoundIn(pattern, item);
        });
      });
    }
    names.push_back(attribute.name);
    lists.push_back(std::move(items));
  }

  // The Cartesian product, the last variable varying fastest.
  const bool anyEmpty =
      std::any_of(lists.begin(), lists.end(), [](const auto& list) { return list.empty(); });
  std::vector<size_t> position(lists.size(), 0);
  XMLNode* last = &element;
  for (uint64_t count = 0; !anyEmpty; ++count) {
    document_.spendGenerated(1);
    MacroMap loopMacros;
    for (size_t v = 0; v < names.size(); ++v) {
      loopMacros.set(std::string(names[v]), lists[v][position[v]]);
    }
    loopMacros.set("FOREACH_COUNT", std::to_string(count));
    putClones(element, loopMacros, last);
    size_t v = lists.size();
    while (v > 0 && ++position[v - 1] == lists[v - 1].size()) {
      position[v - 1] = 0;
      --v;
    }
    if (v == 0) break;
  }
  replaceLoop(element);
}

void XMLPP2Walk::xmldef(XMLElement& element) {
  std::string_view name;
  if (!element.getAttribute("name", name) || !element.parent()) return keep(element);
  document_.xmldefs_[std::string(name)] = &element;
  element.parent()->removeChild(&element);
}

void XMLPP2Walk::xmlput(XMLElement& element) {
  std::string_view name;
  if (!element.getAttribute("name", name)) return keep(element);
  auto found = document_.xmldefs_.find(name);
  if (found == document_.xmldefs_.end()) {
    warning("xmlput cannot fine xmldef named " + std::string(name));
    return keep(element);
  }
  if (!element.parent()) return keep(element);
  // Every level of nested copies moves everything the levels inside it put
  // in, so deep self-referring fragments would cost time quadratic in depth.
  if (xmlputNesting_ >= XMLPP2::kMaxXmlputNesting) {
    warning("<xmlput> not done: nested too deeply");
    return keep(element);
  }
  const XMLElement& fragment = *found->second;
  size_t size = 0;
  for (const XMLNode* node = &fragment; node; node = nextInDocumentOrder(node, &fragment)) ++size;
  document_.spendGenerated(size);
  XMLElement* copy = document_.clone(&fragment, nullptr)->asElement();
  const Frame& frame = top();
  MacroMap macros = frame.macros;
  bool expandMacros = frame.expandMacros;
  bool extended = false;
  contentsMap(element, macros, expandMacros, extended);
  walkChildren(*copy, After::Xmlput, &element, std::move(macros), expandMacros, frame.source);
  ++xmlputNesting_;
}

}  // namespace vozo
