#!/usr/bin/env python3
"""Writes the benchmark inputs and a manifest of the runs that use them.

Usage: generate_inputs.py OUTPUT_DIR [--scale N] [--corpus DIR] [--board DIR]

Every input is generated from a fixed seed, so two runs write the same bytes.
--scale divides every size and count (--scale 64 makes a quick smoke set).
OUTPUT_DIR/manifest.json lists the cases: a name, the vozo arguments (paths
relative to OUTPUT_DIR), the bytes of the memory map and of all files read.
"""

import argparse
import json
import os
import random
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import svd_to_memory_map  # noqa: E402

MB = 1 << 20
WORDS = ("control status data enable interrupt flag mode clock reset select counter "
         "prescaler channel trigger buffer address error ready transmit receive").split()

# Memory sizes of the described devices: flash start and size, RAM start and size.
DEVICES = {
    "svd/STM32G071.svd": (0x08000000, 128 << 10, 0x20000000, 36 << 10),
    "svd/STM32F407.svd": (0x08000000, 1 << 20, 0x20000000, 128 << 10),
    "svd/STM32H743.svd": (0x08000000, 2 << 20, 0x24000000, 512 << 10),
    "svd-nordic/nrf51.svd": (0x00000000, 256 << 10, 0x20000000, 16 << 10),
    "svd-nordic/nrf52840.svd": (0x00000000, 1 << 20, 0x20000000, 256 << 10),
    "svd-nordic/nrf5340_application.svd": (0x00000000, 1 << 20, 0x20000000, 512 << 10),
}

HEADER = "<!DOCTYPE Board_Memory_Definition_File>\n"
MEMORY_SEGMENTS = """  <MemorySegment name="FLASH" start="0x08000000" size="16*1024*1024" access="ReadOnly"/>
  <MemorySegment name="RAM" start="0x20000000" size="0x1000000"/>
  <MemorySegment name="RAM2" start="536870912 + 0x1000000" size="16384*1024"/>
  <MemorySegment name="CCM" start="0x10000000" size="64*1024"/>
"""

# The sections of an ordinary firmware, used with the register maps.
SMALL_PLACEMENT = """<!DOCTYPE Linker_Placement_File>
<Root name="Placement">
  <MemorySegment name="FLASH">
    <ProgramSection name=".vectors" load="Yes" keep="Yes"/>
    <ProgramSection name=".text" load="Yes" alignment="4"/>
    <ProgramSection name=".rodata" load="Yes" alignment="4"/>
    <ProgramSection name=".data" load="Yes" alignment="4" runin=".data_run"/>
  </MemorySegment>
  <MemorySegment name="RAM">
    <ProgramSection name=".data_run" alignment="4"/>
    <ProgramSection name=".bss" alignment="4"/>
    <ProgramSection name=".stack" alignment="8" size="0x800" place_from_segment_end="Yes"/>
  </MemorySegment>
</Root>
"""


def description(rng):
    return " ".join(rng.choice(WORDS) for _ in range(rng.randint(2, 6)))


def register_group(rng, index):
    """One group of 32 registers of 8 bit fields, with every start form."""
    base = 0x40000000 + index * 0x400
    start = (f"0x{base:08X}", str(base), f"0x40000000 + {index}*0x400")[index % 3]
    lines = [f'    <RegisterGroup name="GROUP{index}" start="{start}" size="0x400" '
             f'description="{description(rng)}">\n']
    for register in range(32):
        offset = register * 4
        relative = (f"+0x{offset:02X}", f"+{offset}", f"+({register}*4)")[register % 3]
        lines.append(f'      <Register name="REG{register}" start="{relative}" size="4" '
                     f'access="read-write" description="{description(rng)}">\n')
        for field in range(8):
            lines.append(f'        <BitField name="FIELD{field}" start="{field * 4}" size="4" '
                         f'description="{description(rng)}"/>\n')
        lines.append("      </Register>\n")
    lines.append("    </RegisterGroup>\n")
    return "".join(lines)


