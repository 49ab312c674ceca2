#pragma once
// The memory description document: one class for both inputs of a run, the
// memory map (from a file or from a segment list) and the section placement
// file. Every element it creates is a MemoryMapElement; after a load the
// `start` and `size` of every element are evaluated.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "expr/simple_expression_parser.h"
#include "memory/memory_map_element.h"
#include "memory/register_filter.h"
#include "xml/xmlpp2.h"

namespace vozo {

class MemoryMap : public XMLPP2 {
 public:
  // Bound to the macro table for the life of the document (not owned).
  explicit MemoryMap(const MacroTable& macroTable);

  XMLElement* createElement(std::string_view tagName) override;

  // The preprocessor's messages are collected here and not displayed; the
  // input checks show them with the file and line of the element they
  // concern.
  struct Warning {
    std::string text;
    std::string file;  // empty when unknown
    int32_t line = -1;  // 0-based; -1 when unknown
  };
  void warning(std::string_view text) override;
  void warningAt(std::string_view text, const XMLNode* where) override;
  const std::vector<Warning>& warnings() const { return warnings_; }

  // The root element, or null when the document has none.
  MemoryMapElement* rootElement() const;

  // Document state used by the loaders.
  bool preprocess = false;
  bool readOnly = false;         // copied into elements created from now on
  std::string macroDefinitions;  // the command-line definitions for this file
  std::string filePath;          // the file loaded last, as given
  std::string doctypeName;       // copy of the doctype after a file load

  // The parser that evaluates the `start` and `size` texts of this
  // document, made once and reused for every element.
  SimpleExpressionParser& addressParser() { return addressParser_; }

  // Lets the file loads from now on leave the content of register
  // descriptions out of the tree (see memory/register_filter.h): for a
  // document whose registers nothing reads but the visitor's checks.
  void leaveOutRegisters() { registersUnused_ = true; }
  // The filter for the next file parse, or null when it keeps everything.
  ContentFilter* registerFilter() {
    const bool checked = !elementVisitor_ || registerFilter_.hasCheck();
    return registersUnused_ && checked ? &registerFilter_ : nullptr;
  }

  // Called for every element of a load, in document order, once its
  // addresses are evaluated: a reader of every element (the input checks)
  // then needs no walk of its own over a tree that is no longer in cache.
  using ElementVisitor = std::function<void(const MemoryMapElement&)>;
  // A visitor that comes with a check of left-out content (not owned) lets
  // loads leave content out all the same; one without keeps everything.
  void setElementVisitor(ElementVisitor visitor, LeftOutContentCheck* leftOutCheck = nullptr) {
    elementVisitor_ = std::move(visitor);
    registerFilter_.setCheck(leftOutCheck);
  }
  const ElementVisitor& elementVisitor() const { return elementVisitor_; }

 private:
  std::vector<Warning> warnings_;
  SimpleExpressionParser addressParser_;
  ElementVisitor elementVisitor_;
  bool registersUnused_ = false;
  RegisterFilter registerFilter_;
};

// Reads, preprocesses (when `preprocess`), resolves `Import` children of the
// root and evaluates addresses. Paths (the file's and the imports') are
// expanded with the built-in macros only; a relative import path is taken
// against the directory of `path`. Elements read from a file that cannot be
// written are marked readOnly. False when the file cannot be read or parsed
// (the parser's message stays in the document). A file that parses but has
// no root element counts as unreadable: the document is left without a root
// and the result is false.
bool loadFile(MemoryMap& document, const std::string& path, const std::string& macroDefinitions,
              bool preprocess);

// The path that a load or an `Import` element opens for `pathText`: expanded
// with the built-in macros; a relative one taken against the directory of
// the file loaded last (`filePath`), else the working directory.
std::string resolveInputPath(const MemoryMap& document, std::string_view pathText);

// Parses an XML text (no preprocessing), resolves imports against the
// working directory and evaluates addresses. True when there is a root.
// The text is taken byte for byte, as the command line that it comes from
// is: the 8-bit text of the run goes through unchanged.
// A text that does not parse leaves whatever root the parser built (possibly
// none); the writers then see the segments of that part, or none at all.
bool loadText(MemoryMap& document, std::string_view text);

}  // namespace vozo
