#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Idle cost and smoothness of the running demo, beside a bare Qt window, measured in the same run.

Each run starts glimmer and the bare window side by side, each on a private Xvfb server, with the same
environment. Both record the times of their timer's ticks into a buffer allocated up front and write them
out once TICKS ticks are in (GLIMMER_TICK_LOG), so the recording does not disturb the ticks: 401 ticks at
50 ms are 20 s of running. Each program is ended as soon as its log is written, and its rusage gives the
CPU time of all its threads over its whole life, start-up included, as a share of one core (its X server's
over the same time too), and its peak resident memory. Figures, and the differences between the two
programs within each run, are medians over the runs.

Writes the figures as JSON (for scripts/lib/bench_table.py) and prints them.
"""

import argparse
import json
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Failure, start_xvfb  # noqa: E402

PROGRAMS = ("glimmer", "bare")


def intervals_ms(path):
    """The intervals of every timer in a tick log, in ms: its timers' ticks are separated by empty lines."""
    with open(path) as f:
        tracks = [[int(line) for line in block.split()] for block in f.read().split("\n\n")]
    return [(b - a) / 1e6 for times in tracks for a, b in zip(times, times[1:])]


def percentile(values, p):
    """Nearest rank: the smallest value with at least p percent of the values at or below it."""
    ordered = sorted(values)
    rank = max(1, -(-len(ordered) * p // 100))
    return ordered[int(rank) - 1]


def smoothness(intervals):
    return {"mean": statistics.fmean(intervals), "median": statistics.median(intervals),
            "p99": percentile(intervals, 99), "max": max(intervals), "count": len(intervals)}


def log_complete(path, ticks):
    if not os.path.exists(path):
        return False
    with open(path) as f:
        return sum(1 for line in f if line.strip()) >= ticks


def cpu_seconds(pid):
    """CPU time of a running process so far, all its threads, to the nanosecond (the scheduler's own count;
    /proc/PID/stat counts in hundredths, too coarse for an X server that works a few milliseconds a second)."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        except FileNotFoundError:  # a thread that ended meanwhile
            pass
    return total / 1e9


def stop(process):
    """Ends the process and returns its rusage: CPU time of every thread, and peak resident memory."""
    process.send_signal(signal.SIGTERM)
    _, _, usage = os.wait4(process.pid, 0)
    process.returncode = -signal.SIGTERM
    return usage


def one_run(commands, ticks, tmp, run, timers=1, screen=(800, 600), extra_env=None):
    """Runs the commands side by side, each on an Xvfb server of its own, until each has written its tick
    log (`ticks` ticks of each of its `timers` timers). For each: its CPU and its X server's CPU over its
    life as shares of one core, its peak resident memory, and its tick intervals. `extra_env`: variables set
    for every command besides. Each command's stderr is kept in TMP/NAME-RUN.err."""
    servers, processes, logs, envs = {}, {}, {}, {}
    try:
        for name in commands:
            server, display = start_xvfb(*screen)
            servers[name] = server
            env = {k: v for k, v in os.environ.items()
                   if k not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR")}
            runtime = os.path.join(tmp, f"runtime-{name}-{run}")
            os.mkdir(runtime, 0o700)
            logs[name] = os.path.join(tmp, f"{name}-{run}.ticks")
            env.update(extra_env or {})
            env.update(DISPLAY=display, XDG_RUNTIME_DIR=runtime, GLIMMER_TICK_LOG=logs[name],
                       GLIMMER_TICK_COUNT=str(ticks))
            envs[name] = env
        started, server_started = {}, {}
        for name, command in commands.items():
            with open(os.path.join(tmp, f"{name}-{run}.err"), "wb") as err:
                server_started[name] = cpu_seconds(servers[name].pid)
                processes[name] = subprocess.Popen(command, env=envs[name], stdout=subprocess.DEVNULL,
                                                   stderr=err)
            started[name] = time.monotonic()
        # Each program runs until its log is written, a moment after its last recorded tick, and is ended
        # then: its lifetime is start-up plus (TICKS - 1) x 50 ms.
        result, deadline = {}, time.monotonic() + ticks * 0.05 + 60
        while len(result) < len(commands):
            for name, process in processes.items():
                if name in result:
                    continue
                if process.poll() is not None:
                    with open(os.path.join(tmp, f"{name}-{run}.err"), errors="replace") as err:
                        raise Failure(f"{name} ended early with status {process.returncode}: {err.read()}")
                if log_complete(logs[name], ticks * timers):
                    server_cpu = cpu_seconds(servers[name].pid) - server_started[name]
                    usage = stop(process)
                    lifetime = time.monotonic() - started[name]
                    result[name] = {"cpu_percent": 100 * (usage.ru_utime + usage.ru_stime) / lifetime,
                                    "xvfb_cpu_percent": 100 * server_cpu / lifetime,
                                    "peak_mb": usage.ru_maxrss / 1024, "seconds": lifetime,
                                    "ticks": smoothness(intervals_ms(logs[name]))}
            if time.monotonic() > deadline:
                raise Failure("the tick logs were not written in time")
            time.sleep(0.01)
        return result
    finally:
        for process in processes.values():
            if process.poll() is None:
                process.kill()
                process.wait()
        for server in servers.values():
            server.terminate()
            server.wait(timeout=30)


def idle_run(commands, ticks, tmp, run):
    result = one_run(commands, ticks, tmp, run)
    # Differences within the run, where both programs met the same load on the machine.
    g, b = result["glimmer"], result["bare"]
    result["difference"] = {"cpu_percent": g["cpu_percent"] - b["cpu_percent"],
                            "peak_mb": g["peak_mb"] - b["peak_mb"],
                            "p99": g["ticks"]["p99"] - b["ticks"]["p99"]}
    return result


def medians(runs):
    """The median of every figure over the runs, keeping the shape of one run."""
    def merge(values):
        if isinstance(values[0], dict):
            return {key: merge([v[key] for v in values]) for key in values[0]}
        return statistics.median(values)
    return merge(runs)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--glimmer", required=True)
    parser.add_argument("--bare", required=True)
    parser.add_argument("--ticks", type=int, default=401, help="ticks recorded (intervals + 1)")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--json", help="where to write the figures")
    args = parser.parse_args()
    commands = {"glimmer": [args.glimmer], "bare": [args.bare]}
    runs = []
    with tempfile.TemporaryDirectory() as tmp:
        for run in range(args.runs):
            try:
                runs.append(idle_run(commands, args.ticks, tmp, run))
            except Failure as failure:
                print(f"idle-cost: {failure}", file=sys.stderr)
                return 1
            print(f"run {run + 1}: " + json.dumps(runs[-1]), file=sys.stderr)
    figures = medians(runs)
    figures["runs"] = args.runs
    if args.json:
        with open(args.json, "w") as f:
            json.dump(figures, f, indent=2)
    d = figures["difference"]
    print(f"glimmer - bare: CPU {d['cpu_percent']:+.2f} points, peak {d['peak_mb']:+.1f} MB, "
          f"p99 {d['p99']:+.3f} ms")
    for name in PROGRAMS:
        f, t = figures[name], figures[name]["ticks"]
        print(f"{name:8} CPU {f['cpu_percent']:.2f} % of a core, peak {f['peak_mb']:.1f} MB; ticks over "
              f"{t['count']} intervals: mean {t['mean']:.3f} median {t['median']:.3f} p99 {t['p99']:.3f} "
              f"max {t['max']:.3f} ms")
    return 0


if __name__ == "__main__":
    sys.exit(main())
