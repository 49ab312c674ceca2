#!/usr/bin/env python3
"""Links one program with GNU ld and with lld from the same -lld-compatible
script and compares where every section runs and loads and the value of
every symbol the script defines.

Usage: lld_compare.py <vozo> <scratch directory> <case> [<vozo build directory>]

Cases:
  firmware    the example firmware (examples/firmware), C++ without the C
              library's start files
  c_newlib    a C program with newlib (formatted output, the heap) and its
              start files, placed by examples/startup/placement.xml
  cpp_newlib  a C++ program with newlib: static constructors, virtual calls,
              an exception; also linked once through the compiler driver,
              and once by lld without --target2=rel (with an offset table)
  riscv       a RISC-V program (-target riscv) from clang-14
  offset_table  position-independent code with an offset table (.got), on
              Arm and RISC-V
  unplaced    an unplaced non-empty input section fails both links
  random      random memory maps and placements: each pair that GNU ld links
              links with lld too, at the same addresses
  cmake       the example firmware's CMake build with -fuse-ld=lld against
              the vozo build directory: vozo_add_linker_script passes
              -lld-compatible and --target2=rel (not when the build gives a
              --target2 of its own), and lld links the firmware

A program with the C library is linked from the same object files in the
same order by both linkers: the library members that GNU ld takes, in the
order it takes them, are passed as objects (the linkers pick archive members
in different orders, and the code would move for that alone). Three contents
are the linkers' own and may differ in size: lld ends .ARM.exidx with an
entry of its own, merges strings differently, and starts no offset table
(.got) with the header for a dynamic linker that GNU ld gives it. Every
address after such a
section in its memory segment is then expected to move by the difference,
and by nothing else.
"""

import os
import random
import re
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
LLD = "ld.lld-19"
ARM_FLAGS = ["-mcpu=cortex-m4", "-mthumb", "-O1"]
NEWLIB = ["--specs=nano.specs", "--specs=nosys.specs"]
TOOLS = {
    "arm": {"ld": ["arm-none-eabi-ld"], "objdump": "arm-none-eabi-objdump",
            "nm": "arm-none-eabi-nm", "as": ["arm-none-eabi-as"], "lld": [LLD]},
    "riscv": {"ld": ["riscv64-unknown-elf-ld", "-m", "elf32lriscv"],
              "objdump": "riscv64-unknown-elf-objdump", "nm": "riscv64-unknown-elf-nm",
              "as": ["riscv64-unknown-elf-as", "-march=rv32imac", "-mabi=ilp32"],
              "lld": [LLD, "-m", "elf32lriscv"]},
}


class Failure(Exception):
    pass


def run(command, cwd=None, must_succeed=True):
    result = subprocess.run(command, cwd=cwd, capture_output=True, text=True)
    if must_succeed and result.returncode != 0:
        raise Failure(f"{' '.join(command)} failed:\n{result.stdout}{result.stderr}")
    return result


def write_script(vozo, script, arguments):
    run([vozo, "-lld-compatible", "-check-segment-overflow", *arguments, script])


# --- What a linked file holds --------------------------------------------

def sections(tools, elf):
    """Non-empty allocated sections: name to (size, VMA, LMA)."""
    lines = run([tools["objdump"], "-h", elf]).stdout.splitlines()
    found = {}
    for line, flags in zip(lines, lines[1:]):
        fields = line.split()
        if len(fields) >= 6 and fields[0].isdigit() and "ALLOC" in flags:
            size, vma, lma = (int(field, 16) for field in fields[2:5])
            if size:
                found[fields[1]] = (size, vma, lma)
    return found


def symbols(tools, elf):
    values = {}
    for line in run([tools["nm"], elf]).stdout.splitlines():
        fields = line.split()
        if len(fields) == 3:
            values[fields[2]] = int(fields[0], 16)
    return values


def script_symbols(script):
    """Every symbol the script assigns."""
    names = set()
    with open(script) as text:
        for line in text:
            match = re.match(r"\s*([A-Za-z_.$][\w.$]*)\s*=\s", line)
            if match and match.group(1) != ".":
                names.add(match.group(1))
    return names


def segments(values):
    """Memory segments from the script's symbols: name to (start, end)."""
    found = {}
    for name, start in values.items():
        match = re.fullmatch(r"__(.+)_segment_start__", name)
        if match and f"__{match.group(1)}_segment_end__" in values:
            found[match.group(1)] = (start, values[f"__{match.group(1)}_segment_end__"])
    return found


