#include "linkscript/offset_table_section.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "memory/memory_map_element.h"

namespace vozo {

namespace {

// The output sections that lld 19 makes read-only after relocation by their
// name when they are writable; the sections of type INIT_ARRAY, FINI_ARRAY
// and PREINIT_ARRAY and thread-local data are made so by their inputs, which
// these names take by default. (.eh_frame is on lld's list too, but its
// inputs are read-only, so it never is one.)
constexpr std::array<std::string_view, 9> kReadOnlyAfterRelocation = {
    ".ctors", ".dtors",       ".init_array", ".fini_array", ".preinit_array",
    ".tdata", ".data.rel.ro", ".bss.rel.ro", ".jcr"};

bool isReadOnlyAfterRelocation(const SectionRecord& record) {
  return std::find(kReadOnlyAfterRelocation.begin(), kReadOnlyAfterRelocation.end(), record.name) !=
         kReadOnlyAfterRelocation.end();
}

// The last record that `matches`, or null.
template <typename Matches>
SectionRecord* lastRecord(const std::vector<SectionRecord*>& records, Matches matches) {
  auto found = std::find_if(records.rbegin(), records.rend(),
                            [&](const SectionRecord* record) { return matches(*record); });
  return found == records.rend() ? nullptr : *found;
}

SectionRecord* lastNamed(const std::vector<SectionRecord*>& records, std::string_view name) {
  return lastRecord(records, [&](const SectionRecord& record) { return record.name == name; });
}

}  // namespace

OffsetTableSection::OffsetTableSection()
    : document_(false),
      element_(document_.arena().make<MemoryMapElement>(document_, "ProgramSection", false)) {
  element_->setAttribute("name", ".got");
  element_->setAttribute("load", "Yes");
  // As GNU ld's own scripts do: the part for indirect calls first, which
  // GNU ld starts with a header for a dynamic linker, then the rest.
  element_->setAttribute("inputsections", "*(.got.plt) *(.igot.plt) *(.got) *(.igot)");
  // The alignment of its entries (Arm, 32-bit RISC-V), which lld checks the
  // address against even when the table is empty.
  element_->setAttribute("alignment", "4");
}

void OffsetTableSection::addTo(std::deque<SectionRecord>& storage,
                               std::vector<SectionRecord*>& records) {
  if (lastNamed(records, ".got")) return;
  SectionRecord* anchor = lastRecord(records, isReadOnlyAfterRelocation);
  if (!anchor) anchor = lastNamed(records, ".rodata");
  if (!anchor) anchor = lastNamed(records, ".text");
  if (!anchor) return;
  SectionRecord* successor =
      lastRecord(records, [&](const SectionRecord& record) { return record.previous == anchor; });
  const bool anchorWasLast = anchor->lastInSegment;
  SectionRecord& table = storage.emplace_back(anchor, element_, anchor->segment);
  table.lastInSegment = anchorWasLast;
  table.isOffsetTable = true;
  if (successor) successor->previous = &table;
  anchor->writtenNext = &table;
  records.insert(std::find(records.begin(), records.end(), anchor) + 1, &table);
}

}  // namespace vozo
