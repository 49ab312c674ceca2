"""vozo-size on the example firmware agrees with the binutils to the byte:
segments with the script's symbols as nm reads them, sections and their load
images with the section headers, and each segment's used bytes and used end
with the bytes the section headers cover in it. The table shows the same
segments and sections within 100 columns, and the JSON passes python3 -m
json.tool. The same for a firmware whose RAM2 ends with a run section, which
the script's __RAM2_segment_used_end__ counts as empty.

Usage: size_numbers.py <vozo> <vozo-size> <scratch directory>"""
import pathlib
import sys

from size_support import (Failures, allocated_sections, board_placement, link_firmware, nm_symbols,
                          run, size_json)


def covered_bytes(ranges):
    covered, reached = 0, 0
    for start, end in sorted(ranges):
        start = max(start, reached)
        if end > start:
            covered += end - start
            reached = end
    return covered


def check_firmware(vozo_size, elf, failures):
    check = failures.check
    symbols = nm_symbols(elf)
    headers = allocated_sections(elf)

    result, report = size_json(vozo_size, elf)
    check(result.returncode == 0, f"exit status {result.returncode}: {result.stderr}")
    segments = {s["name"]: s for s in report["segments"]}
    sections = {s["name"]: s for s in report["sections"]}
    check(set(segments) == {"FLASH", "RAM", "RAM2", "PERIPHERALS"}, f"segments {sorted(segments)}")

    for name, segment in segments.items():
        for key in ["start", "end", "size"]:
            expected = symbols.get(f"__{name}_segment_{key}__")
            check(segment[key] == expected, f"{name} {key} {segment[key]}, nm says {expected}")
        # Bytes of run images and of load images held by the segment.
        ranges = []
        for run_address, load_address, size in headers.values():
            for address in {run_address, load_address}:
                if segment["start"] <= address < segment["end"]:
                    ranges.append((address, address + size))
        used = covered_bytes(ranges)
        check(segment["used"] == used, f"{name} used {segment['used']}, the headers cover {used}")
        used_end = max((end for _, end in ranges), default=None)
        check(segment["used_end"] == used_end,
              f"{name} used_end {segment['used_end']}, the headers end at {used_end}")
        check(segment["free"] == segment["size"] - used, f"{name} free {segment['free']}")
        check(segment["has_sections"] == (name != "PERIPHERALS"), f"{name} has_sections")
        check(not segment["overflow"], f"{name} overflows")

    # Every section that occupies memory is reported where the headers put it.
    for name, (run_address, load_address, size) in headers.items():
        section = sections.get(name)
        check(section is not None, f"section {name} missing")
        if section:
            check((section["start"], section["load_start"], section["size"]) ==
                  (run_address, load_address, size),
                  f"{name}: {section['start']:#x} {section['load_start']:#x} {section['size']:#x}"
                  f", headers say {run_address:#x} {load_address:#x} {size:#x}")
    kinds = {name: section["kind"] for name, section in sections.items()}
    check(kinds[".data"] == kinds[".fast"] == "copied", f"kinds {kinds}")
    check(kinds[".data_run"] == kinds[".fast_run"] == "run_area", f"kinds {kinds}")
    check(kinds[".text"] == kinds[".stack"] == "placed", f"kinds {kinds}")
    expected_segments = {".vectors": "FLASH", ".data": "RAM", ".stack": "RAM",
                         ".dma_buffers": "RAM2"}
    for name, segment in expected_segments.items():
        check(sections[name]["segment"] == segment, f"{name} in {sections[name]['segment']}")
    check(sections[".data"]["load_segment"] == "FLASH", ".data loaded from FLASH")
    for name, section in sections.items():
        # Sections the linker dropped are empty; run areas hold a copied section.
        if name not in headers and section["kind"] != "run_area":
            check(section["size"] == 0, f"{name} has no header but size {section['size']}")
    for area, copied in [(".data_run", ".data"), (".fast_run", ".fast")]:
        check((sections[area]["start"], sections[area]["size"]) ==
              (headers[copied][0], headers[copied][2]), f"{area} holds {copied}")

    pretty = run([sys.executable, "-m", "json.tool"], input=result.stdout)
    check(pretty.returncode == 0, f"json.tool rejects the report: {pretty.stderr}")

    table = run([vozo_size, "-sections", elf])
    check(table.returncode == 0, f"table exit status {table.returncode}")
    lines = table.stdout.splitlines()
    check(all(len(line) <= 100 for line in lines), "a table line is wider than 100 columns")
    first_words = [line.split()[0] for line in lines[2:]]
    for name in segments:
        check(name in first_words, f"segment {name} not in the table")
    for name in headers:
        check(name in first_words, f"section {name} not in the table")
    check(".data_run" not in first_words, "the run area of .data is listed besides .data")
    check(any(line.split()[:2] == [".data", "load"] for line in lines),
          "no row for the load image of .data")
    check("unused" in next(line for line in lines if line.startswith("PERIPHERALS")),
          "PERIPHERALS not shown as unused")


def main(vozo, vozo_size, work):
    failures = Failures()
    work = pathlib.Path(work)
    check_firmware(vozo_size, link_firmware(vozo, work, "firmware",
                                            ["-check-segment-overflow", "-check-section-overflow"]),
                   failures)
    run_area = '    <ProgramSection name=".fast_run" alignment="4"/>\n'
    dma_buffers = '    <ProgramSection name=".dma_buffers" alignment="32"/>\n'
    placement = board_placement((run_area, ""), (dma_buffers, dma_buffers + run_area))
    check_firmware(vozo_size, link_firmware(vozo, work, "run_section_last", placement=placement),
                   failures)
    failures.exit()


if __name__ == "__main__":
    main(*sys.argv[1:])