def described(linker, found, values):
    """Where the script's symbols of a non-empty section do not describe it:
    its start and end where it runs, its start and end where it loads (the
    start-up code copies from there)."""
    problems = []
    for name, (size, vma, lma) in found.items():
        stem = "__" + name.lstrip(".")
        expected = {"_start__": vma, "_end__": vma + size, "_load_start__": lma,
                    "_load_end__": lma + size}
        for suffix, address in expected.items():
            value = values.get(stem + suffix)
            if value is not None and value != address:
                problems.append(f"{linker}: {stem}{suffix} is {value:#x}, {name} says {address:#x}")
    return problems


def compare(tools, script, gnu_elf, lld_elf):
    """The differences between the two links, as a list of messages."""
    gnu, lld = sections(tools, gnu_elf), sections(tools, lld_elf)
    problems = []
    if set(gnu) != set(lld):
        problems.append(f"sections only GNU ld made: {sorted(set(gnu) - set(lld))}, "
                        f"only lld made: {sorted(set(lld) - set(gnu))}")
    gnu_symbols, lld_symbols = symbols(tools, gnu_elf), symbols(tools, lld_elf)
    problems += described("GNU ld", gnu, gnu_symbols) + described("lld", lld, lld_symbols)
    memory = segments(gnu_symbols)

    def segment_of(address):
        for start, end in memory.values():
            if start <= address < end:
                return start, end
        return None

    # Each place a section takes (run and load address), with the size its
    # contents have grown by in lld.
    growth = []
    for name in set(gnu) & set(lld):
        size, vma, lma = gnu[name]
        grown = lld[name][0] - size
        if grown and name not in (".ARM.exidx", ".rodata", ".got"):
            problems.append(f"{name}: {size:#x} bytes with GNU ld, {lld[name][0]:#x} with lld")
        if grown:
            growth.append((vma, grown))
            if lma != vma:
                growth.append((lma, grown))

    def moved(address):
        segment = segment_of(address)
        if not segment:
            return 0
        return sum(grown for at, grown in growth if segment[0] <= at < address)

    for name in sorted(set(gnu) & set(lld)):
        _, vma, lma = gnu[name]
        _, lld_vma, lld_lma = lld[name]
        if lld_vma != vma + moved(vma) or lld_lma != lma + moved(lma):
            problems.append(f"{name}: runs at {vma:#x}, loads at {lma:#x} with GNU ld; "
                            f"{lld_vma:#x}, {lld_lma:#x} with lld")
    for name in sorted(script_symbols(script)):
        if name not in gnu_symbols or name not in lld_symbols:
            problems.append(f"symbol {name} missing with {'GNU ld' if name not in gnu_symbols else 'lld'}")
            continue
        value = gnu_symbols[name]
        expected = value + moved(value)
        size = re.fullmatch(r"(__.+)_size__", name)
        if size and not segment_of(value):
            stem = size.group(1)
            end, start = (f"{stem}_end__", f"{stem}_start__")
            if stem.endswith("_segment_used"):
                end, start = f"{stem}_end__", f"{stem[:-len('_used')]}_start__"
            if end in gnu_symbols and start in gnu_symbols:
                expected = value + moved(gnu_symbols[end]) - moved(gnu_symbols[start])
        if lld_symbols[name] != expected:
            problems.append(f"symbol {name}: {value:#x} with GNU ld, {lld_symbols[name]:#x} with lld")
    return problems


# --- Linking ---------------------------------------------------------------

def link_with_lld(tools, script, inputs, elf, lld_options=()):
    """Links with lld, which must take the script without a message: no
    warning either (such as that a section's address is no multiple of its
    inputs' alignment)."""
    result = run([*tools["lld"], *lld_options, "-T", script, *inputs, "-o", elf])
    if result.stderr:
        raise Failure(f"lld warns:\n{result.stderr}")


def link_both(tools, script, inputs, work, stem, lld_options=()):
    gnu_elf, lld_elf = f"{work}/{stem}.gnu.elf", f"{work}/{stem}.lld.elf"
    run([*tools["ld"], "-T", script, *inputs, "-o", gnu_elf])
    link_with_lld(tools, script, inputs, lld_elf, lld_options)
    return gnu_elf, lld_elf


