#include "xml/macro_map.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vozo {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

Entries entriesOf(const MacroMap& map) {
  return Entries(map.begin(), map.end());
}

TEST(MacroMapTest, SetReplacesAndIteratesInByteOrder) {
  MacroMap map;
  EXPECT_EQ(map.find("A"), nullptr);
  map.set("b", "1");
  map.set("B", "2");
  map.set("a", "3");
  map.set("b", "4");
  EXPECT_EQ(entriesOf(map), (Entries{{"B", "2"}, {"a", "3"}, {"b", "4"}}));
  EXPECT_EQ(*map.find(std::string_view("bx", 1)), "4");
}

TEST(MacroMapTest, CopiesShareUntilEitherSideWrites) {
  MacroMap original = macroMapFromDefinitionText("A=1");
  MacroMap copy = original;
  EXPECT_TRUE(copy.sharesStorageWith(original));
  copy.set("A", "1");  // an unchanged value is no write
  EXPECT_TRUE(copy.sharesStorageWith(original));
  copy.set("B", "2");
  original.set("A", "changed");
  EXPECT_EQ(entriesOf(original), (Entries{{"A", "changed"}}));
  EXPECT_EQ(entriesOf(copy), (Entries{{"A", "1"}, {"B", "2"}}));

  MacroMap merged = original;
  merged.setAll(copy);
  EXPECT_EQ(entriesOf(merged), (Entries{{"A", "1"}, {"B", "2"}}));
  EXPECT_EQ(entriesOf(original), (Entries{{"A", "changed"}}));
  MacroMap empty;
  empty.setAll(copy);
  empty.set("C", "3");
  EXPECT_FALSE(copy.contains("C"));
}

TEST(MacroMapTest, DefinitionText) {
  const std::pair<const char*, Entries> cases[] = {
      {";;", {}},
      {"A=1;;B", {{"A", "1"}, {"B", ""}}},
      {"A=x=y;B=", {{"A", "x=y"}, {"B", ""}}},
      {"A=1;B=2;A=3", {{"A", "3"}, {"B", "2"}}},
      {" A = 1 ", {{" A ", " 1 "}}},
      {"A=x\\;y;B=\\\\;C\\=1", {{"A", "x;y"}, {"B", "\\"}, {"C", "1"}}},
      {"P=$(Q)", {{"P", "$(Q)"}}},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(entriesOf(macroMapFromDefinitionText(text)), expected) << text;
  }
}

}  // namespace
}  // namespace vozo
