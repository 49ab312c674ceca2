#!/usr/bin/env python3
"""Times whole vozo runs against the baselines and checks the targets.

Usage: run_bench.py --vozo VOZO --pugixml PARSER --empty EMPTY --inputs DIR
                    [--repeat N] [--results FILE] [--no-targets] [--cases TEXT]

DIR is what generate_inputs.py wrote. The runs alternate: each of N rounds
runs, case after case, vozo, the pugixml parser on the same memory map,
vozo -strict (and, for the example board, the empty static program); the
table shows medians, and for ratios the median of the ratios within a round.
The per-MB figures come from a series of their own: the register maps of
every size, vozo alone, back to back, for four times as many rounds.
Peak memory comes from one extra run of each program under /usr/bin/time,
since a process spawned from this script inherits its high-water mark.
With --results, the table replaces the part of FILE between the two markers
below (the rest of the file is kept). The exit status is 1 when a target is
missed (unless --no-targets) or a run fails.
"""

import argparse
import datetime
import hashlib
import json
import os
import platform
import statistics
import subprocess
import sys
import tempfile
import time

BEGIN, END = "<!-- bench table begin -->", "<!-- bench table end -->"
MB = 1 << 20


class RunFailed(Exception):
    pass


def run_once(command):
    """Wall and processor time (user + system) of one whole process in
    seconds; its output goes nowhere."""
    with open(os.devnull, "wb") as null:
        started = time.perf_counter_ns()
        pid = os.posix_spawn(command[0], command, os.environ,
                             file_actions=[(os.POSIX_SPAWN_DUP2, null.fileno(), 1),
                                           (os.POSIX_SPAWN_DUP2, null.fileno(), 2)])
        _, status, usage = os.wait4(pid, 0)
        elapsed = (time.perf_counter_ns() - started) / 1e9
    if os.waitstatus_to_exitcode(status) != 0:
        raise RunFailed(" ".join(command))
    return elapsed, usage.ru_utime + usage.ru_stime


