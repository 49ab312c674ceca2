#pragma once
// The segment list of -memory-map-segments turned into memory map XML text.

#include <string>
#include <string_view>

namespace vozo {

class Findings;

// Converts a list of "<SegmentName> <Access> <Start> <Size>" entries separated
// by ";" into a memory map document text:
//   <!DOCTYPE Board_Memory_Definition_File><Root name="none">
//   <MemorySegment name="..." start="..." size="..." access="..."/>...</Root>
// (all on one line). The entries are visited from the last to the first; an
// entry is split at spaces (only U+0020; empty pieces are dropped) and must
// give exactly four pieces, otherwise it is skipped. A name already taken by
// a later entry is skipped, so the last entry for a name wins and the
// segments come out in reverse list order. Access "RW"/"RWX" gives
// access="ReadWrite", "R"/"RX" gives access="ReadOnly", anything else no
// access attribute (the memory map's default applies).
//
// Names, starts and sizes are written as XML-escaped attribute values (&, <,
// > and " become entity references), which the XML reader decodes back, so
// the document gets exactly the text that was typed: a size such as 1<<12 or
// a name with an ampersand arrives intact instead of breaking the document.
std::string segmentListToMemoryMapText(std::string_view segmentList);

// For the input checks: the entries that the conversion above drops (not
// four pieces, or a name that a later entry takes again) and access codes
// it does not know, in list order. Empty entries are passed over.
void checkSegmentList(std::string_view segmentList, Findings& findings);

}  // namespace vozo
