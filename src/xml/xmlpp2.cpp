#include "xml/xmlpp2.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "expr/evaluate.h"
#include "expr/h_exception.h"
#include "expr/simple_expression_parser.h"
#include "xml/macro_expand.h"
#include "xml/preprocess_support.h"
#include "xml/split_list.h"

namespace vozo {

namespace {

constexpr std::string_view kPrefix = "XmlPP::processConditionals(): ";

// One file of the chain of files being walked: the file itself, the file
// that included it, and so on up to the file the walk started with.
struct SourceFile {
  std::string path;  // as given: the base of relative include names
  // The same for every spelling of the path. Resolving it takes system
  // calls, so a file that includes nothing never has it resolved.
  mutable std::optional<std::string> identity;
  std::shared_ptr<const SourceFile> includer;
  int depth = 0;
  // The macro map and expansion switch that the file's contents are walked
  // with.
  MacroMap macros;
  bool expandMacros = false;

  const std::string& resolvedIdentity() const {
    if (!identity) identity = fileIdentity(path);
    return *identity;
  }
};

bool sameMacros(const MacroMap& a, const MacroMap& b) {
  return a.sharesStorageWith(b) || std::equal(a.begin(), a.end(), b.begin(), b.end());
}

}  // namespace

// The walk over a sibling list and everything below it. Nesting is kept on
// an explicit stack of frames, one per sibling list being walked, so that
// the depth of a document costs heap memory, not call stack.
//
// Where a directive is the root of a tree (it has no parent; the document's
// root or a detached element handed to processConditionals), it cannot be
// spliced, dropped or replaced without leaving the document without a
// single root: every directive except `include` is then kept as an ordinary
// element (its children are walked). An `include` at the root is replaced
// by the included root, which is never dissolved: `no_root` is ignored
// there, and a root named "envelope" stays.
class XMLPP2Walk {
 public:
  XMLPP2Walk(XMLPP2& document) : document_(document), parser_(document.expressionParser_) {}

  void run(XMLNode* first, std::shared_ptr<const SourceFile> source, MacroMap macros,
           bool expandMacros);

 private:
  // What happens when a frame's sibling list is finished.
  enum class After : uint8_t {
    Nothing,
    Include,  // inherit_attributes onto the included root (holder), maybe dissolve it
    Xmlput,   // move the copy's (holder's) children after directive, remove directive
  };

  struct Frame {
    XMLNode* next;
    std::shared_ptr<const SourceFile> source;
    MacroMap macros;
    bool expandMacros;
    After after = After::Nothing;
    XMLElement* directive = nullptr;
    XMLElement* holder = nullptr;
    bool dissolve = false;
    // The node after the frame's range when it walks a part of a list
    // (spliced contents); null when it walks to the end of the list.
    XMLNode* stop = nullptr;
  };

  Frame& top() { return stack_.back(); }
  void warning(std::string_view text);
  void process(XMLElement& element);
  void finish(Frame& frame);

  // Outcomes.
  void keep(XMLElement& element);
  void splice(XMLElement& directive, XMLElement& holder);
  void drop(XMLElement& directive);
  // Pushes a frame over `holder`'s children that ends with `after`.
  void walkChildren(XMLElement& holder, After after, XMLElement* directive, MacroMap macros,
                    bool expandMacros, std::shared_ptr<const SourceFile> source,
                    bool dissolve = false);

  // Directives.
  void conditionList(XMLElement& element, bool wanted);
  void conditionDefined(XMLElement& element, bool wanted);
  void conditionExpression(XMLElement& element);
  void switchCase(XMLElement& element);
  void include(XMLElement& element);
  void includeFailed(XMLElement& element);
  void define(XMLElement& element);
  void forLoop(XMLElement& element);
  void foreachLoop(XMLElement& element);
  void xmldef(XMLElement& element);
  void xmlput(XMLElement& element);

  // The map and the expansion switch for the contents of an include or
  // xmlput element (its `macros` and `expand_macros` attributes).
  void contentsMap(const XMLElement& element, MacroMap& macros, bool& expandMacros, bool& extended);
  // Puts clones of the element children of `loop`, expanded with `macros`,
  // after `last`; `last` becomes the last node put in.
  void putClones(XMLElement& loop, const MacroMap& macros, XMLNode*& last);
  // Ends a loop: the walk goes on with the first clone, the loop leaves.
  void replaceLoop(XMLElement& loop);

  std::string expanded(std::string_view text, const MacroMap& macros);

