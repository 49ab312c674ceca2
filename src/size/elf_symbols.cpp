#include "size/elf_symbols.h"

#include <fcntl.h>
#include <gelf.h>
#include <libelf.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace vozo::size {

namespace {

struct FileCloser {
  int fd;
  ~FileCloser() { ::close(fd); }
};

struct ElfEnder {
  void operator()(Elf* elf) const { elf_end(elf); }
};

// Adds the defined symbols of one symbol table section.
void addSymbols(Elf* elf, Elf_Scn* scn, const GElf_Shdr& header, ElfSymbols& out) {
  Elf_Data* data = elf_getdata(scn, nullptr);
  if (!data || header.sh_entsize == 0) return;
  const size_t count = header.sh_size / header.sh_entsize;
  for (size_t i = 1; i < count; ++i) {
    GElf_Sym symbol;
    if (!gelf_getsym(data, static_cast<int>(i), &symbol)) break;
    if (symbol.st_shndx == SHN_UNDEF) continue;
    const char* name = elf_strptr(elf, header.sh_link, symbol.st_name);
    if (name && *name) out.values.insert_or_assign(name, symbol.st_value);
  }
}

}  // namespace

ElfSymbols readElfSymbols(const std::string& path) {
  if (elf_version(EV_CURRENT) == EV_NONE) {
    throw ElfInputError(std::string("cannot initialise libelf: ") + elf_errmsg(-1));
  }
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) throw ElfInputError(std::string("cannot open the file: ") + std::strerror(errno));
  FileCloser closer{fd};

  std::unique_ptr<Elf, ElfEnder> elf(elf_begin(fd, ELF_C_READ, nullptr));
  if (!elf || elf_kind(elf.get()) != ELF_K_ELF) {
    throw ElfInputError("not an ELF file");
  }
  size_t namesIndex = 0;
  if (elf_getshdrstrndx(elf.get(), &namesIndex) != 0) {
    throw ElfInputError(std::string("malformed ELF file: ") + elf_errmsg(-1));
  }

  ElfSymbols out;
  bool hasSymbolTable = false;
  for (Elf_Scn* scn = elf_nextscn(elf.get(), nullptr); scn; scn = elf_nextscn(elf.get(), scn)) {
    GElf_Shdr header;
    if (!gelf_getshdr(scn, &header)) {
      throw ElfInputError(std::string("malformed ELF file: ") + elf_errmsg(-1));
    }
    if (const char* name = elf_strptr(elf.get(), namesIndex, header.sh_name)) {
      out.sectionNames.insert(name);
    }
    if (header.sh_type == SHT_SYMTAB) {
      hasSymbolTable = true;
      addSymbols(elf.get(), scn, header, out);
    }
  }
  if (!hasSymbolTable) throw ElfInputError("no symbol table (the file is stripped)");
  return out;
}

}  // namespace vozo::size
