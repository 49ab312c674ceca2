// Reading a document from a pipe, as a shell's process substitution names
// one: /dev/fd/<n>, which POSIX hosts have.

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "xml/xml_document.h"

namespace vozo {
namespace {

TEST(DocumentTest, PipesAreReadToTheirEnd) {
  // As a shell's process substitution gives it: /dev/fd/<n> of a pipe, here
  // with more text than one piece of the read and than the pipe holds.
  std::string text = "\xEF\xBB\xBF<r>";
  for (int i = 0; i < 20000; ++i) text += "<s n='" + std::to_string(i) + "'/>\n";
  text += "</r>";
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  std::thread writer([&] {
    EXPECT_EQ(write(ends[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    close(ends[1]);
  });
  XMLDocument document(false);
  EXPECT_TRUE(document.load("/dev/fd/" + std::to_string(ends[0])));
  writer.join();
  close(ends[0]);
  ASSERT_NE(document.root(), nullptr);
  EXPECT_EQ(document.root()->lastChild()->asElement()->attribute("n"), "19999");
}

}  // namespace
}  // namespace vozo
