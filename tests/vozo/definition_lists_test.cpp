// The ";"-separated lists of the command line: the escaped splitting shared
// with macro definitions, and the symbol definitions built from it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "expr/h_exception.h"
#include "vozo/symbol_definitions.h"
#include "xml/split_list.h"

namespace vozo {
namespace {

TEST(SplitEscapedList, Items) {
  using Items = std::vector<std::string>;
  struct Case {
    std::string text;
    Items dropEmpty;
    Items keepEmpty;
  };
  const Case cases[] = {
      {"", {}, {""}},
      {"A", {"A"}, {"A"}},
      {"A=1;B=x\\;y;;C", {"A=1", "B=x;y", "C"}, {"A=1", "B=x;y", "", "C"}},
      {";", {}, {"", ""}},
      {"A;", {"A"}, {"A", ""}},
      {"\\\\;x", {"\\", "x"}, {"\\", "x"}},  // escaped backslash, then a separator
      {"a\\bc", {"abc"}, {"abc"}},           // escape of an ordinary character
      {"end\\", {"end\\"}, {"end\\"}},       // a final backslash is kept
      {"\\;", {";"}, {";"}},
      {"\\", {"\\"}, {"\\"}},
      {"a\\\\\\;b", {"a\\;b"}, {"a\\;b"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(splitEscapedList(c.text), c.dropEmpty) << c.text;
    EXPECT_EQ(splitEscapedList(c.text, ';', '\\', true), c.keepEmpty) << c.text;
  }
}

TEST(SymbolDefinitions, Items) {
  struct Case {
    std::vector<std::string> values;  // one per -symbols option
    SymbolDefinitions expected;
  };
  const Case cases[] = {
      {{"A=1"}, {{"A", "1"}}},
      {{"A=1;B=2", "A=3"}, {{"A", "3"}, {"B", "2"}}},
      {{"B=2;A=1"}, {{"A", "1"}, {"B", "2"}}},
      {{"A==1"}, {{"A", "1"}}},   // empty pieces are dropped
      {{"A=1=2"}, {{"A", "1"}}},  // further pieces are ignored
      {{"=A=1"}, {{"A", "1"}}},
      {{"A=x\\;y"}, {{"A", "x;y"}}},  // escaped separator inside a value
      {{";;A=1;"}, {{"A", "1"}}},
      {{""}, {}},
      {{"A=0x20000000 + 4"}, {{"A", "0x20000000 + 4"}}},
  };
  for (const Case& c : cases) {
    SymbolDefinitions symbols;
    for (const std::string& value : c.values) addSymbolDefinitions(symbols, value);
    EXPECT_EQ(symbols, c.expected) << ::testing::PrintToString(c.values);
  }
}

TEST(SymbolDefinitions, ItemsWithoutNameAndValueAreRejected) {
  struct Case {
    std::string text;
    std::string badItem;  // as quoted in the message, escapes resolved
  };
  const Case cases[] = {
      {"NAME", "NAME"},     {"NAME=", "NAME="}, {"=5", "=5"},     {"=", "="},
      {"NAME==", "NAME=="}, {"A=1;B", "B"},     {"A\\;B", "A;B"},
  };
  for (const Case& c : cases) {
    SymbolDefinitions symbols;
    try {
      addSymbolDefinitions(symbols, c.text);
      ADD_FAILURE() << "accepted " << c.text;
    } catch (const HException& exception) {
      EXPECT_EQ(exception.message(),
                "symbol definition \"" + c.badItem + "\" must have the form NAME=VALUE");
    }
  }
}

}  // namespace
}  // namespace vozo