def library_objects(driver, flags, script, objects, work, stem):
    """The start files, `objects` and the library members a GNU ld link
    through `driver` takes, as object files in the order it reads them."""
    map_file = f"{work}/{stem}.map"
    verbose = run([driver, *flags, "-T", script, *objects, "-o", f"{work}/{stem}.driver.elf",
                   f"-Wl,-Map={map_file}", "-Wl,--verbose"]).stdout
    opened = re.findall(r"^attempt to open (\S+) succeeded$", verbose, re.MULTILINE)
    before, after, library_seen = [], [], False
    for path in opened:
        if path.endswith(".a"):
            library_seen = True
        elif path.endswith(".o"):
            (after if library_seen else before).append(path)
    members = []
    with open(map_file) as text:
        block = text.read().split("Archive member included", 1)[1].split("Memory Configuration")[0]
    os.makedirs(f"{work}/{stem}.members", exist_ok=True)
    for number, (archive, member) in enumerate(
            re.findall(r"^(\S+\.a)\(([^)]+)\)", block, re.MULTILINE)):
        path = f"{work}/{stem}.members/{number:03d}_{member}"
        with open(path, "wb") as out:
            out.write(subprocess.run(["ar", "p", archive, member], check=True,
                                     capture_output=True).stdout)
        members.append(path)
    return before + members + after


def check_newlib_program(vozo, work, stem, script_arguments, sources, flags, link_flags,
                         lld_options=()):
    script = f"{work}/{stem}.ld"
    write_script(vozo, script, script_arguments)
    objects = []
    for source in sources:
        driver = "arm-none-eabi-g++" if source.endswith(".cpp") else "arm-none-eabi-gcc"
        objects.append(f"{work}/{os.path.basename(source)}.o")
        run([driver, *flags, "-c", source, "-o", objects[-1]])
    inputs = library_objects("arm-none-eabi-g++", flags + link_flags, script, objects, work, stem)
    gnu_elf, lld_elf = link_both(TOOLS["arm"], script, inputs, work, stem, lld_options)
    return script, objects, inputs, compare(TOOLS["arm"], script, gnu_elf, lld_elf)


STARTUP = os.path.join(ROOT, "examples", "startup")
STARTUP_PLACEMENT = ["-memory-map-segments", "FLASH RX 0x08000000 0x40000;RAM RWX 0x20000000 0x10000",
                     "-section-placement-file", os.path.join(STARTUP, "placement.xml")]
STARTUP_ARGUMENTS = STARTUP_PLACEMENT + ["-entry", "Reset_Handler"]


def case_firmware(vozo, work):
    example = os.path.join(ROOT, "examples", "firmware")
    flags = ARM_FLAGS + ["-mfloat-abi=hard", "-mfpu=fpv4-sp-d16"]
    *_, problems = check_newlib_program(
        vozo, work, "firmware",
        ["-memory-map-file", f"{example}/memory_map.xml",
         "-section-placement-file", f"{example}/placement.xml",
         "-section-placement-macros", "STACK_SIZE=0x1000;HEAP_SIZE=0x2000",
         "-check-section-overflow", "-entry", "reset_handler"],
        [f"{example}/startup.c", f"{example}/main.cpp"], flags, ["-nostartfiles"] + NEWLIB)
    return problems


def case_c_newlib(vozo, work):
    *_, problems = check_newlib_program(
        vozo, work, "c_newlib", STARTUP_ARGUMENTS,
        [f"{STARTUP}/startup.c", f"{HERE}/newlib_program.c"], ARM_FLAGS, NEWLIB)
    return problems


def case_cpp_newlib(vozo, work):
    # lld reads R_ARM_TARGET2 (the type references of exception tables) as
    # an offset table entry unless told otherwise; the unwinder of a
    # bare-metal program reads them as relative, as GNU ld writes them.
    lld_options = ["--target2=rel"]
    script, objects, inputs, problems = check_newlib_program(
        vozo, work, "cpp_newlib", STARTUP_ARGUMENTS,
        [f"{STARTUP}/startup.c", f"{HERE}/newlib_program.cpp"], ARM_FLAGS, NEWLIB, lld_options)
    # Without it lld makes an offset table for those references, which lld
    # takes to be read-only after relocation like .ctors and .dtors: the
    # script must place it where the link still works.
    elf = f"{work}/target2_got.lld.elf"
    link_with_lld(TOOLS["arm"], script, inputs, elf)
    if ".got" not in sections(TOOLS["arm"], elf):
        problems.append("lld made no .got without --target2=rel: the link tests nothing")
    # The same program through the compiler driver, as a build links it.
    tools = f"{work}/lld-driver"
    os.makedirs(tools, exist_ok=True)
    if not os.path.exists(f"{tools}/ld.lld"):
        os.symlink(shutil.which(LLD), f"{tools}/ld.lld")
    result = run(["arm-none-eabi-g++", *ARM_FLAGS, *NEWLIB, f"-B{tools}", "-fuse-ld=lld",
                  "-Wl,--target2=rel", "-T", script, *objects, "-o", f"{work}/driver.lld.elf"],
                 must_succeed=False)
    if result.returncode != 0 or result.stderr:
        problems.append(f"the driver's link with lld: {result.stdout}{result.stderr}")
    return problems


