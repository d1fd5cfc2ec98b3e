#!/usr/bin/env python3
"""Times thumbnail runs against their baseline, side by side: round after
round, each command once a round, in alternating order. For every run it
records the time to the first "Thumb:" record on standard output, the time
to the end, CPU time (user + system) and the peak resident memory of the
process, and counts the thumbnails. The peak comes from /usr/bin/time: a
child spawned straight from Python starts its count from Python's own.

  picker.py ROUNDS NAME=COMMAND...     (the first command is the baseline)

Each COMMAND may hold {out}: an empty folder made fresh for every run.
"""
import os
import shlex
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def run(argv, out):
    """First-thumbnail seconds, wall seconds, CPU seconds, peak bytes and
    the number of thumbnails of one run."""
    peak_file = os.path.join(out, "peak")
    start = time.perf_counter()
    child = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", peak_file] + argv,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, bufsize=1 << 16)
    first, thumbs = None, 0
    for line in child.stdout:
        if line.startswith(b"Thumb:"):
            thumbs += 1
            if first is None:
                first = time.perf_counter() - start
    child.stdout.close()
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        sys.exit(f"failed ({child.returncode}): {shlex.join(argv)}")
    with open(peak_file) as f:
        peak = int(f.read().split()[-1]) * 1024
    return (first if first is not None else wall, wall, usage.ru_utime + usage.ru_stime, peak,
            thumbs)


def main():
    rounds = int(sys.argv[1])
    cases = [(a.split("=", 1)[0], a.split("=", 1)[1]) for a in sys.argv[2:]]
    figures = {name: ([], [], [], [], []) for name, _ in cases}
    base = os.environ.get("TEMP") or tempfile.gettempdir()
    for r in range(rounds):
        order = cases if r % 2 == 0 else cases[::-1]
        for name, command in order:
            out = tempfile.mkdtemp(prefix="thumbs-", dir=base)
            try:
                measured = run(shlex.split(command.replace("{out}", out)), out)
            finally:
                shutil.rmtree(out)
            for series, value in zip(figures[name], measured):
                series.append(value)
    baseline = cases[0][0]
    bw = statistics.median(figures[baseline][1])
    bc = statistics.median(figures[baseline][2])
    for name, _ in cases:
        firsts, walls, cpus, peaks, counts = figures[name]
        f, w, c = statistics.median(firsts), statistics.median(walls), statistics.median(cpus)
        print(f"  {name:11s} {max(counts):5d} thumbs   first {f:6.3f} s   all {w:7.3f} s"
              f" ({w / bw:4.2f} x)   cpu {c:7.3f} s ({c / bc:4.2f} x)"
              f"   peak {max(peaks) / 1e6:6.1f} MB", flush=True)
    if len({max(figures[name][4]) for name, _ in cases if max(figures[name][4])}) > 1:
        print("  the commands made different numbers of thumbnails", flush=True)


main()
