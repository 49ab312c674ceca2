// The parser's fast byte scans against their portable forms, on texts that
// put the byte searched for at every position relative to the sixteen-byte
// blocks and the eight-byte short start.
#include "xml/byte_scans.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace vozo::scan {
namespace {

// A text of `length` filler bytes (drawn from `filler`) with `stop` at
// `position` (none when position >= length), followed by the NUL every scan
// relies on.
std::string textWith(std::mt19937& random, size_t length, std::string_view filler, char stop,
                     size_t position) {
  std::string text(length, ' ');
  for (char& c : text) c = filler[random() % filler.size()];
  if (position < length) text[position] = stop;
  return text;
}

TEST(ByteScans, FastAndPortableFormsAgree) {
  std::mt19937 random(7);
  // Fillers: indentation with newlines, plain value bytes, bytes above 0x7F.
  const std::string_view tagFillers = " \t\n\nab\x80\xff=\"";
  const std::string_view valueFillers = "abc 0x1F\t\x80\xfe<>/";
  for (size_t length = 0; length <= 70; ++length) {
    for (size_t position = 0; position <= length; ++position) {
      for (char stop : {'<', '\0'}) {
        std::string text = textWith(random, length, tagFillers, stop, position);
        char* end = text.data() + text.size();
        uint32_t fastLines = 0, portableLines = 0;
        char* fastStop = fast::findTagStart(text.data(), end, fastLines);
        char* portableStop = portable::findTagStart(text.data(), portableLines);
        ASSERT_EQ(fastStop, portableStop) << "findTagStart, length " << length << " at " << position;
        ASSERT_EQ(fastLines, portableLines) << "findTagStart lines, length " << length;
        ASSERT_EQ(fast::countNewlines(text.data(), end), portable::countNewlines(text.data(), end));
      }
      for (char stop : {'"', '\'', '&', '$', '\0', '\n'}) {
        std::string text = textWith(random, length, valueFillers, stop, position);
        char* end = text.data() + text.size();
        ASSERT_EQ(fast::findValueStop(text.data(), end), portable::findValueStop(text.data()))
            << "findValueStop, length " << length << " stop at " << position;
      }
    }
  }
}

}  // namespace
}  // namespace vozo::scan
