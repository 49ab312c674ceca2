"""vozo-size on what no linker writes and where a build can run it: 64-bit
sizes, names made of any bytes, files that are cut short, too large or not
regular files, a picture path that is the ELF file itself, and reports that
cannot be written. With "scale", a file of 50,000 segments and 50,000
sections, which takes seconds only when the work grows linearly.

Usage: unusual_inputs.py <vozo-size> <scratch directory> [scale]"""
import json
import os
import pathlib
import shutil
import stat
import subprocess
import sys
import xml.dom.minidom

from elf_image import (claiming_sections, elf_image, section_symbols, segment_symbols,
                       set_section_size)

FAILURES = []


def check(condition, message):
    if not condition:
        FAILURES.append(message)
        print("FAIL:", message)


def merged(*symbol_sets):
    symbols = {}
    for part in symbol_sets:
        symbols.update(part)
    return symbols


def run(vozo_size, *arguments, stdout=subprocess.PIPE, **options):
    return subprocess.run([vozo_size, *arguments], stdout=stdout, stderr=subprocess.PIPE,
                          timeout=60, **options)


HALF = 2**63
FILES = {
    "fits.elf": elf_image(merged(segment_symbols(b"RAM", 0x20000000, 0x10000, 0x20000100),
                                 section_symbols(b"data", 0x20000000, 0x100))),
    "half.elf": elf_image(merged(segment_symbols(b"LOW", 0, HALF, 16), section_symbols(b"a", 0, 16),
                                 segment_symbols(b"HIGH", HALF, HALF - 1, HALF + 32),
                                 section_symbols(b"b", HALF, 32))),
    "huge.elf": elf_image(merged(segment_symbols(b"TINY", 0, 1, 2**64 - 1),
                                 section_symbols(b"huge", 0, 2**64 - 1))),
    "names.elf": elf_image(merged(segment_symbols(b"R\x1b[31mAM\xff", 0x1000, 0x1000, 0x1010),
                                  section_symbols(b"da\x01ta\xe2\x82", 0x1000, 16)),
                           [b".da\x01ta\xe2\x82"]),
}
# FLASH above RAM: each segment lists its images by address, the load image
# of .data after .text. The load image of .fast has no bytes in the file.
FILES["copies.elf"] = elf_image(
    merged(segment_symbols(b"RAM", 0x20000000, 0x1000),
           segment_symbols(b"FLASH", 0x60000000, 0x1000),
           section_symbols(b"text", 0x60000000, 0x100),
           section_symbols(b"data", 0x20000000, 0x10, load=0x60000100),
           section_symbols(b"fast", 0x20000010, 8, load=0x60000110)),
    [b".text", b".data"], [b".fast"])
