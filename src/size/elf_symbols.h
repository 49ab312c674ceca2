#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vozo::size {

// What a linked ELF file tells about its layout: the value of every defined
// symbol that can name a segment or section (`__...__`), the names of its
// sections, and the names of those that have no bytes in the file (NOBITS:
// zeroed or reserved memory, such as .bss or a section linked NOLOAD).
struct ElfSymbols {
  std::map<std::string, uint64_t, std::less<>> values;
  std::set<std::string, std::less<>> sectionNames;
  std::set<std::string, std::less<>> sectionsWithoutContents;
};

// A file that cannot be read as a linked ELF file with a symbol table; the
// message says what is wrong with it.
class ElfInputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Bounds on what one ELF file may hold, far above any firmware's (a few MB,
// dozens of sections, tens of thousands of symbols): past them the file is
// refused before its contents are read.
inline constexpr uint64_t kMaxElfFileBytes = uint64_t{1} << 30;  // 1 GiB
inline constexpr size_t kMaxElfSections = 100'000;
inline constexpr uint64_t kMaxElfSymbols = 2'000'000;  // in all symbol tables together

// Reads the file at `path`, which must be a regular file (a FIFO or device is
// refused at once, without waiting for a writer).
ElfSymbols readElfSymbols(const std::string& path);

// The same from the bytes of an ELF file in memory.
ElfSymbols readElfImage(std::string_view image);

}  // namespace vozo::size
