#include "size/elf_symbols.h"

#include <gelf.h>
#include <libelf.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "platform/descriptor_file.h"
#include "platform/error_text.h"

namespace vozo::size {

namespace {

struct ElfEnder {
  void operator()(Elf* elf) const { elf_end(elf); }
};

using ElfHandle = std::unique_ptr<Elf, ElfEnder>;

void initialiseLibelf() {
  if (elf_version(EV_CURRENT) == EV_NONE) {
    throw ElfInputError(std::string("cannot initialise libelf: ") + elf_errmsg(-1));
  }
}

[[noreturn]] void malformed(const std::string& what) {
  throw ElfInputError("truncated or malformed ELF file: " + what);
}

[[noreturn]] void malformedPerLibelf() {
  malformed(elf_errmsg(-1));
}

// Fails unless the `size` bytes at `offset` lie within the file.
void requireWithinFile(uint64_t offset, uint64_t size, uint64_t fileBytes, const char* what) {
  if (static_cast<unsigned __int128>(offset) + size > fileBytes) {
    malformed(std::string(what) + " reach beyond the end of the file (" +
              std::to_string(fileBytes) + " bytes)");
  }
}

// Reads `size` bytes at `offset` of the file; fewer at its end.
using ReadAt = std::function<std::string(uint64_t offset, size_t size)>;

uint64_t unsignedAt(std::string_view bytes, size_t offset, size_t size, bool bigEndian) {
  uint64_t value = 0;
  for (size_t i = 0; i < size; ++i) {
    value = (value << 8) |
            static_cast<unsigned char>(bytes[bigEndian ? offset + i : offset + size - 1 - i]);
  }
  return value;
}

// The number of sections the file declares; 0 for what is not an ELF file,
// which libelf then refuses. Past 65279 sections the count is the size field
// of the first section header.
uint64_t declaredSectionCount(const ReadAt& readAt) {
  const std::string header = readAt(0, sizeof(Elf64_Ehdr));
  if (header.size() < sizeof(Elf32_Ehdr) || !header.starts_with(ELFMAG)) return 0;
  const bool wide = header[EI_CLASS] == ELFCLASS64;
  const bool bigEndian = header[EI_DATA] == ELFDATA2MSB;
  if (wide && header.size() < sizeof(Elf64_Ehdr)) return 0;
  const uint64_t count = wide ? unsignedAt(header, offsetof(Elf64_Ehdr, e_shnum), 2, bigEndian)
                              : unsignedAt(header, offsetof(Elf32_Ehdr, e_shnum), 2, bigEndian);
  const uint64_t headersAt = wide ? unsignedAt(header, offsetof(Elf64_Ehdr, e_shoff), 8, bigEndian)
                                  : unsignedAt(header, offsetof(Elf32_Ehdr, e_shoff), 4, bigEndian);
  if (count != 0 || headersAt == 0) return count;
  const size_t sizeBytes = wide ? 8 : 4;
  const std::string size =
      readAt(headersAt + (wide ? offsetof(Elf64_Shdr, sh_size) : offsetof(Elf32_Shdr, sh_size)),
             sizeBytes);
  return size.size() == sizeBytes ? unsignedAt(size, 0, sizeBytes, bigEndian) : 0;
}

// libelf sets up every section when it opens a file, so a file declaring
// millions of them would take gigabytes before libelf could be asked for the
// count: it is checked first.
void requireFewSections(const ReadAt& readAt) {
  const uint64_t count = declaredSectionCount(readAt);
  if (count > kMaxElfSections) {
    throw ElfInputError("the file has " + std::to_string(count) + " sections, more than " +
                        std::to_string(kMaxElfSections) + ", the limit for an ELF file");
  }
}

// Only symbols of the form `__...__` can name a segment or a section.
bool mayNameALayoutPart(std::string_view name) {
  return name.size() > 4 && name.starts_with("__") && name.ends_with("__");
}

// Adds the defined symbols of one symbol table section.
void addSymbols(Elf* elf, Elf_Scn* scn, const GElf_Shdr& header, ElfSymbols& out) {
  Elf_Data* data = elf_getdata(scn, nullptr);
  if (!data) malformedPerLibelf();
  const size_t count = data->d_size / header.sh_entsize;
  for (size_t i = 1; i < count; ++i) {
    GElf_Sym symbol;
    if (!gelf_getsym(data, static_cast<int>(i), &symbol)) break;
    if (symbol.st_shndx == SHN_UNDEF) continue;
    const char* name = elf_strptr(elf, header.sh_link, symbol.st_name);
    if (name && mayNameALayoutPart(name)) out.values.insert_or_assign(name, symbol.st_value);
  }
}

// The symbols of an ELF file of `fileBytes` bytes opened by libelf.
ElfSymbols symbolsOf(Elf* elf, uint64_t fileBytes) {
  if (!elf || elf_kind(elf) != ELF_K_ELF) throw ElfInputError("not an ELF file");
  GElf_Ehdr fileHeader;
  size_t sectionCount = 0;
  size_t namesIndex = 0;
  if (!gelf_getehdr(elf, &fileHeader) || elf_getshdrnum(elf, &sectionCount) != 0 ||
      elf_getshdrstrndx(elf, &namesIndex) != 0) {
    malformedPerLibelf();
  }
  // libelf counts no sections when their headers do not fit in the file. A
  // table whose count is kept in its first header (e_shnum 0) has that one.
  if (fileHeader.e_shoff != 0) {
    const uint64_t headers =
        fileHeader.e_shnum != 0 ? fileHeader.e_shnum : std::max<uint64_t>(sectionCount, 1);
    requireWithinFile(fileHeader.e_shoff, headers * fileHeader.e_shentsize, fileBytes,
                      "the section headers");
  }

  ElfSymbols out;
  bool hasSymbolTable = false;
  uint64_t symbolCount = 0;
  for (Elf_Scn* scn = elf_nextscn(elf, nullptr); scn; scn = elf_nextscn(elf, scn)) {
    GElf_Shdr header;
    if (!gelf_getshdr(scn, &header)) malformedPerLibelf();
    if (const char* name = elf_strptr(elf, namesIndex, header.sh_name)) {
      out.sectionNames.insert(name);
      if (header.sh_type == SHT_NOBITS) out.sectionsWithoutContents.insert(name);
    }
    if (header.sh_type != SHT_SYMTAB) continue;
    hasSymbolTable = true;
    if (header.sh_entsize == 0) malformed("a symbol table has entries of size 0");
    requireWithinFile(header.sh_offset, header.sh_size, fileBytes, "the symbol table's entries");
    symbolCount += header.sh_size / header.sh_entsize;
    if (symbolCount > kMaxElfSymbols) {
      throw ElfInputError("the file has more than " + std::to_string(kMaxElfSymbols) +
                          " symbols, the limit for an ELF file");
    }
    addSymbols(elf, scn, header, out);
  }
  if (!hasSymbolTable) throw ElfInputError("no symbol table (the file is stripped)");
  return out;
}

}  // namespace

ElfSymbols readElfSymbols(const std::string& path) {
  initialiseLibelf();
  // Opened without waiting: a FIFO would wait until something writes to it.
  const platform::DescriptorFile::Opened opened = platform::DescriptorFile::open(path);
  if (!opened.file) {
    throw ElfInputError("cannot open the file: " + platform::errorText(opened.error));
  }
  const platform::DescriptorFile& file = *opened.file;
  const platform::FileStatus status = file.status();
  if (status.error != 0) {
    throw ElfInputError("cannot read the file: " + platform::errorText(status.error));
  }
  if (status.kind != platform::FileKind::Regular) throw ElfInputError("not a regular file");
  const uint64_t fileBytes = status.size;
  if (fileBytes > kMaxElfFileBytes) {
    throw ElfInputError("the file is larger than 1 GiB, the limit for an ELF file");
  }
  requireFewSections([&file](uint64_t offset, size_t size) { return file.readAt(offset, size); });
  ElfHandle elf(elf_begin(file.descriptor(), ELF_C_READ, nullptr));
  return symbolsOf(elf.get(), fileBytes);
}

ElfSymbols readElfImage(std::string_view image) {
  initialiseLibelf();
  requireFewSections([image](uint64_t offset, size_t size) {
    return offset < image.size() ? std::string(image.substr(offset, size)) : std::string();
  });
  // libelf may work in the buffer it is given: it gets a copy.
  std::vector<char> copy(image.begin(), image.end());
  ElfHandle elf(elf_memory(copy.data(), copy.size()));
  return symbolsOf(elf.get(), copy.size());
}

}  // namespace vozo::size
