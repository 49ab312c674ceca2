"""Shared steps of the vozo-size link tests: generate a script for the example
board with vozo, link the test firmware with it, run vozo-size and read what
the binutils say about the result."""
import json
import pathlib
import subprocess
import sys

HERE = pathlib.Path(__file__).resolve().parent
BOARD = HERE.parent.parent / "examples" / "board"
CFLAGS = ["-mcpu=cortex-m4", "-mthumb", "-nostartfiles", "-O1", "-Wl,-e,reset_handler"]


class Failures:
    """Collects failed checks; exit() reports them and ends the test."""

    def __init__(self):
        self.count = 0

    def check(self, condition, message):
        if not condition:
            self.count += 1
            print("FAIL:", message)

    def exit(self):
        if self.count:
            print(f"{self.count} check(s) failed")
            sys.exit(1)
        print("all checks passed")


def run(command, **options):
    return subprocess.run([str(part) for part in command], capture_output=True, text=True,
                          **options)


def link_firmware(vozo, work, name, vozo_options=(), cflags=(), placement=None):
    """Links firmware.c (with the extra compiler options given) against a
    script vozo writes for the example board (with the extra vozo options
    given; the board's placement file, or the placement text given) and
    returns the ELF path."""
    work.mkdir(parents=True, exist_ok=True)
    script = work / f"{name}.ld"
    elf = work / f"{name}.elf"
    placement_file = BOARD / "placement.xml"
    if placement is not None:
        placement_file = work / f"{name}.xml"
        placement_file.write_text(placement)
    generated = run([vozo, "-memory-map-file", BOARD / "memory_map.xml",
                     "-section-placement-file", placement_file, *vozo_options, script])
    if generated.returncode != 0:
        sys.exit(f"FAIL: vozo could not write {script}:\n{generated.stderr}")
    linked = run(["arm-none-eabi-gcc", *CFLAGS, *cflags, "-T", script, HERE / "firmware.c", "-o", elf])
    if linked.returncode != 0:
        sys.exit(f"FAIL: the firmware does not link:\n{linked.stderr}")
    return elf


def board_placement(*replacements):
    """The example board's placement text, with each (old, new) text replaced."""
    text = (BOARD / "placement.xml").read_text()
    for old, new in replacements:
        if old not in text:
            sys.exit(f"FAIL: the board's placement file has no {old!r}")
        text = text.replace(old, new)
    return text


def nm_symbols(elf):
    """Symbol name -> value, for every symbol with a value."""
    symbols = {}
    for line in run(["arm-none-eabi-nm", elf]).stdout.splitlines():
        parts = line.split()
        if len(parts) == 3:
            symbols[parts[2]] = int(parts[0], 16)
    return symbols


def allocated_sections(elf):
    """Name -> (run address, load address, size) of the sections that occupy
    memory, from the section headers."""
    sections = {}
    lines = run(["arm-none-eabi-objdump", "-h", elf]).stdout.splitlines()
    for header, flags in zip(lines, lines[1:]):
        parts = header.split()
        if len(parts) == 7 and parts[0].isdigit() and "ALLOC" in flags:
            sections[parts[1]] = (int(parts[3], 16), int(parts[4], 16), int(parts[2], 16))
    return sections


def size_json(vozo_size, elf, *options):
    result = run([vozo_size, "-json", *options, elf])
    return result, json.loads(result.stdout) if result.stdout else None
