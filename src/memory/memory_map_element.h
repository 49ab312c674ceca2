#pragma once
// An element of a memory description document: an XML element that also
// carries its kind, its evaluated start address and size, and the attribute
// accessors of segments and sections.
//
// One set of accessors serves both input files (the memory map and the
// section placement file). Three kinds of test exist and which one applies
// matters:
//   - presence: the attribute exists, even with an empty value;
//   - non-empty: the attribute exists and its value is not empty;
//   - value: "Yes" in any case for `load` and `keep`, "ReadOnly" exactly for
//     `access`, "yes" after lower-casing for `place_from_segment_end`.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string_view>

#include "memory/element_kind.h"
#include "xml/xml_node.h"

namespace vozo {

// Whole-text comparison ignoring ASCII case, as the "Yes" tests compare;
// `lowerWord` is in lower case.
bool equalsIgnoringCase(std::string_view text, std::string_view lowerWord);

class MemoryMapElement : public XMLElement {
 public:
  MemoryMapElement(XMLDocument& document, std::string_view tagName, bool readOnly);

  ElementKind kind() const { return kind_; }
  uint64_t start() const { return start_; }
  uint64_t size() const { return size_; }
  void setStart(uint64_t start) { start_ = start; }
  void setSize(uint64_t size) { size_ = size; }

  // On the root element of an imported file: the `Import` element it
  // replaced (kept outside the tree).
  MemoryMapElement* importedBy() const { return importedBy_; }
  void setImportedBy(MemoryMapElement* element) { importedBy_ = element; }

  // On the root element of a loaded file: the file's modification time.
  std::optional<std::time_t> lastModified() const { return lastModified_; }
  void setLastModified(std::time_t time) { lastModified_ = time; }

  // The length of the expression texts in the content left out of the tree
  // below this element (see memory/register_filter.h); 0 when none was.
  uint32_t leftOutExpressionBytes() const { return leftOutExpressionBytes_; }
  void setLeftOutExpressionBytes(uint32_t bytes) { leftOutExpressionBytes_ = bytes; }

  // The file the element came from could not be written.
  bool readOnly() const { return readOnly_; }

  // ---- Attribute texts (none when absent) ----
  std::string_view name() const;  // empty when absent
  std::optional<std::string_view> startText() const { return attribute("start"); }
  std::optional<std::string_view> sizeText() const { return attribute("size"); }
  std::optional<std::string_view> alignmentText() const { return attribute("alignment"); }
  std::optional<std::string_view> inputSections() const { return attribute("inputsections"); }
  std::optional<std::string_view> loadText() const { return attribute("load"); }
  std::optional<std::string_view> fill() const { return attribute("fill"); }
  std::optional<std::string_view> addressSymbol() const { return attribute("address_symbol"); }
  std::optional<std::string_view> endSymbol() const { return attribute("end_symbol"); }
  std::optional<std::string_view> sizeSymbol() const { return attribute("size_symbol"); }
  std::optional<std::string_view> runIn() const { return attribute("runin"); }
  std::optional<std::string_view> runOffset() const { return attribute("runoffset"); }
  std::optional<std::string_view> access() const { return attribute("access"); }

  // ---- Presence tests (present, even if empty) ----
  bool hasAddressSymbol() const { return hasAttribute("address_symbol"); }
  bool hasEndSymbol() const { return hasAttribute("end_symbol"); }
  bool hasSizeSymbol() const { return hasAttribute("size_symbol"); }
  bool hasRunIn() const { return hasAttribute("runin"); }
  bool hasRunOffset() const { return hasAttribute("runoffset"); }
  bool hasFill() const { return hasAttribute("fill"); }
  bool hasAccess() const { return hasAttribute("access"); }
  bool hasPlaceFromSegmentEnd() const { return hasAttribute("place_from_segment_end"); }

  // ---- Non-empty tests (present and not empty) ----
  bool hasStart() const { return hasNonEmpty("start"); }
  bool hasSize() const { return hasNonEmpty("size"); }
  bool hasAlignment() const { return hasNonEmpty("alignment"); }
  bool hasInputSections() const { return hasNonEmpty("inputsections"); }

  // ---- Value tests ----
  bool isLoaded() const;             // `load` equals "Yes", any case
  bool isKept() const;               // `keep` equals "Yes", any case
  bool isReadOnlyAccess() const;     // `access` equals "ReadOnly" exactly
  bool placeFromSegmentEnd() const;  // `place_from_segment_end` is "yes" after lower-casing

  // The `alignment` text as an unsigned C number (automatic base, reading
  // stops at the first character that does not fit, no digits give 0),
  // reduced to its low 32 bits. Callers test hasAlignment() first.
  uint32_t alignment() const;

 private:
  bool hasNonEmpty(std::string_view attributeName) const;

  ElementKind kind_;
  uint32_t leftOutExpressionBytes_ = 0;
  uint64_t start_ = 0;
  uint64_t size_ = 0;
  MemoryMapElement* importedBy_ = nullptr;
  std::optional<std::time_t> lastModified_;
  bool readOnly_ = false;
};

}  // namespace vozo
