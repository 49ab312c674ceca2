#!/usr/bin/env python3
"""Converts a device description (CMSIS-SVD XML) into a vozo memory map.

Each peripheral becomes a RegisterGroup (base address as an absolute hex
start), each register a Register (offset as a relative "+" start), each
field a BitField, each cluster a nested RegisterGroup. Arrays ("dim") are
unrolled, "derivedFrom" peripherals and registers copy their base. FLASH and
RAM segments come from the sizes given by the caller, the peripherals go into
one PERIPHERALS segment that spans them all.

Usage: svd_to_memory_map.py DEVICE.svd FLASH_START FLASH_SIZE RAM_START RAM_SIZE > map.xml
"""

import sys
import xml.etree.ElementTree as ET
from xml.sax.saxutils import quoteattr


def number(text, default=0):
    """Reads an SVD number: decimal, 0x hex, #binary."""
    if text is None:
        return default
    text = text.strip().lower()
    if text.startswith("#"):
        return int(text[1:].replace("x", "0"), 2)
    if text.startswith("0x"):
        return int(text, 16)
    if text.startswith("0b"):
        return int(text[2:], 2)
    return int(text, 0) if text else default


def child_text(element, tag):
    child = element.find(tag)
    return None if child is None or child.text is None else child.text.strip()


def clean_name(name):
    """A name safe for a linker script: letters, digits and underscores."""
    name = name.replace("[%s]", "%s")
    out = "".join(c if c.isalnum() or c == "_" else "_" for c in name)
    return out or "_"


def one_line(text):
    return " ".join(text.split()) if text else ""


def unrolled(element):
    """(name, extra offset) pairs of an element, several when it is an array."""
    name = child_text(element, "name") or "UNNAMED"
    dim = child_text(element, "dim")
    if dim is None:
        return [(name, 0)]
    count = number(dim)
    step = number(child_text(element, "dimIncrement"))
    index_text = child_text(element, "dimIndex")
    if index_text and "-" in index_text and "," not in index_text:
        low, high = index_text.split("-")
        indices = [str(i) for i in range(int(low), int(high) + 1)] if low.isdigit() else \
            [chr(c) for c in range(ord(low), ord(high) + 1)]
    elif index_text:
        indices = index_text.split(",")
    else:
        indices = [str(i) for i in range(count)]
    if "%s" not in name:
        name += "%s"
    return [(name.replace("[%s]", "%s").replace("%s", indices[i]), i * step)
            for i in range(min(count, len(indices)))]


class Writer:
    def __init__(self):
        self.lines = []

    def open(self, depth, tag, attributes, empty):
        text = " ".join(f"{k}={quoteattr(str(v))}" for k, v in attributes if v != "")
        self.lines.append(f"{'  ' * depth}<{tag} {text}{'/' if empty else ''}>")

    def close(self, depth, tag):
        self.lines.append(f"{'  ' * depth}</{tag}>")


def write_fields(out, register, depth):
    fields = register.find("fields")
    for field in [] if fields is None else fields.findall("field"):
        offset = child_text(field, "bitOffset")
        width = child_text(field, "bitWidth")
        if offset is None:
            low, high = (child_text(field, "lsb"), child_text(field, "msb"))
            if low is None:
                bit_range = (child_text(field, "bitRange") or "[0:0]").strip("[]").split(":")
                high, low = bit_range[0], bit_range[1]
            offset, width = low, str(number(high) - number(low) + 1)
        for name, _ in unrolled(field):
            out.open(depth, "BitField", [("name", clean_name(name)), ("start", number(offset)),
                                         ("size", number(width, 1)),
                                         ("description", one_line(child_text(field, "description")))],
                     True)