def peak_kilobytes(command):
    result = subprocess.run(["/usr/bin/time", "-f", "%M"] + command,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    if result.returncode != 0:
        raise RunFailed(" ".join(command) + "\n" + result.stderr)
    return int(result.stderr.strip().splitlines()[-1])


class Variant:
    """One program run on one case: its command, times and peak memory.
    The ratios use the processor time, which other processes on a shared
    machine disturb far less than the wall time."""

    def __init__(self, label, command):
        self.label, self.command, self.walls, self.cpus, self.peak = label, command, [], [], 0

    def add(self, wall_and_cpu):
        self.walls.append(wall_and_cpu[0])
        self.cpus.append(wall_and_cpu[1])

    @property
    def median(self):
        return statistics.median(self.cpus)

    @property
    def wall(self):
        return statistics.median(self.walls)


def ratio(numerator, denominator):
    """The median of the round-by-round ratios: the two runs of a round
    follow each other, so a change in load between rounds cancels out."""
    return statistics.median(a / b for a, b in zip(numerator.cpus, denominator.cpus))


def variants_of(case, options, output):
    vozo = [options.vozo] + case["args"] + [output]
    found = [Variant("vozo", vozo), Variant("vozo -strict", vozo[:1] + ["-strict"] + vozo[1:])]
    if case.get("parse"):
        found.insert(1, Variant("pugixml", [options.pugixml, case["args"][1]]))
    if case["name"] == "board":
        found.append(Variant("empty static", [options.empty]))
    return found


def measure(cases, options, scratch):
    """Runs every program of every case once per round, so that a change in
    the machine's load during the benchmark touches all figures alike."""
    results = {}
    for index, case in enumerate(cases):
        output = os.path.join(scratch, f"{index}.ld")
        results[case["name"]] = {variant.label: variant for variant in variants_of(case, options, output)}
        for variant in results[case["name"]].values():
            run_once(variant.command)  # warms the page cache, writes the script
        with open(output, "rb") as script:
            case["digest"] = hashlib.sha256(script.read()).hexdigest()[:16]
    for round_number in range(options.repeat):
        for case in cases:
            # Every other round runs the programs in the opposite order, so
            # that whatever the run before leaves behind (caches, page cache,
            # the CPU's clock) falls on each program alike.
            variants = list(results[case["name"]].values())
            if round_number % 2:
                variants.reverse()
            for variant in variants:
                variant.add(run_once(variant.command))
        print(f"  round {round_number + 1} of {options.repeat}", flush=True)
    for case in cases:
        for variant in results[case["name"]].values():
            variant.peak = peak_kilobytes(variant.command)
    return results


SERIES = [f"map {m} MB" for m in (0, 1, 2, 4, 8)]


def measure_series(cases, options, scratch):
    """The per-MB figures are differences of two vozo runs, where the noise
    does not cancel as it does in a ratio, and a baseline run between them
    (the pugixml process takes three times the memory) disturbs one side
    only. So the map sizes also run back to back on their own, four times as
    many rounds as the table (they are short), in alternating order: the
    processor times of vozo alone, by case name."""
    by_name = {case["name"]: case for case in cases}
    series = {name: Variant("vozo", [options.vozo] + by_name[name]["args"] +
                            [os.path.join(scratch, "series.ld")]) for name in SERIES}
    for round_number in range(4 * options.repeat):
        names = SERIES if round_number % 2 == 0 else SERIES[::-1]
        for name in names:
            series[name].add(run_once(series[name].command))
    return series


def machine():
    model = "unknown processor"
    with open("/proc/cpuinfo") as info:
        for line in info:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo") as info:
        memory = int(info.readline().split()[1]) // (1 << 20)
    compiler = subprocess.run(["c++", "--version"], capture_output=True, text=True).stdout.splitlines()
    return (f"{model}, {os.cpu_count()} cores, {memory} GiB, Linux {platform.release()}, "
            f"{compiler[0] if compiler else 'c++'}; load average at start {os.getloadavg()[0]:.2f}")


def milliseconds(seconds):
    return f"{seconds * 1000:.2f}"


def table(cases, results):
    lines = ["| case | input | vozo ms | wall ms | peak MB | -strict ms | strict/default | baseline ms | vozo/baseline | output |",
             "|---|---:|---:|---:|---:|---:|---:|---:|---:|---|"]
    for case in cases:
        runs = results[case["name"]]
        vozo, strict = runs["vozo"], runs["vozo -strict"]
        baseline = runs.get("pugixml") or runs.get("empty static")
        base_cells = (f"{milliseconds(baseline.median)} ({baseline.label}) | {ratio(vozo, baseline):.2f}x"
                      if baseline else "| ")
        lines.append(f"| {case['name']} | {case['bytes'] / MB:.2f} MB | {milliseconds(vozo.median)} | "
                     f"{milliseconds(vozo.wall)} | "
                     f"{vozo.peak / 1024:.1f} | {milliseconds(strict.median)} | "
                     f"{ratio(strict, vozo):.2f}x | {base_cells} | {case['digest']} |")
    return lines


def targets(cases, results, series):
    """(description, measured, met) for every target of the benchmark."""
    def run(name, label="vozo"):
        return results[name][label]

    def times(value):
        return f"{value:.2f}x"

    checks = []
    measured = ratio(run("map 8 MB"), run("map 8 MB", "pugixml"))
    checks.append(("8 MB map: vozo at most 0.5x the pugixml process", times(measured), measured <= 0.5))
    measured = ratio(run("map 8 MB", "vozo -strict"), run("map 8 MB"))
    checks.append(("8 MB map: -strict at most 1.2x the default run", times(measured), measured <= 1.2))
    worst = max((run(c["name"]).peak * 1024 / (4 * c["map_bytes"] + 8 * MB), c["name"])
                for c in cases if c.get("parse"))
    checks.append(("peak memory at most 4x the map plus 8 MB (worst map)",
                   f"{worst[0]:.2f} of the limit ({worst[1]})", worst[0] <= 1))
    measured = ratio(run("board"), run("board", "empty static"))
    checks.append(("example board at most 1.3x the empty static program", times(measured), measured <= 1.3))
    map_bytes = {case["name"]: case["map_bytes"] for case in cases}

    def per_megabyte(name):
        """Processor time per MB of registers: round by round of the series,
        the run of the map without registers subtracted from this map's run
        of the same round, divided by the bytes the registers add; the median
        of the rounds, as for the ratios."""
        added = (map_bytes[name] - map_bytes["map 0 MB"]) / MB
        return statistics.median((grown - fixed) / added for grown, fixed
                                 in zip(series[name].cpus, series["map 0 MB"].cpus))

    per_mb = [per_megabyte(f"map {m} MB") for m in (1, 2, 4, 8)]
    spread = max(per_mb) / min(per_mb) - 1
    checks.append(("per-MB time from 1 to 8 MB within 15% (the same map without registers subtracted)",
                   " / ".join(milliseconds(t) for t in per_mb) + f" ms ({spread:.0%})", spread <= 0.15))
    measured = ratio(run("sections 100000"), run("sections 10000"))
    checks.append(("100,000 sections at most 12x the time of 10,000", times(measured), measured <= 12))
    measured = ratio(run("if 10000 deep"), run("same without if"))
    checks.append(("10,000-deep if at most 2x the same elements without it", times(measured), measured <= 2))
    return checks


def write_results(path, text):
    with open(path) as file:
        old = file.read()
    head, _, rest = old.partition(BEGIN)
    _, _, tail = rest.partition(END)
    with open(path, "w") as file:
        file.write(head + BEGIN + "\n" + text + END + tail)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--vozo", required=True)
    parser.add_argument("--pugixml", required=True)
    parser.add_argument("--empty", required=True)
    parser.add_argument("--inputs", required=True)
    parser.add_argument("--repeat", type=int, default=21)
    parser.add_argument("--results")
    parser.add_argument("--no-targets", action="store_true")
    parser.add_argument("--cases", help="only the cases whose name contains this text (no targets)")
    options = parser.parse_args()
    for attribute in ("vozo", "pugixml", "empty", "results"):
        if getattr(options, attribute):
            setattr(options, attribute, os.path.abspath(getattr(options, attribute)))

    # The manifest's paths are relative to the input folder.
    os.chdir(options.inputs)
    with open("manifest.json") as file:
        cases = json.load(file)["cases"]
    for case in cases:
        case["parse"] = case["name"].startswith(("map ", "device "))
    cases.insert(0, {"name": "one segment", "bytes": 0, "map_bytes": 0,
                     "args": ["-memory-map-segments", "FLASH RX 0x08000000 0x80000"]})
    if options.cases:
        cases = [case for case in cases if options.cases in case["name"]]
        options.no_targets = True
    started = machine()
    with tempfile.TemporaryDirectory() as scratch:
        try:
            results = measure(cases, options, scratch)
            series = None if options.no_targets else measure_series(cases, options, scratch)
        except RunFailed as failure:
            sys.exit(f"run_bench: a run failed: {failure}")

    lines = [f"Run of {datetime.date.today()} on {started}; {options.repeat} rounds, each running "
             "every program of every case once. Times are medians of the processor time (user + "
             "system) of the whole process, except the wall column; ratios are medians of the "
             "ratios within a round; the output column is a digest of the script. The per-MB "
             f"figures come from {4 * options.repeat} further rounds of the register maps alone, "
             "run back to back.", ""]
    lines += table(cases, results)
    met = True
    if not options.no_targets:
        lines += ["", "| target | measured | met |", "|---|---|---|"]
        for description, measured, ok in targets(cases, results, series):
            lines.append(f"| {description} | {measured} | {'yes' if ok else 'NO'} |")
            met = met and ok
    text = "\n".join(lines) + "\n"
    print(text)
    if options.results:
        write_results(options.results, text)
    return 0 if met else 1


if __name__ == "__main__":
    sys.exit(main())