  XMLPP2& document_;
  SimpleExpressionParser& parser_;
  std::vector<Frame> stack_;
  // xmlput copies being walked, one inside the other.
  int xmlputNesting_ = 0;
  // The element being processed: where a warning points.
  const XMLElement* current_ = nullptr;
};

void XMLPP2Walk::warning(std::string_view text) {
  std::string message(kPrefix);
  message += text;
  document_.warningAt(message, current_);
}

std::string XMLPP2Walk::expanded(std::string_view text, const MacroMap& macros) {
  std::string result;
  if (!document_.expandText(text, macros, false, result)) result.assign(text);
  return result;
}

void XMLPP2Walk::run(XMLNode* first, std::shared_ptr<const SourceFile> source, MacroMap macros,
                     bool expandMacros) {
  stack_.push_back(Frame{first, std::move(source), std::move(macros), expandMacros});
  while (!stack_.empty()) {
    Frame& frame = top();
    XMLNode* node = frame.next;
    if (!node || node == frame.stop) {
      finish(frame);
      stack_.pop_back();
      continue;
    }
    frame.next = node->nextSibling();
    XMLElement* element = node->asElement();
    if (!element) continue;  // CDATA and other character data pass unchanged
    if (frame.expandMacros) document_.expandAttributes(*element, frame.macros);
    current_ = element;
    process(*element);
  }
}

void XMLPP2Walk::process(XMLElement& element) {
  const std::string_view tag = element.tagName();
  if (tag == "if") return conditionList(element, true);
  if (tag == "ifnot") return conditionList(element, false);
  if (tag == "ifdef") return conditionDefined(element, true);
  if (tag == "ifndef") return conditionDefined(element, false);
  if (tag == "ifex") return conditionExpression(element);
  if (tag == "switch") return switchCase(element);
  if (tag == "include") return include(element);
  if (tag == "define") return define(element);
  if (tag == "for") return forLoop(element);
  if (tag == "foreach") return foreachLoop(element);
  if (tag == "xmldef") return xmldef(element);
  if (tag == "xmlput") return xmlput(element);
  keep(element);
}

void XMLPP2Walk::walkChildren(XMLElement& holder, After after, XMLElement* directive,
                              MacroMap macros, bool expandMacros,
                              std::shared_ptr<const SourceFile> source, bool dissolve) {
  Frame frame{holder.firstChild(), std::move(source), std::move(macros), expandMacros, after,
              directive,           &holder,           dissolve};
  stack_.push_back(std::move(frame));
}

void XMLPP2Walk::keep(XMLElement& element) {
  if (!element.hasChildren()) return;
  const Frame& frame = top();
  walkChildren(element, After::Nothing, nullptr, frame.macros, frame.expandMacros, frame.source);
}

// The contents move up first, each node once, and are then walked where
// they now stand, as a range of the parent's list that ends at the node that
// followed the directive. Moving them after the walk instead would move
// everything a nested directive had already moved up again at every level:
// quadratic in the nesting depth.
void XMLPP2Walk::splice(XMLElement& directive, XMLElement& holder) {
  XMLNode* parent = directive.parent();
  if (!parent) return keep(directive);
  const Frame& frame = top();
  XMLNode* stop = directive.nextSibling();
  XMLNode* first = holder.firstChild();
  if (first) parent->insertAfter(&directive, first);
  parent->removeChild(&directive);
  if (!first) return;
  stack_.push_back(Frame{first, frame.source, frame.macros, frame.expandMacros});
  top().stop = stop;
}

void XMLPP2Walk::drop(XMLElement& directive) {
  if (!directive.parent()) return keep(directive);
  directive.parent()->removeChild(&directive);
}

void XMLPP2Walk::finish(Frame& frame) {
  switch (frame.after) {
    case After::Nothing:
      break;
    case After::Xmlput: {
      --xmlputNesting_;
      XMLNode* parent = frame.directive->parent();
      if (XMLNode* moved = frame.holder->firstChild()) parent->insertAfter(frame.directive, moved);
      parent->removeChild(frame.directive);
      break;
    }
    case After::Include: {
      XMLElement& included = *frame.holder;
      std::string_view names;
      if (frame.directive->getAttribute("inherit_attributes", names) && !names.empty()) {
        // Attributes the include element does not carry are skipped.
        for (std::string_view name : splitPlain(names, ';', false)) {
          if (auto value = frame.directive->attribute(name)) included.setAttribute(name, *value);
        }
      }
      if (frame.dissolve) {
        XMLNode* parent = included.parent();
        if (XMLNode* moved = included.firstChild()) parent->insertAfter(&included, moved);
        parent->removeChild(&included);
      }
      break;
    }
  }
}

void XMLPP2Walk::conditionList(XMLElement& element, bool wanted) {
  if (element.attributeCount() != 1) {
    warning("one condition required for <if[not]>");
    return keep(element);
  }
  const XMLAttribute& condition = element.attributes().front();
  const std::string* value = top().macros.find(condition.name);
  bool matches = value && listContains(condition.value, ',', *value);
  if (matches == wanted) return splice(element, element);
  drop(element);
}

void XMLPP2Walk::conditionDefined(XMLElement& element, bool wanted) {
  std::string_view name;
  element.getAttribute("name", name);
  if (top().macros.contains(name) == wanted) return splice(element, element);
  drop(element);
}

void XMLPP2Walk::conditionExpression(XMLElement& element) {
  std::string_view expression;
  if (!element.getAttribute("expression", expression) || expression.empty()) {
    return keep(element);
  }
  bool ok = false;
  bool holds = evaluateCondition(parser_, expanded(expression, top().macros), ok);
  if (ok && holds) return splice(element, element);
  drop(element);
}

void XMLPP2Walk::switchCase(XMLElement& element) {
  std::string_view name;
  element.getAttribute("name", name);
  const std::string* value = top().macros.find(name);
  XMLElement* selected = nullptr;
  XMLElement* fallback = nullptr;
  for (XMLNode* child = element.firstChild(); child; child = child->nextSibling()) {
    XMLElement* option = child->asElement();
    if (!option) continue;
    if (option->tagName() == "case") {
      std::string_view list;
      if (value && option->getAttribute("value", list) && listContains(list, ',', *value)) {
        selected = option;
        break;
      }
    } else if (option->tagName() == "default") {
      fallback = option;
    }
  }
  if (!selected) selected = fallback;
  if (selected) return splice(element, *selected);
  drop(element);
}

void XMLPP2Walk::contentsMap(const XMLElement& element, MacroMap& macros, bool& expandMacros,
                             bool& extended) {
  extended = false;
  if (!expandMacros && !element.hasAttribute("expand_macros")) return;
  std::string_view definitions;
  if (!element.getAttribute("macros", definitions)) return;
  std::vector<std::string> items = splitEscapedList(withoutNewlines(definitions));
  macros.setAll(definitionsToMap(items));
  expandMacros = true;
  extended = true;
}

void XMLPP2Walk::includeFailed(XMLElement& element) {
  if (element.hasAttribute("no_root")) return splice(element, element);
  keep(element);
}

void XMLPP2Walk::include(XMLElement& element) {
  std::string_view filename;
  if (!element.getAttribute("filename", filename)) {
    warning("missing filename in <include>");
    return keep(element);
  }
  XMLElement* savedRoot = document_.root();
  const bool atRoot = savedRoot == &element;
  if (!atRoot && !element.parent()) return keep(element);

  std::string name;
  if (!document_.expandText(filename, MacroMap(), true, name)) name.assign(filename);
  std::string path = resolveIncludePath(name, top().source->path);

  // A file may include itself, directly or through others, as long as
  // something changes on the way down (a guard on a macro that the `macros`
  // attribute changes ends the chain). Entering a file again with the same
  // map and switch as an enclosing level would repeat that level forever, and
  // is refused; the depth limit stops every other endless chain.
  const Frame& frame = top();
  MacroMap macros = frame.macros;
  bool expandMacros = frame.expandMacros;
  bool extended = false;
  contentsMap(element, macros, expandMacros, extended);
  std::string identity = fileIdentity(path);
  for (const SourceFile* file = frame.source.get(); file; file = file->includer.get()) {
    if (file->resolvedIdentity() == identity && file->expandMacros == expandMacros &&
        sameMacros(file->macros, macros)) {
      warning("error: include file '" + path + "' includes itself");
      return includeFailed(element);
    }
  }
  if (frame.source->depth + 1 >= XMLPP2::kMaxIncludeDepth) {
    warning("error: include file '" + path + "' is nested too deeply");
    return includeFailed(element);
  }
  if (document_.includeFilesLeft_ == 0) {
    warning("error: too many include files, '" + path + "' not read");
    return includeFailed(element);
  }
  --document_.includeFilesLeft_;
  const bool loaded = document_.load(path);
  XMLElement* included = document_.root();
  if (!loaded || !included) {
    if (!included) {
      warning("error: include file '" + path + "' is empty");
    } else {
      warning("error \"" + document_.errorMessage() + "\" in include file " + path +
              " line:" + std::to_string(document_.errorLine()));
    }
    document_.setRoot(savedRoot);
    return includeFailed(element);
  }

  bool envelope = false;
  if (!atRoot) {
    element.parent()->replaceChild(&element, included);
    document_.setRoot(savedRoot);
    envelope = included->tagName() == "envelope";
  }

  if (extended) {
    document_.expandAttributes(*included, macros);
  } else if (frame.expandMacros) {
    document_.expandAttributes(*included, frame.macros);
  }
  auto source =
      std::make_shared<SourceFile>(SourceFile{std::move(path), std::move(identity), frame.source,
                                              frame.source->depth + 1, macros, expandMacros});
  const bool dissolve = !atRoot && (element.hasAttribute("no_root") || envelope);
  walkChildren(*included, After::Include, &element, std::move(macros), expandMacros,
               std::move(source), dissolve);
}

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

XMLPP2::XMLPP2(const MacroTable& macroTable, bool keepCharacterData)
    : QXMLDocument(keepCharacterData), macroTable_(macroTable) {}

void XMLPP2::resetLimits() {
  expansionBudget_ = kMaxExpansionWorkPerLoad;
  generatedBudget_ = generatedLimit_;
  includeFilesLeft_ = kMaxIncludeFiles;
  wildcardTestsLeft_ = kMaxWildcardTests;
}

bool XMLPP2::expandText(std::string_view text, const MacroMap& macros, bool useMacroTable,
                        std::string& out) {
  size_t budget = std::min(kMaxExpansionWork, expansionBudget_);
  const size_t before = budget;
  bool changed = expandInto(text, macros, macroTable_, useMacroTable, out, budget);
  expansionBudget_ -= before - budget;
  if (expansionBudget_ == 0) {
    throw HException("macro expansion takes more than " +
                            std::to_string(kMaxExpansionWorkPerLoad >> 20) +
                            " MiB, the limit for one file load");
  }
  return changed;
}

void XMLPP2::spendWildcardTests(size_t count) {
  if (count > wildcardTestsLeft_) {
    throw HException("foreach exclude_wildcard needs more than " +
                            std::to_string(kMaxWildcardTests) +
                            " pattern tests, the limit for one file load");
  }
  wildcardTestsLeft_ -= count;
}

void XMLPP2::spendGenerated(size_t count, bool take) {
  if (count > generatedBudget_) {
    throw HException("preprocessor loops and xmlput generate more than " +
                            std::to_string(generatedLimit_) +
                            " elements, the limit for one file load");
  }
  if (take) generatedBudget_ -= count;
}

bool XMLPP2::loadPreprocessed(const std::string& path, std::string_view macroDefinitions,
                              bool expandMacros) {
  if (!load(path)) return false;
  resetLimits();
  processConditionals(root(), path, macroMapFromDefinitionText(macroDefinitions), expandMacros);
  return true;
}

void XMLPP2::processConditionals(XMLNode* first, const std::string& sourcePath, MacroMap macros,
                                 bool expandMacros) {
  auto source = std::make_shared<SourceFile>(
      SourceFile{sourcePath, std::nullopt, nullptr, 0, macros, expandMacros});
  XMLPP2Walk(*this).run(first, std::move(source), std::move(macros), expandMacros);
}

void XMLPP2::expandAttributes(XMLElement& element, const MacroMap& macros) {
  std::string result;
  // Setting an existing attribute keeps the span valid.
  for (const XMLAttribute& attribute : element.attributes()) {
    if (attribute.value.find('$') == std::string_view::npos) continue;
    if (expandText(attribute.value, macros, false, result) && result != attribute.value) {
      element.setAttribute(attribute.name, result);
    }
  }
}

XMLElement* XMLPP2::cloneExpanded(const XMLElement& element, const MacroMap& macros) {
  std::string result;
  auto copyOne = [&](const XMLElement& source) {
    XMLElement* copy = createElement(source.tagName());
    copy->setSource(source.sourceFile(), source.line());
    // Loops check the budget before each pass; the copies of one pass are
    // counted here, so one pass may go past it at most by its own size.
    if (generatedBudget_ > 0) --generatedBudget_;
    for (const XMLAttribute& attribute : source.attributes()) {
      if (expandText(attribute.value, macros, false, result)) {
        copy->setAttribute(attribute.name, result);
      } else {
        copy->setAttribute(attribute.name, attribute.value);
      }
    }
    return copy;
  };
  XMLElement* top = copyOne(element);
  // Pending pairs of (source element, its copy) whose children are still to
  // be copied; the order in which subtrees are done does not matter, each
  // copy's children are appended in source order.
  std::vector<std::pair<const XMLElement*, XMLElement*>> pending{{&element, top}};
  while (!pending.empty()) {
    auto [source, copy] = pending.back();
    pending.pop_back();
    for (const XMLNode* child = source->firstChild(); child; child = child->nextSibling()) {
      if (const XMLElement* childElement = child->asElement()) {
        XMLElement* childCopy = copyOne(*childElement);
        copy->appendChild(childCopy);
        pending.emplace_back(childElement, childCopy);
      }
    }
  }
  return top;
}

}  // namespace vozo
