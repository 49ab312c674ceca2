// The XML parser: any byte string parses or fails with a message, and what
// parses can be copied and written out again. A second parse with a content
// filter must agree with the first in everything but the content it leaves
// out: the same result and error, and the same elements (tags, attributes,
// lines) outside the left-out content.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "xml/xml_document.h"
#include "xml/xml_writer.h"

namespace {

// Offers every element whose tag begins with "G" and turns down descendants
// whose tag begins with "K".
class LetterFilter : public vozo::ContentFilter {
 public:
  bool mayLeaveOut(const vozo::XMLElement& element,
                   std::span<vozo::XMLElement* const>) override {
    return element.tagName().starts_with('G');
  }
  bool acceptDescendant(std::string_view tagName, std::span<const vozo::XMLAttribute>,
                        bool) override {
    return !tagName.starts_with('K');
  }
  void leftOut(vozo::XMLElement& element) override { leftOutElements.insert(&element); }

  std::set<const vozo::XMLNode*> leftOutElements;
};

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
      vozo::XMLDocument filtered(false);
      LetterFilter filter;
      filtered.setContentFilter(&filter);
      if (filtered.parse(text) != parsed || filtered.errorMessage() != document.errorMessage() ||
          filtered.errorLine() != document.errorLine()) {
        std::abort();
      }
      expectSameTrees(filtered.root(), document.root(), filter.leftOutElements);
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
