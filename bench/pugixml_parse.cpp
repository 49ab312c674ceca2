// Baseline for the benchmark: a whole process that reads one XML file and
// parses it in place with pugixml, then exits. Status 1 when the file cannot
// be read or parsed.

#include <cstdio>
#include <fstream>
#include <vector>

#include <pugixml.hpp>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pugixml_parse FILE\n");
    return 1;
  }
  std::ifstream file(argv[1], std::ios::binary | std::ios::ate);
  std::vector<char> buffer(file ? static_cast<size_t>(file.tellg()) : 0);
  if (!file || !file.seekg(0).read(buffer.data(), static_cast<std::streamsize>(buffer.size()))) {
    std::fprintf(stderr, "%s: cannot read\n", argv[1]);
    return 1;
  }
  pugi::xml_document document;
  const pugi::xml_parse_result result = document.load_buffer_inplace(buffer.data(), buffer.size());
  if (!result) {
    std::fprintf(stderr, "%s: %s\n", argv[1], result.description());
    return 1;
  }
  return 0;
}
