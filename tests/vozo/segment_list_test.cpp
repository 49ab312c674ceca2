// The segment list of -memory-map-segments as memory map XML text.

#include <gtest/gtest.h>

#include <string>

#include "vozo/segment_list.h"

namespace vozo {
namespace {

const std::string kHead = "<!DOCTYPE Board_Memory_Definition_File><Root name=\"none\">";
const std::string kTail = "</Root>";

std::string segment(const std::string& name, const std::string& start, const std::string& size,
                    const std::string& access) {
  std::string text =
      "<MemorySegment name=\"" + name + "\" start=\"" + start + "\" size=\"" + size + "\"";
  if (!access.empty()) text += "access=\"" + access + "\"";
  return text + "/>";
}

TEST(SegmentList, ToMemoryMapText) {
  struct Case {
    std::string list;
    std::string segments;  // between the head and the tail
  };
  const Case cases[] = {
      {"", ""},
      {"FLASH RX 0 4096;RAM RWX 8192 1024",
       segment("RAM", "8192", "1024", "ReadWrite") + segment("FLASH", "0", "4096", "ReadOnly")},
      // The last entry for a name wins, and keeps its place in reverse order.
      {"X RW 0 16;X R 32 16", segment("X", "32", "16", "ReadOnly")},
      {"A RW 0 1;B RW 1 1;A R 2 1",
       segment("A", "2", "1", "ReadOnly") + segment("B", "1", "1", "ReadWrite")},
      // Access codes: exact and case-sensitive; anything else gives no attribute.
      {"A R 0 1", segment("A", "0", "1", "ReadOnly")},
      {"A RX 0 1", segment("A", "0", "1", "ReadOnly")},
      {"A RW 0 1", segment("A", "0", "1", "ReadWrite")},
      {"A RWX 0 1", segment("A", "0", "1", "ReadWrite")},
      {"A rw 0 1", segment("A", "0", "1", "")},
      {"A W 0 1", segment("A", "0", "1", "")},
      {"A XRW 0 1", segment("A", "0", "1", "")},
      // Entries without exactly four pieces are skipped.
      {"RAM RWX 8192", ""},
      {"RAM RWX 8192 1024 extra", ""},
      {";;RAM RWX 8192 1024;", segment("RAM", "8192", "1024", "ReadWrite")},
      // A skipped entry does not claim its name.
      {"RAM RW 0 1;RAM RW 2", segment("RAM", "0", "1", "ReadWrite")},
      // Only spaces separate; runs of them count as one, tabs belong to the piece.
      {"  RAM   RW  0x0   4  ", segment("RAM", "0x0", "4", "ReadWrite")},
      {"RAM\tRW 0 4", ""},
      {"RAM\tX RW 0 4", segment("RAM\tX", "0", "4", "ReadWrite")},
      // Start and size are copied as text; they are evaluated later.
      {"RAM RW 0x20000000 64*1024", segment("RAM", "0x20000000", "64*1024", "ReadWrite")},
      // XML special characters are escaped so that the reader gets them back.
      {"A&B RW 0 1<<12", segment("A&amp;B", "0", "1&lt;&lt;12", "ReadWrite")},
      {"\"Q\" RW (1>0) 4", segment("&quot;Q&quot;", "(1&gt;0)", "4", "ReadWrite")},
      {"it's RW 0 4", segment("it's", "0", "4", "ReadWrite")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(segmentListToMemoryMapText(c.list), kHead + c.segments + kTail) << c.list;
  }
}

TEST(SegmentList, ManyEntriesWithTheSameName) {
  std::string list;
  for (int i = 0; i < 200000; ++i) list += "S RW " + std::to_string(i) + " 1;";
  EXPECT_EQ(segmentListToMemoryMapText(list),
            kHead + segment("S", "199999", "1", "ReadWrite") + kTail);
}

}  // namespace
}  // namespace vozo
