#pragma once
// The output section of the linkers' offset table under -lld-compatible.
//
// Code compiled as position-independent, and with lld the type references
// of Arm exception tables, reach data through an offset table (".got") that
// the linker makes. lld takes the output section holding it for one to be
// made read-only after relocation, as it does the sections of constructor
// and destructor pointers, and fails a link where such sections are not next
// to one another: the table needs a statement of its own, written right
// after the last of them. In a firmware, linked statically, the table holds
// addresses fixed at link time, so read-only memory suits it as well.

#include <deque>
#include <vector>

#include "linkscript/section_record.h"
#include "xml/xml_document.h"

namespace vozo {

class OffsetTableSection {
 public:
  OffsetTableSection();

  // Adds a ".got" record to the chain of the last record that lld makes
  // read-only after relocation by its name (.ctors, .dtors, .init_array,
  // ...), else of the last ".rodata", else of the last ".text", right after
  // it, and has it written right after it. Adds nothing when a record is
  // named ".got" already or none of these exists.
  void addTo(std::deque<SectionRecord>& storage, std::vector<SectionRecord*>& records);

 private:
  XMLDocument document_;
  MemoryMapElement* element_;
};

}  // namespace vozo
