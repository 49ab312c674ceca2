#include "xml/xmlpp2.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "expr/evaluate.h"
#include "expr/h_exception.h"
#include "expr/simple_expression_parser.h"
#include "xml/macro_expand.h"
#include "xml/preprocess_support.h"
#include "xml/split_list.h"
#include "xml/xmlpp2_walk.h"

namespace vozo {

namespace {

constexpr std::string_view kPrefix = "XmlPP::processConditionals(): ";

bool sameMacros(const MacroMap& a, const MacroMap& b) {
  return a.sharesStorageWith(b) || std::equal(a.begin(), a.end(), b.begin(), b.end());
}

}  // namespace

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
                     std::to_string(generatedLimit_) + " elements, the limit for one file load");
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
