#!/usr/bin/env python3
"""Prints one table from Google Benchmark JSON files, with the ratios that compare the sign's tick."""
import json
import sys


def load(paths):
    times = {}
    for path in paths:
        with open(path) as f:
            for b in json.load(f)["benchmarks"]:
                if b.get("run_type", "iteration") == "aggregate" and b.get("aggregate_name") != "median":
                    continue
                name = b.get("run_name", b["name"])
                unit = {"ns": 1e-3, "us": 1.0, "ms": 1e3}[b.get("time_unit", "ns")]
                times[name] = b["real_time"] * unit
    return times


def main():
    times = load(sys.argv[1:])
    print(f"| {'Benchmark':<28} | {'Time (us)':>10} |")
    print(f"|{'-' * 30}|{'-' * 12}|")
    for name, us in times.items():
        print(f"| {name:<28} | {us:>10.2f} |")
    tick = times.get("DemoTick")
    for other in ("QPainterFrame", "Floor"):
        if tick and times.get(other):
            print(f"| {'DemoTick / ' + other:<28} | {tick / times[other]:>10.3f} |")


if __name__ == "__main__":
    main()