def register_map(size):
    """A memory map of at least `size` bytes, grown one register group at a time."""
    rng = random.Random(size)
    head = HEADER + '<Root name="Registers">\n' + MEMORY_SEGMENTS + \
        '  <MemorySegment name="PERIPHERALS" start="0x40000000" size="0x20000000">\n'
    tail = "  </MemorySegment>\n</Root>\n"
    parts, length, index = [head], len(head) + len(tail), 0
    while length < size:
        group = register_group(rng, index)
        parts.append(group)
        length += len(group)
        index += 1
    parts.append(tail)
    return "".join(parts)


def placement(count):
    """`count` sections over four segments with every placement property."""
    rng = random.Random(count)
    segments = {"FLASH": [], "RAM": [], "RAM2": [], "CCM": []}
    for index in range(count):
        name = f".s{index}"
        kind = index % 10
        alignment = f' alignment="{1 << rng.randint(0, 5)}"'
        if kind < 5:
            extra = ' keep="Yes"' if index % 7 == 0 else ""
            if kind == 4:
                extra += f' fill="0x{rng.randint(0, 255):02X}"'
            segments["FLASH"].append(f'<ProgramSection name="{name}" load="Yes"{alignment}{extra}/>')
        elif kind == 5:
            segments["FLASH"].append(
                f'<ProgramSection name="{name}" load="Yes"{alignment} runin="{name}_run"/>')
            segments["RAM"].append(f'<ProgramSection name="{name}_run"{alignment}/>')
        elif kind in (6, 7):
            size = f' size="{rng.randint(1, 64) * 16}"' if kind == 7 else ""
            segments["RAM"].append(f'<ProgramSection name="{name}"{alignment}{size}/>')
        elif kind == 8:
            segments["RAM2"].append(f'<ProgramSection name="{name}"{alignment} size="0x{rng.randint(1, 63) * 16:X}"/>')
        else:
            segments["CCM"].append(f'<ProgramSection name="{name}"{alignment}/>')
    segments["RAM"].append('<ProgramSection name=".stack" alignment="8" size="0x800" '
                           'place_from_segment_end="Yes"/>')
    out = ["<!DOCTYPE Linker_Placement_File>\n", '<Root name="Placement">\n']
    for segment, sections in segments.items():
        out.append(f'  <MemorySegment name="{segment}">\n')
        out.extend(f"    {section}\n" for section in sections)
        out.append("  </MemorySegment>\n")
    out.append("</Root>\n")
    return "".join(out)


def segment_map(body):
    """The standard segments plus a peripheral segment that holds `body`."""
    return (HEADER + '<Root name="Preprocessed">\n' + MEMORY_SEGMENTS +
            '  <MemorySegment name="PERIPHERALS" start="0x40000000" size="0x20000000">\n' +
            '    <RegisterGroup name="BLOCK" start="0x40000000" size="0x10000000">\n' + body +
            "    </RegisterGroup>\n  </MemorySegment>\n</Root>\n")


def flat_registers(count):
    return "".join(f'<Register name="R{i}" start="+0x{i * 4:X}" size="4"/>\n' for i in range(count))


def for_loop(count):
    return segment_map(f'<for index="i" start="0" end="{count}" incr="1" add="0" mul="4">\n'
                       '<Register name="R$(i)" start="+$(i_ap_hex)" size="4"/>\n</for>\n')


