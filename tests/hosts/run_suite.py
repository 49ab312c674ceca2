#!/usr/bin/env python3
"""Runs the golden and command-line cases against a vozo built for another host.

    run_suite.py [--emulator CMD] [--skip FILE] [--jobs N] <vozo>

<vozo> is the program to test. When it cannot run here directly, either give
a wrapper script that execs it (run_case.sh runs whatever path it is given),
or name the emulator with --emulator and the runner writes that wrapper:

    run_suite.py --emulator "qemu-aarch64 -L /usr/aarch64-linux-gnu" \\
        --skip tests/hosts/arm64.skip build/arm64/src/vozo/vozo
    run_suite.py --emulator "env WINEDEBUG=-all wine64" build/windows/src/vozo/vozo.exe

The cases, named as CTest names them in the native suite:
  golden.<dir>            every directory of tests/golden/cases, through run_case.sh
  vozo.version            --version prints exactly "vozo <version of project()>"
  vozo.options_documented every option of --help is in docs/cli.md

The skip file holds one "<case name> <reason>" per line (blank lines and lines
starting with # are ignored); each skipped case is printed with its reason. A
name that is no case is an error, so a stale entry cannot hide.

Prints each failure with its output and closes with exactly one line
"N passed, N failed, N skipped". Exit status: 0 when nothing failed, 1 when a
case failed, 2 on a usage error.
"""

import argparse
import concurrent.futures
import os
import re
import shlex
import subprocess
import sys
import tempfile
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
GOLDEN = SOURCE / "tests" / "golden"
# run_case.sh limits each run of vozo to 60 seconds; this bounds a case's
# setup and check scripts too.
CASE_TIME_LIMIT = 300


class UsageError(Exception):
    pass


def project_version():
    text = (SOURCE / "CMakeLists.txt").read_text()
    match = re.search(r"project\(\s*vozo\s+VERSION\s+([0-9.]+)", text)
    if not match:
        raise UsageError("CMakeLists.txt: no project(vozo VERSION ...) found")
    return match.group(1)


def read_skip_list(path, known):
    skips = {}
    for number, line in enumerate(Path(path).read_text().splitlines(), 1):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        name, _, reason = line.partition(" ")
        if not reason.strip():
            raise UsageError(f"{path}:{number}: {name} has no reason for skipping it")
        if name not in known:
            raise UsageError(f"{path}:{number}: {name} is not a case of the suite")
        skips[name] = reason.strip()
    return skips


def run(command, **options):
    """(passed, output) of a command run to completion within the time limit."""
    try:
        done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              timeout=CASE_TIME_LIMIT, **options)
    except subprocess.TimeoutExpired:
        return False, f"did not finish within {CASE_TIME_LIMIT} seconds\n"
    output = done.stdout.decode(errors="replace")
    if done.returncode != 0:
        output += f"exit status {done.returncode}\n"
    return done.returncode == 0, output


def version_case(program, version):
    try:
        done = subprocess.run([program, "--version"], capture_output=True, timeout=CASE_TIME_LIMIT)
    except subprocess.TimeoutExpired:
        return False, f"did not finish within {CASE_TIME_LIMIT} seconds\n"
    wanted = f"vozo {version}\n".encode()
    if done.returncode == 0 and done.stdout == wanted and not done.stderr:
        return True, ""
    return False, (f"expected stdout {wanted!r}, status 0, no stderr; got stdout {done.stdout!r}, "
                   f"status {done.returncode}, stderr {done.stderr!r}\n")


def all_cases(program):
    """Case name -> function running it, returning (passed, output)."""
    cases = {}
    for case_dir in sorted(p for p in (GOLDEN / "cases").iterdir() if p.is_dir()):
        cases[f"golden.{case_dir.name}"] = (
            lambda d=case_dir: run(["bash", str(GOLDEN / "run_case.sh"), program, str(d)]))
    version = project_version()
    cases["vozo.version"] = lambda: version_case(program, version)
    cases["vozo.options_documented"] = lambda: run(
        ["bash", str(SOURCE / "tests" / "vozo" / "options_documented.sh"), program,
         str(SOURCE / "docs" / "cli.md")])
    return cases


def write_wrapper(folder, emulator, program):
    wrapper = Path(folder) / "vozo"
    command = " ".join(shlex.quote(word) for word in shlex.split(emulator) + [program])
    wrapper.write_text(f'#!/bin/sh\nexec {command} "$@"\n')
    wrapper.chmod(0o755)
    return str(wrapper)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program", help="the vozo program (or a wrapper script that runs it)")
    parser.add_argument("--emulator", help="command that runs the program, e.g. qemu-aarch64 -L ...")
    parser.add_argument("--skip", help='file of "<case name> <reason>" lines')
    parser.add_argument("--jobs", type=int, default=2, help="cases run at once (default 2)")
    arguments = parser.parse_args()

    program = os.path.abspath(arguments.program)
    if not os.path.isfile(program):
        raise UsageError(f"{arguments.program}: no such program")
    with tempfile.TemporaryDirectory(prefix="vozo-hosts.") as scratch:
        if arguments.emulator:
            program = write_wrapper(scratch, arguments.emulator, program)
        cases = all_cases(program)
        skips = read_skip_list(arguments.skip, cases) if arguments.skip else {}

        passed = failed = 0
        for name, reason in skips.items():
            print(f"skip {name}: {reason}", flush=True)
        to_run = {name: case for name, case in cases.items() if name not in skips}
        with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, arguments.jobs)) as pool:
            futures = {pool.submit(case): name for name, case in to_run.items()}
            for future in concurrent.futures.as_completed(futures):
                ok, output = future.result()
                if ok:
                    passed += 1
                    print(f"ok   {futures[future]}", flush=True)
                else:
                    failed += 1
                    print(f"FAIL {futures[future]}\n{output}", end="" if output.endswith("\n") else "\n",
                          flush=True)
    print(f"{passed} passed, {failed} failed, {len(skips)} skipped")
    return 1 if failed else 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (UsageError, OSError) as error:
        print(f"run_suite.py: {error}", file=sys.stderr)
        sys.exit(2)
