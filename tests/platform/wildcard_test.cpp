// The Windows build's wildcard match against the C library's fnmatch.

#include <fnmatch.h>
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/wildcard.h"

namespace vozo::platform {
namespace {

bool fnmatchMatches(const std::string& pattern, const std::string& text) {
  return ::fnmatch(pattern.c_str(), text.c_str(), FNM_NOESCAPE) == 0;
}

TEST(WildcardTest, MatchesAsFnmatchOnTheFormsItKnows) {
  // clang-format off
  const char* const kCases[][2] = {
      {"*", ""}, {"*", "abc"}, {"a*c", "abbbc"}, {"a*c", "abcd"}, {"a?c", "abc"}, {"a?c", "ac"},
      {"*.ld", "app.ld"}, {"**a", "ba"}, {"[abc]", "b"}, {"[abc]", "d"}, {"[!abc]", "d"},
      {"[^abc]", "a"}, {"[a-c]x", "bx"}, {"[a-c]x", "dx"}, {"[]]", "]"}, {"[!]]", "a"},
      {"[a-]", "-"}, {"[-a]", "-"}, {"[", "["}, {"a[b", "a[b"}, {"[[:digit:]]", "7"},
      {"[[:digit:]]", "x"}, {"[[:alpha:]_]*", "_x1"}, {"[![:space:]]", " "},
      {"[[:upper:][:digit:]]", "Q"}, {"[[:xdigit:]]", "f"}, {"[[:punct:]]", "!"}, {"a\\b", "a\\b"},
      {"a\\*", "a\\xyz"}, {"*/x", "dir/x"}, {".*", ".hidden"}, {"*a*b*c*", "xaybzc"},
      {"*a*b*c*", "xaybz"}, {"\xC3\xA4*", "\xC3\xA4rger"},
  };
  // clang-format on
  for (const auto& [pattern, text] : kCases) {
    EXPECT_EQ(wildcardMatches(pattern, text), fnmatchMatches(pattern, text))
        << "pattern \"" << pattern << "\", text \"" << text << "\"";
  }
}

TEST(WildcardTest, MatchesAsFnmatchOnRandomPatterns) {
  std::mt19937 random(20261207);
  const std::string patternBytes = "ab*?[]!^-/\\";
  const std::string textBytes = "ab[]!^-/\\";
  auto randomText = [&](const std::string& bytes, size_t longest) {
    std::string text(random() % (longest + 1), ' ');
    for (char& c : text) c = bytes[random() % bytes.size()];
    return text;
  };
  for (int i = 0; i < 200000; ++i) {
    const std::string pattern = randomText(patternBytes, 7);
    const std::string text = randomText(textBytes, 7);
    ASSERT_EQ(wildcardMatches(pattern, text), fnmatchMatches(pattern, text))
        << "pattern \"" << pattern << "\", text \"" << text << "\"";
  }
}

}  // namespace
}  // namespace vozo::platform
