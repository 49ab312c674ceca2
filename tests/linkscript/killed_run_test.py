#!/usr/bin/env python3
"""A run of vozo that is killed at any moment leaves the script of the
earlier build byte for byte, or no script when there was none, or the
complete new script; never an empty or partial one. A run ended by SIGTERM
leaves no temporary file; one ended by SIGKILL may, and the next run for the
same output removes it.

    killed_run_test.py <vozo>

Each run writes a script of several megabytes (a placement of many sections),
so that it spends a while loading and laying out. It is stopped (SIGSTOP)
while it lays out, and sent the signal when the stopped run is where it
should be (else it is run again). The moments around the write last only
milliseconds, so there the run goes under strace, which holds the write of
the temporary file, or the return from the rename, for PAUSE seconds: the
signal then meets the run at that moment on a machine however busy. Without
strace those cases are skipped with a note.
"""

import ctypes
import os
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

SECTIONS = 10000
PREVIOUS = b"/* the script of an earlier build */\n"
# A run that is slow to reach its write (a busy machine) is waited for this
# long; the whole test takes a few seconds.
PATIENCE = 120.0
# How long strace holds the run at the write or the rename.
PAUSE = 3.0
STRACE = shutil.which("strace")
# The system calls strace holds, for each moment: the lock the run takes on
# its temporary file, on entry (the file exists, still empty: the text is
# written right after), and the rename, on exit (the new script is in place,
# the run has not ended).
HELD = {
    "while writing": "flock:delay_enter={}:when=1",
    "after the rename": "rename,renameat,renameat2:delay_exit={}",
}


def write_placement(path):
    with open(path, "w", encoding="ascii") as placement:
        placement.write('<Root><MemorySegment name="FLASH">\n')
        for index in range(SECTIONS):
            placement.write(f'<ProgramSection name=".text.function_{index}" alignment="4"/>\n')
        placement.write("</MemorySegment></Root>\n")


def read(path):
    with open(path, "rb") as file:
        return file.read()


def others(folder):
    """The names in the output's folder besides the script."""
    return sorted(set(os.listdir(folder)) - {"app.ld"})


def stop(process, holds):
    """Stops the run and tells whether `holds()` is true of the stopped run;
    when not, lets it go on."""
    process.send_signal(signal.SIGSTOP)
    deadline = time.monotonic() + PATIENCE
    while process.poll() is None and time.monotonic() < deadline:
        with open(f"/proc/{process.pid}/stat", encoding="ascii", errors="replace") as stat:
            fields = stat.read()
        if fields[fields.rindex(")") + 2] in "Tt":
            if holds():
                return True
            process.send_signal(signal.SIGCONT)
            return False
        time.sleep(0.0001)
    return False


class FolderEvents:
    """Names made and names gone in a folder, told by inotify: the test sleeps
    until one comes and is woken at once, which polling on a busy machine is
    not; a write of a few milliseconds slips by between two polls."""

    IN_MOVED_FROM, IN_CREATE, IN_DELETE = 0x40, 0x100, 0x200

    def __init__(self, folder):
        self.libc = ctypes.CDLL(None, use_errno=True)
        self.descriptor = self.libc.inotify_init1(os.O_CLOEXEC | os.O_NONBLOCK)
        mask = self.IN_CREATE | self.IN_MOVED_FROM | self.IN_DELETE
        if self.descriptor < 0 or self.libc.inotify_add_watch(
                self.descriptor, os.fsencode(folder), mask) < 0:
            raise OSError(ctypes.get_errno(), "inotify")

    def drain(self):
        """The (made, name) pairs that came since the last call."""
        events = []
        while True:
            try:
                data = os.read(self.descriptor, 65536)
            except BlockingIOError:
                return events
            offset = 0
            while offset < len(data):
                _, mask, _, length = struct.unpack_from("iIII", data, offset)
                name = data[offset + 16:offset + 16 + length].rstrip(b"\0").decode()
                events.append((bool(mask & self.IN_CREATE), name))
                offset += 16 + length

    def wait(self, wanted, process):
        """Sleeps until an event for which `wanted(made, name)` holds; False
        when the run ends first."""
        deadline = time.monotonic() + PATIENCE
        while time.monotonic() < deadline:
            select.select([self.descriptor], [], [], 0.05)
            if any(wanted(made, name) for made, name in self.drain()):
                return True
            if process.poll() is not None:
                return False
        return False


