#!/usr/bin/env python3
"""The measuring scripts behind scripts/bench: a short idle-cost run of the real programs, and the table's
ratios and verdicts on figures whose outcome is known.

The idle-cost run here is a smoke run of about a second: it checks that both programs start, record their
ticks and are measured, not how fast they are (timing is scripts/bench's business, not CI's).
"""

import argparse
import json
import math
import os
import subprocess
import sys
import tempfile

LIB = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "lib")


class Failure(Exception):
    pass


def expect(condition, what):
    if not condition:
        raise Failure(what)


def idle_cost_smoke(args, tmp):
    out = os.path.join(tmp, "idle.json")
    run = subprocess.run([sys.executable, os.path.join(LIB, "idle_cost.py"), "--glimmer", args.glimmer,
                          "--bare", args.bare, "--ticks", "11", "--runs", "1", "--json", out],
                         capture_output=True, text=True, timeout=120)
    expect(run.returncode == 0, f"idle_cost.py failed: {run.stderr}")
    with open(out) as f:
        figures = json.load(f)
    for name in ("glimmer", "bare"):
        f = figures[name]
        expect(f["ticks"]["count"] == 10, f"{name}: {f['ticks']['count']} intervals, not 10")
        t = f["ticks"]
        expect(0 < t["mean"] <= t["max"] and t["median"] <= t["p99"] <= t["max"],
               f"{name}: inconsistent interval figures {t}")
        expect(0 < f["cpu_percent"] < 100 * os.cpu_count(), f"{name}: CPU share {f['cpu_percent']}")
        expect(f["peak_mb"] > 1, f"{name}: peak memory {f['peak_mb']} MB")
    g, b, d = figures["glimmer"], figures["bare"], figures["difference"]
    for key, extra in (("cpu_percent", g["cpu_percent"] - b["cpu_percent"]),
                       ("peak_mb", g["peak_mb"] - b["peak_mb"]),
                       ("p99", g["ticks"]["p99"] - b["ticks"]["p99"])):
        expect(math.isclose(d[key], extra), f"{key}: not glimmer less bare")


def write_benchmarks(path, times_us):
    runs = [{"name": f"{n}_median", "run_name": n, "run_type": "aggregate", "aggregate_name": "median",
             "real_time": us * 1000, "time_unit": "ns"} for n, us in times_us.items()]
    # Means and single repetitions are left out of the table: only medians count.
    runs += [{"name": f"{n}_mean", "run_name": n, "run_type": "aggregate", "aggregate_name": "mean",
              "real_time": 1e9, "time_unit": "ns"} for n in times_us]
    with open(path, "w") as f:
        json.dump({"benchmarks": runs}, f)


def idle_figures(cpu_extra, mean, p99_extra):
    ticks = {"mean": mean, "median": 50.2, "p99": 50.6 + p99_extra, "max": 52.0, "count": 400}
    bare_ticks = dict(ticks, mean=50.0, p99=50.6)
    return {"glimmer": {"cpu_percent": 0.5 + cpu_extra, "peak_mb": 25.0, "seconds": 20.1, "ticks": ticks},
            "bare": {"cpu_percent": 0.5, "peak_mb": 24.0, "seconds": 20.1, "ticks": bare_ticks},
            "difference": {"cpu_percent": cpu_extra, "peak_mb": 1.0, "p99": p99_extra}, "runs": 3}


def table(tmp, times_us, idle):
    bench, idle_path = os.path.join(tmp, "tick_bench.json"), os.path.join(tmp, "idle-table.json")
    write_benchmarks(bench, times_us)
    with open(idle_path, "w") as f:
        json.dump(idle, f)
    run = subprocess.run([sys.executable, os.path.join(LIB, "bench_table.py"), bench, "--idle", idle_path],
                         capture_output=True, text=True, timeout=60)
    expect(run.returncode == 0, f"bench_table.py failed: {run.stderr}")
    rows = {}
    for line in run.stdout.splitlines()[2:]:
        cells = [c.strip() for c in line.strip("|").split("|")]
        rows[cells[0]] = cells[1:]
    return rows


def verdicts(rows):
    return {name: cells[2] for name, cells in rows.items() if cells[2]}


def table_verdicts(tmp):
    good = {"DemoTick": 3.0, "QPainterFrame": 200.0, "Floor": 1.0, "LongTextTick/1820": 40.0,
            "LongTextTick/1000000": 5.0}
    rows = table(tmp, good, idle_figures(cpu_extra=0.1, mean=50.001, p99_extra=0.2))
    expect(rows["DemoTick / QPainterFrame"][0] == "0.015",
           f"tick / QPainter is {rows['DemoTick / QPainterFrame']}")
    expect(rows["DemoTick / Floor"][0] == "3.000", f"tick / floor is {rows['DemoTick / Floor']}")
    expect(rows["DemoTick"][0] == "3.00 us", f"DemoTick shows {rows['DemoTick']}: not the median")
    bad = verdicts(rows)
    expect(set(bad.values()) == {"yes"}, f"figures within every target: {bad}")
    expect(len(bad) == 8, f"{len(bad)} targets judged, not 8: {sorted(bad)}")

    slow = dict(good, DemoTick=25.0, **{"LongTextTick/1820": 250.0, "LongTextTick/1000000": 1200.0})
    rows = table(tmp, slow, idle_figures(cpu_extra=0.3, mean=50.06, p99_extra=0.6))
    missed = {name for name, met in verdicts(rows).items() if met == "NO"}
    expect(missed == {"DemoTick / QPainterFrame", "DemoTick / Floor", "LongTextTick/1820",
                      "LongTextTick/1000000", "Idle CPU, glimmer - bare", "Tick interval mean, glimmer (400)",
                      "Tick interval p99, glimmer - bare"}, f"missed targets judged as {sorted(missed)}")
    rows = table(tmp, good, idle_figures(cpu_extra=0, mean=49.94, p99_extra=0))
    expect(verdicts(rows)["Tick interval mean, glimmer (400)"] == "NO", "a mean 0.06 ms short passed")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--glimmer", required=True)
    parser.add_argument("--bare", required=True)
    args = parser.parse_args()
    checks = {"idle cost smoke run": idle_cost_smoke, "table verdicts": lambda _, tmp: table_verdicts(tmp)}
    failed = 0
    with tempfile.TemporaryDirectory() as tmp:
        for name, check in checks.items():
            try:
                check(args, tmp)
            except (Failure, KeyError, subprocess.TimeoutExpired) as failure:
                print(f"FAILED: {name}: {failure!r}")
                failed += 1
    print(f"bench_scripts_test: {len(checks) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