def write_registers(out, container, depth, registers_by_name):
    """Registers and clusters of a peripheral or cluster, in file order."""
    for element in list(container):
        if element.tag == "register":
            base = registers_by_name.get(element.get("derivedFrom"))
            source = element if base is None or element.find("fields") is not None else base
            for name, extra in unrolled(element):
                offset = number(child_text(element, "addressOffset")) + extra
                size_bits = number(child_text(element, "size") or child_text(base, "size") if base is not None
                                   else child_text(element, "size"), 32)
                fields = source.find("fields")
                has_fields = fields is not None and len(fields) > 0
                out.open(depth, "Register", [("name", clean_name(name)), ("start", f"+0x{offset:X}"),
                                             ("size", max(size_bits // 8, 1)),
                                             ("access", child_text(element, "access") or ""),
                                             ("description", one_line(child_text(element, "description")))],
                         not has_fields)
                if has_fields:
                    write_fields(out, source, depth + 1)
                    out.close(depth, "Register")
        elif element.tag == "cluster":
            for name, extra in unrolled(element):
                offset = number(child_text(element, "addressOffset")) + extra
                out.open(depth, "RegisterGroup", [("name", clean_name(name)), ("start", f"+0x{offset:X}"),
                                                  ("description", one_line(child_text(element, "description")))],
                         False)
                write_registers(out, element, depth + 1, registers_by_name)
                out.close(depth, "RegisterGroup")


def peripheral_groups(peripheral, by_name):
    """(name, base, size, description, registers element) for each unrolled peripheral."""
    source = peripheral
    if peripheral.find("registers") is None:
        source = by_name.get(peripheral.get("derivedFrom"), peripheral)
    block = peripheral.find("addressBlock")
    if block is None:
        block = source.find("addressBlock")
    size = number(child_text(block, "size")) if block is not None else 0x400
    description = one_line(child_text(peripheral, "description") or child_text(source, "description"))
    return [(clean_name(name), number(child_text(peripheral, "baseAddress")) + extra, size, description,
             source.find("registers")) for name, extra in unrolled(peripheral)]


def convert(svd_path, flash_start, flash_size, ram_start, ram_size):
    device = ET.parse(svd_path).getroot()
    peripherals = device.find("peripherals").findall("peripheral")
    by_name = {child_text(p, "name"): p for p in peripherals}
    out = Writer()
    out.lines.append("<!DOCTYPE Board_Memory_Definition_File>")
    out.open(0, "Root", [("name", child_text(device, "name"))], False)
    out.open(1, "MemorySegment", [("name", "FLASH"), ("start", f"0x{flash_start:08X}"),
                                  ("size", f"{flash_size // 1024}*1024"), ("access", "ReadOnly")], True)
    out.open(1, "MemorySegment", [("name", "RAM"), ("start", f"0x{ram_start:08X}"),
                                  ("size", f"{ram_size // 1024}*1024")], True)
    # One peripheral segment per 256 MB window of the address space, spanning
    # its peripherals, so that no segment overlaps flash or RAM.
    windows = {}
    for peripheral in peripherals:
        windows.setdefault(number(child_text(peripheral, "baseAddress")) >> 28, []).append(peripheral)
    for window, members in sorted(windows.items()):
        groups = [group for peripheral in members for group in peripheral_groups(peripheral, by_name)]
        low = min(base for _, base, _, _, _ in groups)
        high = max(base + size for _, base, size, _, _ in groups)
        out.open(1, "MemorySegment", [("name", f"PERIPHERALS_{window:X}"), ("start", f"0x{low:08X}"),
                                      ("size", f"0x{high - low:X}")], False)
        for name, base, size, description, registers in groups:
            out.open(2, "RegisterGroup", [("name", name), ("start", f"0x{base:08X}"),
                                          ("size", f"0x{size:X}"), ("description", description)],
                     registers is None)
            if registers is not None:
                registers_by_name = {child_text(r, "name"): r for r in registers.iter("register")}
                write_registers(out, registers, 3, registers_by_name)
                out.close(2, "RegisterGroup")
        out.close(1, "MemorySegment")
    out.close(0, "Root")
    return "\n".join(out.lines) + "\n"


def main(argv):
    if len(argv) != 6:
        sys.exit(__doc__)
    flash_start, flash_size, ram_start, ram_size = (int(a, 0) for a in argv[2:])
    sys.stdout.write(convert(argv[1], flash_start, flash_size, ram_start, ram_size))


if __name__ == "__main__":
    main(sys.argv)
