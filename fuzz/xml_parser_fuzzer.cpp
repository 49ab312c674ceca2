// The XML parser: any byte string parses or fails with a message, and what
// parses can be copied and written out again. Read as a memory map, once
// with the register filter and once with all content kept, the two loads
// must agree in everything but the content the filter leaves out: the same
// result and error, the same elements (tags, attributes, lines) outside the
// left-out content, and the same expression text counted when their
// addresses are evaluated.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "expr/h_exception.h"
#include "fuzz_support.h"
#include "memory/address_evaluation.h"
#include "memory/memory_map.h"
#include "xml/xml_document.h"
#include "xml/xml_writer.h"

namespace {

// Passes every call on to the document's register filter and notes the
// elements whose content it left out.
class RecordingFilter : public vozo::ContentFilter {
 public:
  explicit RecordingFilter(vozo::ContentFilter& filter) : filter_(filter) {}
  bool mayLeaveOut(const vozo::XMLElement& element,
                   std::span<vozo::XMLElement* const> enclosing) override {
    return filter_.mayLeaveOut(element, enclosing);
  }
  bool acceptDescendant(std::string_view tagName, std::span<const vozo::XMLAttribute> attributes,
                        bool namesAsBefore) override {
    return filter_.acceptDescendant(tagName, attributes, namesAsBefore);
  }
  void leftOut(vozo::XMLElement& element) override {
    filter_.leftOut(element);
    leftOutElements.insert(&element);
  }

  std::set<const vozo::XMLNode*> leftOutElements;

 private:
  vozo::ContentFilter& filter_;
};

// The expression text left to the document's address parser once its
// addresses are evaluated, or the bound's message.
std::string textLeftAfterEvaluation(vozo::MemoryMap& document) {
  try {
    vozo::evaluateAddresses(document.rootElement(), document.addressParser(), nullptr);
  } catch (const vozo::HException& error) {
    return error.message();
  }
  return std::to_string(document.addressParser().textLeft());
}

bool sameElement(const vozo::XMLNode& a, const vozo::XMLNode& b) {
  const vozo::XMLElement* x = a.asElement();
  const vozo::XMLElement* y = b.asElement();
  if ((x == nullptr) != (y == nullptr) || a.line() != b.line()) return false;
  if (x == nullptr) return true;
  if (x->tagName() != y->tagName() || x->attributeCount() != y->attributeCount()) return false;
  for (size_t i = 0; i < x->attributeCount(); ++i) {
    if (x->attributes()[i].name != y->attributes()[i].name ||
        x->attributes()[i].value != y->attributes()[i].value) {
      return false;
    }
  }
  return true;
}

// Walks both trees side by side (no recursion: fuzz inputs nest deeply).
void expectSameTrees(const vozo::XMLNode* filtered, const vozo::XMLNode* whole,
                     const std::set<const vozo::XMLNode*>& leftOut) {
  std::vector<std::pair<const vozo::XMLNode*, const vozo::XMLNode*>> pending{{filtered, whole}};
  while (!pending.empty()) {
    auto [f, w] = pending.back();
    pending.pop_back();
    if ((f == nullptr) != (w == nullptr)) std::abort();
    if (f == nullptr) continue;
    if (!sameElement(*f, *w)) std::abort();
    if (leftOut.contains(f)) {
      if (f->firstChild() != nullptr) std::abort();
      continue;
    }
    const vozo::XMLNode* fc = f->firstChild();
    const vozo::XMLNode* wc = w->firstChild();
    for (; fc != nullptr && wc != nullptr; fc = fc->nextSibling(), wc = wc->nextSibling()) {
      pending.emplace_back(fc, wc);
    }
    if (fc != nullptr || wc != nullptr) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool keepCharacterData = size > 0 && (data[0] & 1);
  const std::string_view text = vozo::fuzz::asText(data, size);
  vozo::XMLDocument document(keepCharacterData);
  vozo::fuzz::expectingLimitErrors([&] {
    const bool parsed = document.parse(text);

    if (!keepCharacterData) {
      const vozo::fuzz::FixedMacroTable macros;
      vozo::MemoryMap whole(macros);
      vozo::MemoryMap filtered(macros);
      filtered.leaveOutRegisters();
      RecordingFilter filter(*filtered.registerFilter());
      filtered.setContentFilter(&filter);
      const bool filteredParsed = filtered.parse(text);
      if (whole.parse(text) != parsed || filteredParsed != parsed ||
          filtered.errorMessage() != whole.errorMessage() ||
          filtered.errorLine() != whole.errorLine()) {
        std::abort();
      }
      expectSameTrees(filtered.root(), whole.root(), filter.leftOutElements);
      if (textLeftAfterEvaluation(filtered) != textLeftAfterEvaluation(whole)) std::abort();
    }

    if (!document.root()) return;
    vozo::XMLDocument copy(false);
    vozo::XMLNode* cloned = copy.clone(document.root(), nullptr);
    // Written text parses again.
    vozo::XMLDocument reread(keepCharacterData);
    reread.parse(vozo::toXmlText(*cloned));
  });
  return 0;
}
