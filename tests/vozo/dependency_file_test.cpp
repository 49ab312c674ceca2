// The names a dependency file cannot hold, each refused with the reason,
// and the listing of a name read by both documents. How make and Ninja read
// the names it does hold is checked with the tools themselves, by the golden
// case dependency_file_read_back.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/paths.h"
#include "vozo/dependency_file.h"

namespace vozo {
namespace {

TEST(DependencyFile, NamesNotBothToolsReadBackAreRefused) {
  struct Case {
    std::string name;
    std::string message;  // after "dependency file 'app.d' cannot name "
  };
  const std::string both = "': make and Ninja cannot both read ";
  const Case cases[] = {
      {"a\tb.xml", "'a\\tb.xml" + both + "a tab in a file name"},
      {"a\nb.xml", "'a\\nb.xml" + both + "a line break in a file name"},
      {"a\rb.xml", "'a\\rb.xml" + both + "control character 0x0d in a file name"},
      {"a\x7f.xml", "'a\\x7f.xml" + both + "control character 0x7f in a file name"},
      {"a&b.xml", "'a&b.xml" + both + "& in a file name"},
      {"a'b.xml", "'a'b.xml" + both + "' in a file name"},
      {"a;b.xml", "'a;b.xml" + both + "; in a file name"},
      {"a=b.xml", "'a=b.xml" + both + "= in a file name"},
      {"a|b.xml", "'a|b.xml" + both + "| in a file name"},
      {"a[1].xml", "'a[1].xml" + both + "[ in a file name"},
      {"a*.xml", "'a*.xml" + both + "* in a file name"},
      {"dir:", "'dir:" + both + ": at the end of a file name"},
      {"a.xml ", "'a.xml " + both + "a space at the end of a file name"},
      {"~/a.xml",
       "'~/a.xml" + both + "~ at the start of a file name (make reads a home directory)"},
      {"lib(a.xml)",
       "'lib(a.xml)" + both + "a file name ending in (...) (make reads an archive member)"},
  };
  for (const Case& c : cases) {
    DependencyFileText result = dependencyFileText("app.d", "app.ld", {"board.xml", c.name});
    EXPECT_EQ(result.error, "dependency file 'app.d' cannot name " + c.message) << c.name;
    EXPECT_EQ(result.text, "") << c.name;
  }
}

TEST(DependencyFile, BackslashesAreRefusedWhereTheyAreNoSeparator) {
  struct Case {
    std::string name;
    std::string refusal;  // the reason where "\\" is a plain character
    std::string written;  // the name as written where it separates folders
  };
  const Case cases[] = {
      {"a\\#b.xml", "a backslash before # in a file name", "a/\\#b.xml"},
      {"a\\:b.xml", "a backslash before : in a file name", "a/\\:b.xml"},
      {"a\\$b.xml", "a backslash before $ in a file name", "a/$$b.xml"},
      {"dir\\", "a backslash at the end of a file name", "dir/"},
  };
  for (const Case& c : cases) {
    DependencyFileText result = dependencyFileText("app.d", "app.ld", {c.name});
    if (platform::isPathSeparator('\\')) {
      // Windows: written with "/", which make and Ninja read alike.
      EXPECT_EQ(result.error, "") << c.name;
      EXPECT_EQ(result.text, "app.ld: \\\n  " + c.written + "\n") << c.name;
    } else {
      EXPECT_EQ(result.error, "dependency file 'app.d' cannot name '" + c.name +
                                  "': make and Ninja cannot both read " + c.refusal)
          << c.name;
      EXPECT_EQ(result.text, "") << c.name;
    }
  }
}

TEST(DependencyFile, TargetTakesNoPercentSign) {
  DependencyFileText result = dependencyFileText("app.d", "app%.ld", {"board.xml"});
  EXPECT_EQ(result.error,
            "dependency file 'app.d' cannot name 'app%.ld': make and Ninja cannot both read "
            "% in a target name (make reads a pattern)");
  // As a prerequisite it is a plain character.
  EXPECT_EQ(dependencyFileText("app.d", "app.ld", {"50%.xml"}).text, "app.ld: \\\n  50%.xml\n");
}

TEST(DependencyFile, NameReadByBothDocumentsIsListedOnceWhereFirstRead) {
  DependencyFileText result =
      dependencyFileText("app.d", "app.ld", {"board.xml", "common.xml", "place.xml", "common.xml"});
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(result.text, "app.ld: \\\n  board.xml \\\n  common.xml \\\n  place.xml\n");
}

}  // namespace
}  // namespace vozo
