"""Writes small 64-bit ELF files that hold only what vozo-size reads: a symbol
table of absolute symbols and section headers with the given names. Names
are bytes, so that tests can give names no linker would write."""
import struct

SHT_PROGBITS, SHT_SYMTAB, SHT_STRTAB, SHT_NOBITS = 1, 2, 3, 8
SHN_ABS = 0xFFF1
GLOBAL_NOTYPE = 0x10


class _Strings:
    """An ELF string table: offsets of NUL-terminated names."""

    def __init__(self):
        self.data = bytearray(b"\0")

    def add(self, name):
        offset = len(self.data)
        self.data += name + b"\0"
        return offset


def elf_image(symbols, section_names=(), nobits_names=()):
    """An ELF file (bytes) with the symbols {name: value} and, besides its
    string and symbol tables, empty sections of the given names, and
    sections without contents in the file (NOBITS) of the other names."""
    names, shnames = _Strings(), _Strings()
    table = bytearray(24)  # symbol 0 is the null symbol
    for name, value in symbols.items():
        table += struct.pack("<IBBHQQ", names.add(name), GLOBAL_NOTYPE, 0, SHN_ABS, value, 0)
    # (name, type, contents, link, info, entry size)
    sections = [(b".shstrtab", SHT_STRTAB, None, 0, 0, 0),
                (b".strtab", SHT_STRTAB, bytes(names.data), 0, 0, 0),
                (b".symtab", SHT_SYMTAB, bytes(table), 2, 1, 24)]
    sections += [(name, SHT_PROGBITS, b"", 0, 0, 0) for name in section_names]
    sections += [(name, SHT_NOBITS, b"", 0, 0, 0) for name in nobits_names]
    name_offsets = [shnames.add(section[0]) for section in sections]
    contents = [bytes(shnames.data)] + [section[2] for section in sections[1:]]

    body = bytearray()
    headers = bytearray(64)  # section 0 is the null section
    for (name, kind, _, link, info, entry_size), offset, data in zip(sections, name_offsets,
                                                                    contents):
        headers += struct.pack("<IIQQQQIIQQ", offset, kind, 0, 0, 64 + len(body), len(data), link,
                               info, 8, entry_size)
        body += data
    body += bytes(-len(body) % 8)
    header_offset = 64 + len(body)
    count = len(sections) + 1
    if count >= 0xFF00:  # too many for e_shnum: the null section's size holds the count
        headers[32:40] = struct.pack("<Q", count)
        count = 0
    ident = b"\x7fELF" + bytes([2, 1, 1]) + bytes(9)
    elf_header = ident + struct.pack("<HHIQQQIHHHHHH", 2, 62, 1, 0, 0, header_offset, 0, 64, 0, 0,
                                     64, count, 1)
    return elf_header + bytes(body) + bytes(headers)


def set_section_size(image, index, size):
    """The image with the size field of section `index` changed."""
    header_offset = struct.unpack_from("<Q", image, 40)[0] + 64 * index
    return image[:header_offset + 32] + struct.pack("<Q", size) + image[header_offset + 40:]


def segment_symbols(name, start, size, used_end=None):
    symbols = {b"__%s_segment_start__" % name: start, b"__%s_segment_size__" % name: size,
               b"__%s_segment_end__" % name: (start + size) % 2**64}
    if used_end is not None:
        symbols[b"__%s_segment_used_end__" % name] = used_end
    return symbols


def section_symbols(stem, start, size, load=None, run_area=False):
    """The symbols a vozo script defines for a section: a run area has no
    load start symbol; a copied section loads at `load`."""
    load = start if load is None else load
    symbols = {b"__%s_start__" % stem: start, b"__%s_end__" % stem: (start + size) % 2**64,
               b"__%s_size__" % stem: size, b"__%s_load_end__" % stem: (load + size) % 2**64}
    if not run_area:
        symbols[b"__%s_load_start__" % stem] = load
    return symbols


def claiming_sections(image, count):
    """The image with its header saying that the count of sections is in the
    first section header (as past 65279 sections), which says `count`."""
    image = image[:60] + struct.pack("<H", 0) + image[62:]
    return set_section_size(image, 0, count)