# The picture cases would overwrite it: the other cases keep their own file.
FILES["picture_target.elf"] = FILES["fits.elf"]
FILES["cut.elf"] = FILES["fits.elf"][:len(FILES["fits.elf"]) // 2]
FILES["symbols_cut.elf"] = set_section_size(FILES["fits.elf"], 3, 2**20)

# name, arguments, status, standard output, standard error (None: not checked).
CASES = [
    ("sizes of 2^63 and more", ["-sections", "half.elf"], 0, """\
Memory usage of half.elf
Segment    Start             Size        Used        Free     Use%
LOW        0x00000000     8.0 EiB        16 B     8.0 EiB     0.0%  [#.............................]
  .a       0x00000000        16 B  0x00000010
HIGH       0x8000000000000000     8.0 EiB        32 B     8.0 EiB     0.0%  [#.............................]
  .b       0x8000000000000000        32 B  0x00000020
""", ""),
    ("free bytes below -2^63", ["huge.elf"], 1, """\
Memory usage of huge.elf
Segment  Start             Size        Used        Free     Use%
TINY     0x00000000         1 B    16.0 EiB   -16.0 EiB    >999%  [!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!]
""", """\
huge.elf: error: segment TINY overflows: its sections use 16.0 EiB (18446744073709551615 bytes), \
its size is 1 B (1 bytes)
huge.elf: error: section .huge [0x00000000, 0xffffffffffffffff) reaches outside segment TINY \
[0x00000000, 0x00000001)
"""),
    ("control characters and malformed UTF-8 in names", ["-sections", "names.elf"], 0, """\
Memory usage of names.elf
Segment                   Start             Size        Used        Free     Use%
R\\x1b[31mAM\\xff           0x00001000     4.0 KiB        16 B     4.0 KiB     0.4%  [#..............]
  .da\\x01ta\\xe2\\x82       0x00001000        16 B  0x00000010
""", ""),
    ("images by address, a load image missing", ["-sections", "copies.elf"], 1, """\
Memory usage of copies.elf
Segment       Start             Size        Used        Free     Use%
RAM           0x20000000     4.0 KiB        24 B     4.0 KiB     0.6%  [#..........................]
  .data       0x20000000        16 B  0x00000010  load 0x60000100 (FLASH)
  .fast       0x20000010         8 B  0x00000008  no load image
FLASH         0x60000000     4.0 KiB       272 B     3.7 KiB     6.6%  [##.........................]
  .text       0x60000000       256 B  0x00000100
  .data load  0x60000100        16 B  0x00000010  runs at 0x20000000 (RAM)
""", "copies.elf: error: section .fast has no load image: its 8 bytes are copied at start-up from "
     "0x60000110 to 0x20000010, but the file holds none of them (it was linked NOLOAD; a section "
     'with runin needs load="Yes")\n'),
    ("a picture path naming the ELF file", ["-svg", "picture_target.elf", "picture_target.elf"], 2,
     "", "vozo-size: error: cannot write the picture to picture_target.elf: it is the ELF file "
     "being read\n"),
    ("a picture path linked to the ELF file", ["-svg", "linked.elf", "picture_target.elf"], 2, "",
     "vozo-size: error: cannot write the picture to linked.elf: it is the ELF file being read\n"),
    ("a truncated file", ["cut.elf"], 2, "",
     "cut.elf: error: truncated or malformed ELF file: the section headers reach beyond the end "
     "of the file (%d bytes)\n" % len(FILES["cut.elf"])),
    ("a symbol table reaching beyond the file", ["symbols_cut.elf"], 2, "",
     "symbols_cut.elf: error: truncated or malformed ELF file: the symbol table's entries reach "
     "beyond the end of the file (%d bytes)\n" % len(FILES["symbols_cut.elf"])),
    ("a FIFO without a writer", ["fifo.elf"], 2, "", "fifo.elf: error: not a regular file\n"),
    ("a directory", ["."], 2, "", ".: error: not a regular file\n"),
    ("more sections than the limit", ["sections.elf"], 2, "",
     "sections.elf: error: the file has 10000000 sections, more than 100000, the limit for an ELF "
     "file\n"),
    ("more symbols than the limit", ["symbols.elf"], 2, "",
     "symbols.elf: error: the file has more than 2000000 symbols, the limit for an ELF file\n"),
    ("a file larger than the limit", ["large.elf"], 2, "",
     "large.elf: error: the file is larger than 1 GiB, the limit for an ELF file\n"),
]


def make_files(work):
    for name, image in FILES.items():
        (work / name).write_bytes(image)
    os.link(work / "picture_target.elf", work / "linked.elf")
    os.mkfifo(work / "fifo.elf")
    # Ten million section headers (sparse): libelf would set them all up, in
    # gigabytes, before it could be asked for their count.
    with open(work / "sections.elf", "wb") as file:
        file.write(claiming_sections(FILES["fits.elf"], 10_000_000))
        file.truncate(len(FILES["fits.elf"]) + 64 * 10_000_000)
    # A symbol table that claims one entry too many; the file is long enough
    # (sparse) to hold them.
    image = set_section_size(FILES["fits.elf"], 3, 24 * 2_000_001)
    with open(work / "symbols.elf", "wb") as file:
        file.write(image)
        file.truncate(len(image) + 24 * 2_000_001)
    with open(work / "large.elf", "wb") as file:
        file.write(FILES["fits.elf"])
        file.truncate(2**30 + 1)


def check_cases(vozo_size, work):
    for name, arguments, status, stdout, stderr in CASES:
        try:
            result = run(vozo_size, *arguments, cwd=work)
        except subprocess.TimeoutExpired:
            check(False, f"{name}: no answer within 60 s")
            continue
        check(result.returncode == status, f"{name}: exit status {result.returncode}, expected "
              f"{status}; stderr {result.stderr!r}")
        check(result.stdout.decode(errors="replace") == stdout,
              f"{name}: stdout\n{result.stdout.decode(errors='replace')}")
        check(result.stderr.decode(errors="replace") == stderr, f"{name}: stderr {result.stderr!r}")
    check(FILES["fits.elf"] == (work / "picture_target.elf").read_bytes(),
          "the ELF file was overwritten")

    result = run(vozo_size, "-json", "huge.elf", cwd=work)
    segment = json.loads(result.stdout)["segments"][0]
    check((segment["used"], segment["free"]) == (2**64 - 1, -(2**64 - 2)), f"JSON: {segment}")


def check_names_in_every_output(vozo_size, work):
    """Whatever bytes the names hold, the table and messages reach the
    terminal without control characters, the JSON is UTF-8 and the picture
    well-formed XML; the ELF file's own path is shown the same way."""
    names = [bytes(range(1, 256)), b"\xc3", b"\xed\xa0\x80", b"\xef\xbf\xbe", b"\xf4\x90\x80\x80",
             b"\xc2\x9b31m", "Überlauf".encode(), b'<&">']
    # Each section overflows its segment, so that every name is in a message.
    symbols = merged(*[segment_symbols(b"S" + name, 0x10000 * (i + 1), 0x100)
                       for i, name in enumerate(names)],
                     *[section_symbols(b"s" + name, 0x10000 * (i + 1), 0x200)
                       for i, name in enumerate(names)])
    elf = work / os.fsdecode(b"fw\x1b[2J\xff.elf")
    elf.write_bytes(elf_image(symbols, [b".s" + name for name in names]))

    def is_terminal_text(output):
        text = output.decode("utf-8", errors="strict")
        return not any(ord(c) < 0x20 and c != "\n" or 0x7F <= ord(c) <= 0x9F for c in text)

    table = run(vozo_size, "-sections", elf)
    check(table.returncode == 1, f"names: exit status {table.returncode}")
    for output, what in [(table.stdout, "table"), (table.stderr, "messages")]:
        try:
            check(is_terminal_text(output), f"names: control characters in the {what}")
        except UnicodeDecodeError as error:
            check(False, f"names: {what} not UTF-8: {error}")
    check("\\x1b[2J\\xff.elf" in table.stdout.decode(errors="replace"),
          "names: the path is not shown escaped")

    report = run(vozo_size, "-json", "-svg", work / "names.svg", elf)
    try:
        segments = json.loads(report.stdout.decode("utf-8", errors="strict"))["segments"]
        expected = "S" + "".join(map(chr, range(1, 128))) + "\ufffd" * 128
        check(expected in [s["name"] for s in segments], "names: JSON does not hold the bytes")
    except (UnicodeDecodeError, json.JSONDecodeError) as error:
        check(False, f"names: the JSON is not valid: {error}")
    try:
        xml.dom.minidom.parse(str(work / "names.svg"))
    except Exception as error:  # expat's errors have no common base class
        check(False, f"names: the picture is not well-formed: {error}")


def check_picture_key(vozo_size, work):
    """The key under a segment's bar lists every block, on as many lines as
    it takes."""
    count = 40
    elf = work / "key.elf"
    elf.write_bytes(elf_image(merged(segment_symbols(b"RAM", 0, 0x1000),
                                     *[section_symbols(b"s%d" % i, 16 * i, 16)
                                       for i in range(count)])))
    result = run(vozo_size, "-svg", work / "key.svg", elf)
    picture = (work / "key.svg").read_text()
    missing = [i for i in range(count) if f">.s{i} 16 B</text>" not in picture]
    check(result.returncode == 0 and not missing, f"key: status {result.returncode}, "
          f"blocks missing from the key: {missing}")
    xml.dom.minidom.parse(str(work / "key.svg"))


def check_unwritable_output(vozo_size, work):
    """A report that cannot be written is an error (status 2), never an
    empty file and status 0."""
    full = pathlib.Path("/dev/full")
    if full.exists() and stat.S_ISCHR(full.stat().st_mode):
        for arguments in [["fits.elf"], ["-json", "fits.elf"], ["-help"]]:
            with open(full, "w") as sink:
                result = run(vozo_size, *arguments, cwd=work, stdout=sink)
            check(result.returncode == 2 and b"cannot write the report to standard output: No "
                  b"space left on device" in result.stderr,
                  f"{arguments} > /dev/full: status {result.returncode}, {result.stderr!r}")
    else:
        print("SKIP: /dev/full is not a character device here; the full-disk cases are not run")
    closed = subprocess.run([vozo_size, "fits.elf"], cwd=work, stderr=subprocess.PIPE,
                            preexec_fn=lambda: os.close(1), timeout=60)
    check(closed.returncode == 2 and b"Bad file descriptor" in closed.stderr,
          f"closed standard output: status {closed.returncode}, {closed.stderr!r}")


def check_scale(vozo_size, work):
    count = 50_000
    symbols = merged(*[segment_symbols(b"S%d" % i, 0x1000 * i, 0x1000, 0x1000 * i + 0x100)
                       for i in range(count)],
                     *[section_symbols(b"s%d" % i, 0x1000 * i, 0x100) for i in range(count)])
    elf = work / "many.elf"
    elf.write_bytes(elf_image(symbols))
    for options in [["-sections", "-svg", work / "many.svg"], ["-json"]]:
        result = subprocess.run([vozo_size, *options, elf], capture_output=True)
        lines = result.stdout.count(b"\n")
        check(result.returncode == 0, f"{options}: status {result.returncode}")
        check(lines == 2 * count + (2 if "-sections" in options else 10), f"{options}: {lines} lines")


def main(vozo_size, work, part="inputs"):
    work = pathlib.Path(work)
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    if part == "scale":
        check_scale(vozo_size, work)
    else:
        make_files(work)
        check_cases(vozo_size, work)
        check_names_in_every_output(vozo_size, work)
        check_picture_key(vozo_size, work)
        check_unwritable_output(vozo_size, work)
    if FAILURES:
        sys.exit(f"{len(FAILURES)} check(s) failed")
    print("all checks passed")


if __name__ == "__main__":
    main(*sys.argv[1:])
