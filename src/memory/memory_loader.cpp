// Loading a memory description document from a file or a text: reading
// (with or without the preprocessor), resolving the `Import` children of the
// root, and evaluating addresses.

#include <algorithm>
#include <ctime>
#include <string>
#include <string_view>

#include "memory/address_evaluation.h"
#include "memory/memory_map.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "xml/macro_expand.h"

namespace vozo {

namespace {

std::string currentDirectory() {
  return platform::currentDirectory().value_or(".");
}

// `path` as it is opened: an absolute path stands; a relative one is taken
// against the directory of the file loaded last, made absolute against the
// working directory, or, when no file was loaded yet, used as it is.
std::string resolvePath(const std::string& path, const std::string& filePath) {
  if (path.empty() || platform::isAbsolutePath(path) || filePath.empty()) return path;
  std::string base =
      platform::isAbsolutePath(filePath) ? filePath : currentDirectory() + "/" + filePath;
  const size_t slash = platform::lastPathSeparator(base);
  base.resize(std::max(slash, platform::rootLength(base)));
  if (!platform::isPathSeparator(base.back())) base += '/';
  return base + path;
}

// Reads the file named by `pathText` into the document without making it the
// document's root: returns the new root element, or null when the file cannot
// be read or parsed or has no root. The document's root and `readOnly` are
// as they were afterwards.
MemoryMapElement* readFile(MemoryMap& document, std::string_view pathText) {
  std::string path = resolveInputPath(document, pathText);

  XMLElement* previousRoot = document.root();
  bool previousReadOnly = document.readOnly;
  // Only ever switched on: a document already marked read-only stays so.
  if (!platform::isWritable(path)) document.readOnly = true;

  // Only this file's own parse; the files it includes are read whole.
  document.setContentFilter(document.registerFilter());
  bool loaded = document.preprocess
                    ? document.loadPreprocessed(path, document.macroDefinitions, true)
                    : document.load(path);
  auto* newRoot = loaded ? static_cast<MemoryMapElement*>(document.root()) : nullptr;
  if (newRoot != nullptr) {
    const platform::FileStatus status = platform::fileStatus(path);
    if (status.error == 0) newRoot->setLastModified(static_cast<std::time_t>(status.modified));
  }

  document.setRoot(previousRoot);
  document.readOnly = previousReadOnly;
  return newRoot;
}

// Replaces each `Import` child of the root by the root of the file it names.
// Only the root's own children are looked at, so imports inside imported
// files stay as they are. An import that cannot be read stays in the tree.
// Children that are not elements are passed over, as in the other walks.
void resolveImports(MemoryMap& document) {
  XMLElement* root = document.root();
  if (root == nullptr) return;
  XMLNode* child = root->firstChild();
  while (child != nullptr) {
    // A replaced child keeps its link to the next sibling.
    XMLNode* next = child->nextSibling();
    XMLElement* element = child->asElement();
    if (element != nullptr && element->tagName() == "Import") {
      std::string_view fileName = element->attribute("filename").value_or(std::string_view());
      if (MemoryMapElement* imported = readFile(document, fileName)) {
        root->replaceChild(element, imported);
        imported->setImportedBy(static_cast<MemoryMapElement*>(element));
      }
    }
    child = next;
  }
}

}  // namespace

std::string resolveInputPath(const MemoryMap& document, std::string_view pathText) {
  // File paths see the built-in macros only, never the file's definitions.
  return resolvePath(expand(pathText, MacroMap(), document.macroTable(), true), document.filePath);
}

bool loadFile(MemoryMap& document, const std::string& path, const std::string& macroDefinitions,
              bool preprocess) {
  document.preprocess = preprocess;
  document.macroDefinitions = macroDefinitions;
  MemoryMapElement* root = readFile(document, path);
  document.setRoot(root);
  if (root == nullptr) return false;
  document.doctypeName = document.doctype().value_or(std::string());
  document.filePath = path;
  resolveImports(document);
  evaluateAddresses(document.rootElement(), document.addressParser(), document.elementVisitor());
  return true;
}

bool loadText(MemoryMap& document, std::string_view text) {
  document.parse(text);
  if (document.root() == nullptr) return false;
  document.filePath.clear();
  resolveImports(document);
  evaluateAddresses(document.rootElement(), document.addressParser(), document.elementVisitor());
  return true;
}

}  // namespace vozo