class KilledRuns:
    def __init__(self, vozo, work):
        self.folder = os.path.join(work, "out")
        os.mkdir(self.folder)
        self.output = os.path.join(self.folder, "app.ld")
        placement = os.path.join(work, "placement.xml")
        write_placement(placement)
        self.command = [vozo, "-memory-map-segments", "FLASH RX 0 0x1000000",
                        "-section-placement-file", placement, self.output]
        started = time.monotonic()
        subprocess.run(self.command, check=True)
        # Most of a run lays the sections out, after the output was opened.
        self.laying_out = 0.6 * (time.monotonic() - started)
        self.complete = read(self.output)
        os.unlink(self.output)
        self.failures = []

    def fail(self, case, text):
        self.failures.append(f"{case}: {text}")

    def kill_at(self, moment, process, events):
        """Waits for the moment and returns the process to send the signal to
        (stopped with SIGSTOP while laying out, so that the state seen is the
        state the signal meets; held by strace at the write or the rename);
        None when the run ended or went past the moment first."""
        if moment == "while laying out":
            time.sleep(self.laying_out)
            return process.pid if stop(process, lambda: not others(self.folder)) else None
        temporary = lambda made, name: name != "app.ld" and made == (moment == "while writing")
        if not events.wait(temporary, process):
            return None
        with open(f"/proc/{process.pid}/task/{process.pid}/children", encoding="ascii") as children:
            traced = children.read().split()
        return int(traced[0]) if traced else None

    def command_for(self, moment):
        if moment not in HELD:
            return self.command
        held = HELD[moment].format(int(PAUSE * 1e6))
        return [STRACE, "-f", "-qq", "-o", os.devnull, "-e", "trace=" + held.split(":")[0],
                "-e", "inject=" + held] + self.command

    def run(self, sent, previous, moment):
        case = f"{sent.name} {moment}, {'with' if previous else 'without'} an earlier script"
        if moment in HELD and not STRACE:
            print(f"SKIP: {case}: needs strace to hold the run at that moment")
            return
        if previous:
            with open(self.output, "wb") as file:
                file.write(PREVIOUS)
        # Laying out, the moment can slip by on a busy machine: a few tries.
        for _ in range(5):
            events = FolderEvents(self.folder)
            # The leak checker of a sanitizer build cannot work under strace.
            environment = dict(os.environ, ASAN_OPTIONS="detect_leaks=0")
            process = subprocess.Popen(self.command_for(moment), stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL, env=environment)
            target = self.kill_at(moment, process, events)
            os.close(events.descriptor)
            if target is not None:
                try:
                    os.kill(target, sent)
                except ProcessLookupError:  # the run ended meanwhile
                    target = None
                if target == process.pid:
                    process.send_signal(signal.SIGCONT)
            process.wait(PATIENCE)
            if target is not None:
                break
        else:
            self.fail(case, "the run never reached that moment")
            return

        if not os.path.exists(self.output):
            if previous:
                self.fail(case, "the earlier script was removed")
        elif read(self.output) not in (PREVIOUS if previous else None, self.complete):
            self.fail(case, f"the script holds {os.path.getsize(self.output)} other bytes")
        left = others(self.folder)
        if left and sent != signal.SIGKILL:
            self.fail(case, f"left {left}")
        if left:
            # SIGKILL cannot be caught: the next run removes what it left.
            subprocess.run(self.command, check=True)
            if others(self.folder):
                self.fail(case, f"the next run left {others(self.folder)}")
        # Each case starts from an empty folder, whatever the last one left.
        for name in os.listdir(self.folder):
            os.unlink(os.path.join(self.folder, name))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with tempfile.TemporaryDirectory(prefix="vozo-killed.") as work:
        runs = KilledRuns(os.path.abspath(sys.argv[1]), work)
        for sent in (signal.SIGTERM, signal.SIGKILL):
            for previous in (True, False):
                for moment in ("while laying out", "while writing"):
                    runs.run(sent, previous, moment)
            runs.run(sent, True, "after the rename")
    for failure in runs.failures:
        print("FAIL:", failure)
    sys.exit(1 if runs.failures else 0)


if __name__ == "__main__":
    main()