def case_riscv(vozo, work):
    script = f"{work}/riscv.ld"
    write_script(vozo, script, ["-target", "riscv",
                                "-memory-map-file", f"{HERE}/memory_map.xml",
                                "-section-placement-file", f"{HERE}/placement.xml"])
    obj = f"{work}/riscv.o"
    run(["clang-14", "--target=riscv32-unknown-elf", "-march=rv32imac", "-mabi=ilp32",
         "-msmall-data-limit=0", "-O1", "-ffreestanding", "-c", f"{HERE}/program.c", "-o", obj])
    gnu_elf, lld_elf = link_both(TOOLS["riscv"], script, ["-e", "reset_handler", obj], work, "riscv")
    return compare(TOOLS["riscv"], script, gnu_elf, lld_elf)


def case_offset_table(vozo, work):
    """Position-independent code reaches its data through an offset table
    (.got) with both linkers: after .dtors with the start-up placement,
    after .rodata with one that has no section lld makes read-only after
    relocation; on Arm and on RISC-V."""
    link_arguments = ["-memory-map-file", f"{HERE}/memory_map.xml",
                      "-section-placement-file", f"{HERE}/placement.xml"]
    builds = [
        ("arm", "startup", STARTUP_PLACEMENT,
         ["arm-none-eabi-gcc", *ARM_FLAGS]),
        ("arm", "link", link_arguments, ["arm-none-eabi-gcc", *ARM_FLAGS]),
        ("riscv", "link", ["-target", "riscv", *link_arguments],
         ["clang-14", "--target=riscv32-unknown-elf", "-march=rv32imac", "-mabi=ilp32", "-O1",
          "-ffreestanding"]),
    ]
    problems = []
    for family, placement, arguments, compiler in builds:
        stem = f"{family}_{placement}"
        script = f"{work}/{stem}.ld"
        write_script(vozo, script, arguments)
        obj = f"{work}/{stem}.o"
        run([*compiler, "-fPIC", "-c", f"{HERE}/program.c", "-o", obj])
        tools = TOOLS[family]
        gnu_elf, lld_elf = link_both(tools, script, ["-e", "reset_handler", obj], work, stem)
        for linker, elf in (("GNU ld", gnu_elf), ("lld", lld_elf)):
            if ".got" not in sections(tools, elf):
                problems.append(f"{stem}: {linker} made no .got")
        problems += [f"{stem}: {problem}" for problem in compare(tools, script, gnu_elf, lld_elf)]
    return problems


def case_unplaced(vozo, work):
    script = f"{work}/unplaced.ld"
    write_script(vozo, script, ["-memory-map-file", f"{HERE}/memory_map.xml",
                                "-section-placement-file", f"{HERE}/placement.xml"])
    source = f"{work}/unplaced.s"
    with open(source, "w") as out:
        out.write('  .section .text, "ax"\n  .word 1\n  .section .foo, "a"\n  .word 2\n')
    problems = []
    for family in ("arm", "riscv"):
        tools = TOOLS[family]
        obj = f"{work}/unplaced_{family}.o"
        run([*tools["as"], source, "-o", obj])
        for linker in ("ld", "lld"):
            result = run([*tools[linker], "-e", "0", "-T", script, obj, "-o", f"{work}/unplaced.elf"],
                         must_succeed=False)
            if result.returncode == 0 or "UNPLACED_SECTIONS" not in result.stderr:
                problems.append(f"{family} {linker}: the unplaced .foo did not fail the link "
                                f"({result.stderr.strip()})")
    return problems


# --- Random inputs -----------------------------------------------------------

