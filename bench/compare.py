#!/usr/bin/env python3
"""Times commands side by side: round after round, each command once a
round, in an order that alternates, so that a busy neighbour or a warming
cache weighs on all of them alike. Prints medians of wall-clock and CPU time
and each command as a multiple of the first (the baseline).

  compare.py RUNS NAME=COMMAND... [--prepare COMMAND]
"""
import os
import shlex
import statistics
import sys
import time


def run(argv):
    start = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, os.environ,
                         file_actions=[(os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0),
                                       (os.POSIX_SPAWN_OPEN, 2, os.devnull, os.O_WRONLY, 0)])
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"failed: {shlex.join(argv)}")
    return wall, usage.ru_utime + usage.ru_stime


def main():
    args = sys.argv[1:]
    prepare = None
    if "--prepare" in args:
        i = args.index("--prepare")
        prepare = shlex.split(args[i + 1])
        del args[i:i + 2]
    runs = int(args[0])
    cases = [(a.split("=", 1)[0], shlex.split(a.split("=", 1)[1])) for a in args[1:]]
    walls = {name: [] for name, _ in cases}
    cpus = {name: [] for name, _ in cases}
    for r in range(runs + 3):
        order = cases if r % 2 == 0 else cases[::-1]
        for name, argv in order:
            if prepare:
                run(prepare)
            wall, cpu = run(argv)
            if r >= 3:  # the first rounds only warm the caches
                walls[name].append(wall)
                cpus[name].append(cpu)
    base = cases[0][0]
    bw, bc = statistics.median(walls[base]), statistics.median(cpus[base])
    for name, _ in cases:
        w, c = statistics.median(walls[name]), statistics.median(cpus[name])
        print(f"  {name:9s} wall {w * 1000:8.2f} ms ({w / bw:4.2f} x)"
              f"   cpu {c * 1000:8.2f} ms ({c / bc:4.2f} x)")


main()