def foreach_loop(count):
    outer = max(count // 400, 1)
    a = ",".join(f"A{i}" for i in range(outer))
    b = ",".join(f"B{i}" for i in range(count // outer))
    return segment_map(f'<foreach a="{a}" b="{b}">\n'
                       '<Register name="R$(a)_$(b)" start="+($(FOREACH_COUNT)*4)" size="4"/>\n'
                       '</foreach>\n')


def deep_if(depth, count):
    return segment_map('<if DEEP="1">' * depth + "\n" + flat_registers(count) + "</if>" * depth + "\n")


def include_chain(directory, depth, per_file):
    """The map includes inc1.xml, which includes inc2.xml, ... down to `depth`."""
    for level in range(1, depth + 1):
        body = "".join(f'<Register name="L{level}_R{i}" start="+0x{(level * per_file + i) * 4:X}" size="4"/>\n'
                       for i in range(per_file))
        if level < depth:
            body += f'<include filename="inc{level + 1}.xml"/>\n'
        write(os.path.join(directory, f"inc{level}.xml"), f"<envelope>\n{body}</envelope>\n")
    return segment_map('<include filename="inc1.xml"/>\n')


def write(path, text):
    with open(path, "w", encoding="utf-8") as file:
        file.write(text)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output")
    parser.add_argument("--scale", type=int, default=1)
    parser.add_argument("--corpus", help="folder of device descriptions (svd/, svd-nordic/)")
    parser.add_argument("--board", help="folder with the example board's memory_map.xml and placement.xml")
    options = parser.parse_args()
    out, scale = options.output, options.scale
    os.makedirs(out, exist_ok=True)
    cases = []

    def case(name, map_file, placement_file=None, macros=None, also_read=()):
        arguments = ["-memory-map-file", map_file]
        if macros:
            arguments += ["-memory-map-macros", macros]
        if placement_file:
            arguments += ["-section-placement-file", placement_file]
        files = [map_file, placement_file or map_file, *also_read]
        cases.append({"name": name, "args": arguments, "map_bytes": os.path.getsize(os.path.join(out, map_file)),
                      "bytes": sum(os.path.getsize(os.path.join(out, f)) for f in set(files))})

    write(os.path.join(out, "firmware_placement.xml"), SMALL_PLACEMENT)
    if options.board:
        for file in ("memory_map.xml", "placement.xml"):
            shutil.copyfile(os.path.join(options.board, file), os.path.join(out, "board_" + file))
        case("board", "board_memory_map.xml", "board_placement.xml")
        cases[-1]["args"] += ["-check-segment-overflow", "-check-section-overflow"]
    # The same map without its register groups: the run's cost apart from
    # the registers, subtracted for the per-MB figures.
    for megabytes in (0, 1, 2, 4, 8):
        name = f"map_{megabytes}mb.xml"
        write(os.path.join(out, name), register_map(megabytes * MB // scale))
        case(f"map {megabytes} MB", name, "firmware_placement.xml")
    if options.corpus:
        for device, sizes in DEVICES.items():
            stem = os.path.splitext(os.path.basename(device))[0]
            name = f"device_{stem}.xml"
            write(os.path.join(out, name), svd_to_memory_map.convert(os.path.join(options.corpus, device), *sizes))
            case(f"device {stem}", name, "firmware_placement.xml")
    write(os.path.join(out, "sections_map.xml"),
          HEADER + '<Root name="Sections">\n' + MEMORY_SEGMENTS + "</Root>\n")
    for count in (1000, 10000, 100000):
        name = f"sections_{count}.xml"
        write(os.path.join(out, name), placement(count // scale))
        case(f"sections {count}", "sections_map.xml", name)
    loops = 200000 // scale
    write(os.path.join(out, "pp_for.xml"), for_loop(loops))
    case("for 200000", "pp_for.xml")
    write(os.path.join(out, "pp_foreach.xml"), foreach_loop(loops))
    case("foreach 200000", "pp_foreach.xml")
    nested = 10000 // scale
    write(os.path.join(out, "pp_deep_if.xml"), deep_if(nested, nested))
    case("if 10000 deep", "pp_deep_if.xml", macros="DEEP=1")
    write(os.path.join(out, "pp_flat.xml"), deep_if(0, nested))
    case("same without if", "pp_flat.xml", macros="DEEP=1")
    write(os.path.join(out, "pp_include.xml"), include_chain(out, 50, max(2000 // scale, 1)))
    case("include 50 deep", "pp_include.xml", also_read=[f"inc{level}.xml" for level in range(1, 51)])
    write(os.path.join(out, "manifest.json"), json.dumps({"scale": scale, "cases": cases}, indent=1) + "\n")


if __name__ == "__main__":
    main()
