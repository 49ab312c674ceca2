"""vozo-size's checks and exit statuses: 0 when every segment fits its size
and budget, 1 with a message naming the segment when one overflows or
exceeds its budget, 2 naming the problem when the file cannot be checked.

Usage: size_checks.py <vozo> <vozo-size> <scratch directory>"""
import pathlib
import re
import shutil
import sys

from size_support import CFLAGS, HERE, Failures, board_placement, link_firmware, run, size_json


def main(vozo, vozo_size, work):
    work = pathlib.Path(work)
    shutil.rmtree(work, ignore_errors=True)
    failures = Failures()
    check = failures.check

    firmware = link_firmware(vozo, work, "firmware")
    # 80 KiB of DMA buffers in the 64 KiB of RAM2 link: the script has no overflow checks.
    overflowing = link_firmware(vozo, work, "overflowing", cflags=["-DDMA_BUFFER_SIZE=81920"])
    # .data runs in RAM without load="Yes": linked NOLOAD, it has no bytes to copy from flash.
    unloaded = link_firmware(vozo, work, "unloaded", placement=board_placement(
        ('name=".data" load="Yes"', 'name=".data"')))
    not_elf = work / "firmware.c"
    shutil.copy(HERE / "firmware.c", not_elf)
    plain = work / "plain.o"
    compiled = run(["arm-none-eabi-gcc", *CFLAGS, "-c", not_elf, "-o", plain])
    check(compiled.returncode == 0, f"cannot compile {not_elf}: {compiled.stderr}")
    stripped = work / "stripped.elf"
    run(["arm-none-eabi-strip", "-o", stripped, firmware])

    # RAM holds 23.56% of its 128 KiB, RAM2 25%.
    cases = [
        ("fits", [firmware], 0, None),
        ("budgets met", [firmware, "-budget", "RAM=23.6%", "-budget", "RAM2=25"], 0, None),
        ("budget exceeded", [firmware, "-budget", "RAM=023.50"], 1,
         r"error: segment RAM uses 23\.5\d% \(30\d\d\d of 131072 bytes\), "
         r"over its budget of 23\.5%$"),
        ("overflow", [overflowing], 1,
         r"error: segment RAM2 overflows: its sections use 80\.0 KiB \(81920 bytes\), "
         r"its size is 64\.0 KiB \(65536 bytes\)"),
        ("overflow past the end", [overflowing], 1,
         r"error: section \.dma_buffers \[0x20020000, 0x20034000\) reaches outside segment RAM2 "
         r"\[0x20020000, 0x20030000\)"),
        ("copied section without a load image", [unloaded], 1,
         r"^\S*unloaded.elf: error: section \.data has no load image: its 132 bytes are copied at "
         r"start-up from 0x0800816\d to 0x2000001\d, but the file holds none of them"),
        ("budget of an unknown segment", [firmware, "-budget", "SRAM=50"], 2,
         "-budget names segment SRAM, which the file does not have; did you mean RAM[?]$"),
        ("malformed budget", [firmware, "-budget", "RAM=lots"], 2,
         "budget for RAM: 'lots' is not a percentage"),
        ("not an ELF file", [not_elf], 2, f"^{re.escape(str(not_elf))}: error: not an ELF file$"),
        ("no vozo symbols", [plain], 2, f"^{re.escape(str(plain))}: error: no vozo segment symbols"),
        ("stripped", [stripped], 2, r"error: no symbol table \(the file is stripped\)"),
        ("missing file", [work / "absent.elf"], 2, "error: cannot open the file"),
        ("two files", [firmware, firmware], 2, "more than one ELF file given"),
    ]
    for name, arguments, status, message in cases:
        result = run([vozo_size, *arguments])
        check(result.returncode == status,
              f"{name}: exit status {result.returncode}, expected {status}: {result.stderr}")
        if message:
            check(re.search(message, result.stderr, re.MULTILINE),
                  f"{name}: stderr is {result.stderr!r}")
        else:
            check(result.stderr == "", f"{name}: stderr is {result.stderr!r}")
        check(status == 2 or result.stdout.startswith("Memory usage of"),
              f"{name}: no table printed")

    # The JSON tells the same verdicts.
    result, report = size_json(vozo_size, overflowing, "-budget", "FLASH=50")
    check(result.returncode == 1, "JSON run of the overflowing firmware passes")
    ram2 = next(s for s in report["segments"] if s["name"] == "RAM2")
    flash = next(s for s in report["segments"] if s["name"] == "FLASH")
    check(ram2["overflow"] and ram2["free"] == -16384, f"RAM2 in JSON: {ram2}")
    check(flash["budget"] == 50 and not flash["over_budget"], f"FLASH in JSON: {flash}")
    check(len(report["errors"]) == 2, f"errors in JSON: {report['errors']}")
    failures.exit()


if __name__ == "__main__":
    main(*sys.argv[1:])
