#!/usr/bin/env python3
"""Times whole jobs against their baselines, side by side: round after round,
each command once a round, in alternating order. For every run it records
wall-clock time, CPU time (user + system, the tools included) and the peak
of the resident memory of the process and all its children together, read
from /proc every few milliseconds.

  extract.py ROUNDS NAME=COMMAND...     (the first command is the baseline)

When the baseline says "largest N bytes" (the largest decoded image), the
peak of the last command is set against twice that plus 50 MB.

Each COMMAND may hold {out}: an empty folder made fresh for every run. A
command of the form "@repeat N COMMAND" runs COMMAND N times in a row and
counts as one run.
"""
import os
import re
import shlex
import shutil
import statistics
import sys
import tempfile
import threading
import time


def tree_rss(pid):
    """Resident bytes of pid and its descendants."""
    total, todo = 0, [pid]
    while todo:
        p = todo.pop()
        try:
            with open(f"/proc/{p}/statm") as f:
                total += int(f.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")
            with open(f"/proc/{p}/task/{p}/children") as f:
                todo.extend(int(c) for c in f.read().split())
        except (OSError, ValueError):
            pass
    return total


LOG = os.path.join(tempfile.gettempdir(), f"extract-bench-{os.getpid()}.log")


def spawn(argv):
    return os.posix_spawn(argv[0], argv, os.environ,
                          file_actions=[(os.POSIX_SPAWN_OPEN, 1, LOG,
                                         os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600),
                                        (os.POSIX_SPAWN_OPEN, 2, os.devnull, os.O_WRONLY, 0)])


def largest_image():
    """What the baseline says of the largest decoded image, in bytes."""
    with open(LOG) as f:
        found = re.search(r"largest (\d+) bytes", f.read())
    return int(found.group(1)) if found else None


def run(argv):
    """Wall seconds, CPU seconds and peak bytes of one run."""
    repeat = 1
    if argv[0] == "@repeat":
        repeat, argv = int(argv[1]), argv[2:]
    start = time.perf_counter()
    cpu, peak = 0.0, 0
    for _ in range(repeat):
        pid = spawn(argv)
        done = threading.Event()
        high = [0]

        def watch():
            while not done.is_set():
                high[0] = max(high[0], tree_rss(pid))
                time.sleep(0.003)

        watcher = None
        if repeat == 1:
            watcher = threading.Thread(target=watch)
            watcher.start()
        _, status, usage = os.wait4(pid, 0)
        done.set()
        if watcher:
            watcher.join()
        if os.waitstatus_to_exitcode(status) != 0:
            sys.exit(f"failed ({os.waitstatus_to_exitcode(status)}): {shlex.join(argv)}")
        cpu += usage.ru_utime + usage.ru_stime
        peak = max(peak, high[0], usage.ru_maxrss * 1024)
    return time.perf_counter() - start, cpu, peak


def main():
    rounds = int(sys.argv[1])
    cases = [(a.split("=", 1)[0], a.split("=", 1)[1]) for a in sys.argv[2:]]
    figures = {name: ([], [], []) for name, _ in cases}
    largest = None
    base = os.environ.get("TEMP") or tempfile.gettempdir()
    for r in range(rounds):
        order = cases if r % 2 == 0 else cases[::-1]
        for name, command in order:
            out = tempfile.mkdtemp(prefix="out-", dir=base)
            try:
                wall, cpu, peak = run(shlex.split(command.replace("{out}", out)))
            finally:
                shutil.rmtree(out)
            if name == cases[0][0]:
                largest = largest_image() or largest
            for series, value in zip(figures[name], (wall, cpu, peak)):
                series.append(value)
    bw = statistics.median(figures[cases[0][0]][0])
    bc = statistics.median(figures[cases[0][0]][1])
    for name, _ in cases:
        walls, cpus, peaks = figures[name]
        w, c = statistics.median(walls), statistics.median(cpus)
        print(f"  {name:10s} wall {w:8.3f} s ({w / bw:4.2f} x)   cpu {c:8.3f} s ({c / bc:4.2f} x)"
              f"   peak {max(peaks) / 1e6:7.1f} MB", flush=True)
    if largest:
        bound = 2 * largest + 50e6
        peak = max(figures[cases[-1][0]][2])
        print(f"  memory bound 2 x {largest / 1e6:.1f} MB + 50 MB = {bound / 1e6:.1f} MB;"
              f" {cases[-1][0]} peaks at {peak / bound:.2f} of it", flush=True)
    os.remove(LOG)


main()
