#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <string>

namespace vozo::size {

// What a linked ELF file tells about its layout: the value of every defined
// symbol of its symbol table and the names of its sections.
struct ElfSymbols {
  std::map<std::string, uint64_t, std::less<>> values;
  std::set<std::string, std::less<>> sectionNames;
};

// A file that cannot be read as a linked ELF file with a symbol table; the
// message says what is wrong with it.
class ElfInputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

ElfSymbols readElfSymbols(const std::string& path);

}  // namespace vozo::size