SEGMENTS = [("FLASH", "ReadOnly", 0x08000000, 0x10000), ("RAM", "ReadWrite", 0x20000000, 0x8000),
            ("RAM2", "ReadWrite", 0x20010000, 0x4000)]
ALIGNMENTS = [None, None, "1", "2", "4", "8", "16", "256"]


def random_pair(rng, index, work):
    """A memory map, a placement and an object with a word in each placed
    section; returns the vozo arguments, the object's assembly text and
    whether two sections run in one run section."""
    used = rng.sample(SEGMENTS, rng.randint(2, 3))
    memory = ["<!DOCTYPE Board_Memory_Definition_File>", "<Root name='Random'>"]
    for name, access, start, size in used:
        memory.append(f"  <MemorySegment name='{name}' start='{start:#x}' size='{size:#x}' "
                      f"access='{access}'/>")
    memory.append("</Root>")
    placement = ["<!DOCTYPE Linker_Placement_File>", "<Root name='Random'>"]
    assembly = []
    number = 0
    run_sections = []
    overlaid = False
    for name, access, start, size in used:
        placement.append(f"  <MemorySegment name='{name}'>")
        for position in range(rng.randint(1, 4)):
            number += 1
            section = f".s{number}"
            attributes = [f"name='{section}'"]
            alignment = rng.choice(ALIGNMENTS)
            if alignment:
                attributes.append(f"alignment='{alignment}'")
            if rng.random() < 0.25:
                attributes.append(f"size='{rng.choice(['+0x40', '0x40', '64', '0x20 + +0x20'])}'")
            if position == 0 and rng.random() < 0.2:
                attributes.append(f"start='+{start + 0x100:#x}'")
            loaded = access == "ReadOnly" or rng.random() < 0.5
            attributes.append(f"load='{'Yes' if loaded else 'No'}'")
            if access == "ReadOnly" and rng.random() < 0.3:
                # Now and then a second section runs in the same run section.
                if run_sections and rng.random() < 0.3:
                    attributes.append(f"runin='{rng.choice(run_sections)}'")
                    overlaid = True
                else:
                    run_sections.append(f"{section}_run")
                    attributes.append(f"runin='{section}_run'")
            if rng.random() < 0.15:
                attributes.append("fill='+0xff'")
            placement.append(f"    <ProgramSection {' '.join(attributes)}/>")
            flags = '"a"' if access == "ReadOnly" else '"aw"'
            kind = "" if loaded else ", %nobits"
            word = ".word 0x11111111" if loaded else ".space 4"
            word_alignment = rng.choice([1, 2, 4, 8, 16, 64])
            assembly.append(f"  .section {section}, {flags}{kind}\n  .balign {word_alignment}\n"
                            f"  {word}\n")
        placement.append("  </MemorySegment>")
    # Run sections go into a writable segment.
    writable = [name for name, access, _, _ in used if access == "ReadWrite"]
    if run_sections and writable:
        target = rng.choice(writable)
        index_of = placement.index(f"  <MemorySegment name='{target}'>")
        for run_section in run_sections:
            placement.insert(index_of + 1, f"    <ProgramSection name='{run_section}' "
                                           f"alignment='{rng.choice(['4', '8'])}'/>")
    placement.append("</Root>")
    for stem, lines in (("memory", memory), ("placement", placement)):
        with open(f"{work}/pair{index}.{stem}.xml", "w") as out:
            out.write("\n".join(lines) + "\n")
    arguments = ["-memory-map-file", f"{work}/pair{index}.memory.xml",
                 "-section-placement-file", f"{work}/pair{index}.placement.xml",
                 "-symbols", "__random_symbol=+0x10"]
    if rng.random() < 0.5:
        arguments.append("-check-section-overflow")
    return arguments, "".join(assembly), overlaid


