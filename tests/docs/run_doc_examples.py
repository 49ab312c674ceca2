#!/usr/bin/env python3
"""Runs the examples of one Markdown page and fails on any difference.

The page's fenced code blocks take part by words in their info string:

  ```xml file=board.xml           writes the block to board.xml in the scratch
                                   directory (any language);
  ```c file=startup.c source=examples/startup/startup.c
                                   the same, after checking that the block is
                                   exactly that file of the source tree;
  ```console run                  runs each "$ " line with bash in the scratch
                                   directory (a line ending in "\\" goes on in
                                   the next one) and compares standard output
                                   and standard error, merged, with the lines
                                   shown after it; every command must succeed,
                                   except that with the word "fails" the last
                                   one must fail;
  ```ld from=app.ld               the block must occur in app.ld.

In expected text, a line "..." stands for any number of lines and "[...]"
for any text within a line; trailing blanks are ignored. "needs=TOOL" skips
a block when TOOL is not installed. Blocks run in page order in one scratch
directory, which also holds a link "examples" to the source tree's examples,
and vozo and vozo-size are first on PATH.

Usage: run_doc_examples.py --vozo V --vozo-size S --source DIR --work DIR page.md
"""
import argparse
import os
import re
import shutil
import subprocess
import sys

FENCE = re.compile(r"^(```+)(.*)$")


def code_blocks(page):
    """Yields (line number, info words, text) for each fenced block."""
    lines = open(page, encoding="utf-8").read().split("\n")
    i = 0
    while i < len(lines):
        opening = FENCE.match(lines[i])
        if not opening:
            i += 1
            continue
        fence, info, start = opening.group(1), opening.group(2).split(), i + 1
        i += 1
        while i < len(lines) and lines[i].rstrip() != fence:
            i += 1
        yield start, info, "\n".join(lines[start:i]) + "\n"
        i += 1


def pattern(expected):
    """A regular expression for expected lines with "..." and "[...]"."""
    parts = []
    for line in expected:
        if line == "...":
            parts.append("(?:[^\n]*\n)*?")
        else:
            parts.append("[^\n]*".join(re.escape(p) for p in line.split("[...]")) + "\n")
    return "".join(parts)


def normalised(text):
    return "".join(line.rstrip() + "\n" for line in text.rstrip("\n").split("\n")) if text.strip() else ""


def commands(text):
    """Splits a console block into (command, expected output lines)."""
    result = []
    pending = None
    for line in text.rstrip("\n").split("\n"):
        if pending is not None and pending.endswith("\\"):
            pending = pending + "\n" + line
            result[-1][0] = pending
        elif line.startswith("$ "):
            pending = line[2:]
            result.append([pending, []])
        elif result:
            result[-1][1].append(line.rstrip())
            pending = None
    return result


def main():
    parser = argparse.ArgumentParser()
    for option in ("--vozo", "--vozo-size", "--source", "--work"):
        parser.add_argument(option, required=True)
    parser.add_argument("page")
    args = parser.parse_args()

    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    os.symlink(os.path.join(args.source, "examples"), os.path.join(args.work, "examples"))
    env = dict(os.environ, LC_ALL="C")
    env["PATH"] = os.pathsep.join([os.path.dirname(os.path.abspath(args.vozo)),
                                   os.path.dirname(os.path.abspath(args.vozo_size)), env["PATH"]])

    failures = runs = skipped = 0

    def fail(line, message):
        nonlocal failures
        failures += 1
        print(f"{args.page}:{line}: {message}")

    for line, info, text in code_blocks(args.page):
        words = dict(word.split("=", 1) if "=" in word else (word, "") for word in info[1:])
        if "needs" in words and shutil.which(words["needs"], path=env["PATH"]) is None:
            skipped += 1
            continue
        if "file" in words:
            if "source" in words:
                with open(os.path.join(args.source, words["source"]), encoding="utf-8") as f:
                    if f.read() != text:
                        fail(line, f"block differs from {words['source']}")
            path = os.path.join(args.work, words["file"])
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
        if "from" in words:
            runs += 1
            try:
                actual = normalised(open(os.path.join(args.work, words["from"]), encoding="utf-8").read())
            except OSError as error:
                fail(line, str(error))
                continue
            if not re.search(pattern(normalised(text).split("\n")[:-1]), actual):
                fail(line, f"this excerpt is not in {words['from']}:\n{text}--- {words['from']} is:\n{actual}")
        if "run" in words:
            steps = commands(text)
            for index, (command, expected) in enumerate(steps):
                runs += 1
                must_fail = "fails" in words and index == len(steps) - 1
                done = subprocess.run(["bash", "-c", command], cwd=args.work, env=env,
                                      stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
                actual = normalised(done.stdout)
                if (done.returncode != 0) != must_fail:
                    fail(line, f"$ {command}\nexit status {done.returncode}:\n{actual}")
                elif not re.fullmatch(pattern(normalised("\n".join(expected)).split("\n")[:-1]), actual):
                    fail(line, f"$ {command}\nexpected:\n{normalised(chr(10).join(expected))}actual:\n{actual}")

    print(f"{args.page}: {runs} checks, {failures} failed, {skipped} blocks skipped")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
