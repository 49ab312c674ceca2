// The XML parser: any byte string parses or fails with a message, and what
// parses can be copied and written out again.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "xml/xml_document.h"
#include "xml/xml_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool keepCharacterData = size > 0 && (data[0] & 1);
  vozo::XMLDocument document(keepCharacterData);
  vozo::fuzz::expectingLimitErrors([&] {
    document.parse(vozo::fuzz::asText(data, size));
    if (!document.root()) return;
    vozo::XMLDocument copy(false);
    vozo::XMLNode* cloned = copy.clone(document.root(), nullptr);
    // Written text parses again.
    vozo::XMLDocument reread(keepCharacterData);
    reread.parse(vozo::toXmlText(*cloned));
  });
  return 0;
}