def case_random(vozo, work, pairs=200):
    rng = random.Random(20261207)
    tools = TOOLS["arm"]
    problems = []
    linked = 0
    for index in range(pairs):
        arguments, assembly, overlaid = random_pair(rng, index, work)
        script = f"{work}/pair{index}.ld"
        if run([vozo, "-lld-compatible", "-check-segment-overflow", *arguments, script],
               must_succeed=False).returncode != 0:
            continue
        with open(f"{work}/pair{index}.s", "w") as out:
            out.write(assembly)
        obj = f"{work}/pair{index}.o"
        run([*tools["as"], f"{work}/pair{index}.s", "-o", obj])
        # Only the placed sections: the assembler's empty .text, .data and
        # .bss would be unplaced sections, which lld keeps and fails on.
        run(["arm-none-eabi-objcopy", "-R", ".text", "-R", ".data", "-R", ".bss", obj])
        gnu_elf, lld_elf = f"{work}/pair{index}.gnu.elf", f"{work}/pair{index}.lld.elf"
        if run([*tools["ld"], "-e", "0", "-T", script, obj, "-o", gnu_elf],
               must_succeed=False).returncode != 0:
            continue
        linked += 1
        # Sections that run in one run section overlap there, which lld
        # takes only when told to.
        overlap = ["--no-check-sections"] if overlaid else []
        result = run([*tools["lld"], *overlap, "-e", "0", "-T", script, obj, "-o", lld_elf],
                     must_succeed=False)
        if result.returncode != 0 or result.stderr:
            problems.append(f"pair {index}: GNU ld links, lld: {result.stderr.strip()}")
            continue
        problems += [f"pair {index}: {problem}" for problem in compare(tools, script, gnu_elf, lld_elf)]
    print(f"{linked} of {pairs} random pairs link with GNU ld")
    if linked < pairs // 2:
        problems.append(f"only {linked} of {pairs} random pairs link with GNU ld: the inputs "
                        "test too little")
    return problems


def case_cmake(vozo, work, vozo_build):
    example = os.path.join(ROOT, "examples", "firmware")
    tools = f"{work}/lld-driver"
    os.makedirs(tools)
    os.symlink(shutil.which(LLD), f"{tools}/ld.lld")
    flags = f"-nostartfiles --specs=nano.specs --specs=nosys.specs -B{tools} -fuse-ld=lld"
    run(["cmake", "-S", example, "-B", f"{work}/build", "-G", "Ninja",
         f"-DCMAKE_TOOLCHAIN_FILE={example}/arm-none-eabi.cmake", f"-Dvozo_DIR={vozo_build}",
         f"-DCMAKE_EXE_LINKER_FLAGS={flags}"])
    run(["cmake", "--build", f"{work}/build"])
    problems = []
    with open(f"{work}/build/firmware.ld") as script:
        if "UNPLACED_SECTIONS (a)" not in script.read():
            problems.append("the script of a link with -fuse-ld=lld was written without "
                            "-lld-compatible")
    comment = run(["arm-none-eabi-readelf", "-p", ".comment", f"{work}/build/firmware.elf"]).stdout
    if "LLD" not in comment:
        problems.append(f"the firmware was not linked by lld: {comment}")
    # The exception tables' type references must be linked as the unwinder
    # reads them, unless the build says how itself.
    for build, user_flags, expected in (("build", "", True),
                                        ("build_target2", " -Wl,--target2=abs", False)):
        if build != "build":
            run(["cmake", "-S", example, "-B", f"{work}/{build}", "-G", "Ninja",
                 f"-DCMAKE_TOOLCHAIN_FILE={example}/arm-none-eabi.cmake",
                 f"-Dvozo_DIR={vozo_build}", f"-DCMAKE_EXE_LINKER_FLAGS={flags}{user_flags}"])
        with open(f"{work}/{build}/build.ninja") as ninja:
            added = "-Wl,--target2=rel" in ninja.read()
        if added != expected:
            problems.append(f"{build}: --target2=rel {'not ' if expected else ''}added to the "
                            f"link with -fuse-ld=lld{user_flags}")
    return problems


CASES = {"firmware": case_firmware, "c_newlib": case_c_newlib, "cpp_newlib": case_cpp_newlib,
         "riscv": case_riscv, "offset_table": case_offset_table, "unplaced": case_unplaced,
         "random": case_random,
         "cmake": case_cmake}


def main():
    if len(sys.argv) not in (4, 5) or sys.argv[3] not in CASES or \
            (sys.argv[3] == "cmake") != (len(sys.argv) == 5):
        sys.exit(f"usage: {sys.argv[0]} <vozo> <scratch directory> {'|'.join(CASES)} "
                 "[<vozo build directory>, for cmake only]")
    vozo, work, case = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), sys.argv[3]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    try:
        problems = CASES[case](vozo, work, *sys.argv[4:])
    except Failure as failure:
        problems = [str(failure)]
    for problem in problems:
        print(f"FAIL: {problem}")
    if problems:
        sys.exit(1)
    print("all checks passed")


if __name__ == "__main__":
    main()
