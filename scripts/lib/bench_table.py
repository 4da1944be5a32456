#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Prints one table: the benchmarks from Google Benchmark JSON files with the ratios that compare the sign's
tick; given --idle, the idle cost and smoothness figures of scripts/lib/idle_cost.py; given --recording,
the GIF sizes and recording memory of scripts/lib/recording.py; given --wall, the walls of signs of
scripts/lib/wall_cost.py; each beside its target and whether it was met."""
import argparse
import json


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


def check(value, low=None, high=None):
    if value is None:
        return ""
    return "yes" if (low is None or value >= low) and (high is None or value <= high) else "NO"


class Table:
    def __init__(self):
        self.rows = []

    def add(self, measure, value, text, target="", low=None, high=None):
        met = check(value, low, high) if target else ""
        self.rows.append((measure, text if value is not None else "missing", target, met))

    def print(self):
        widths = [max(len(r[i]) for r in self.rows + [self.header()]) for i in range(4)]
        for i, row in enumerate([self.header()] + self.rows):
            print("| " + " | ".join(cell.ljust(w) if c == 0 else cell.rjust(w) if c == 1 else cell.ljust(w)
                                    for c, (cell, w) in enumerate(zip(row, widths))) + " |")
            if i == 0:
                print("|" + "|".join("-" * (w + 2) for w in widths) + "|")

    @staticmethod
    def header():
        return ("Measure", "Value", "Target", "Met")


ORDER = ["DemoTick", "DemoTickDotByDot", "QPainterFrame", "Floor", "LongTextTick/1820",
         "LongTextTick/1000000", "LongLatin1TextTick/1820", "LongLatin1TextTick/1000000"]


def benchmarks(table, times):
    targets = {"LongTextTick/1820": 200.0, "LongTextTick/1000000": 1000.0,
               "LongLatin1TextTick/1820": 200.0, "LongLatin1TextTick/1000000": 1000.0}
    def rank(item):
        return ORDER.index(item[0]) if item[0] in ORDER else len(ORDER)

    for name, us in sorted(times.items(), key=rank):
        high = targets.get(name)
        table.add(name, us, f"{us:.2f} us", f"<= {high:.0f} us" if high else "", high=high)
    tick = times.get("DemoTick")
    for other, high, target in (("QPainterFrame", 0.1, "<= 0.1 (10 x faster)"), ("Floor", 4.0, "<= 4")):
        ratio = tick / times[other] if tick and times.get(other) else None
        text = f"{ratio:.3f}" if ratio is not None else ""
        table.add(f"DemoTick / {other}", ratio, text, target, high=high)


def idle(table, figures):
    g, b, d = figures["glimmer"], figures["bare"], figures["difference"]
    table.add(f"Idle CPU, glimmer ({g['seconds']:.1f} s)", g["cpu_percent"],
              f"{g['cpu_percent']:.2f} % of a core")
    table.add(f"Idle CPU, bare window ({b['seconds']:.1f} s)", b["cpu_percent"],
              f"{b['cpu_percent']:.2f} % of a core")
    extra = d["cpu_percent"]
    table.add("Idle CPU, glimmer - bare", extra, f"{extra:+.2f} points", "<= +0.2 points", high=0.2)
    table.add("Peak memory, glimmer", g["peak_mb"], f"{g['peak_mb']:.1f} MB")
    table.add("Peak memory, bare window", b["peak_mb"], f"{b['peak_mb']:.1f} MB")
    extra = d["peak_mb"]
    table.add("Peak memory, glimmer - bare", extra, f"{extra:+.1f} MB", "<= +5 MB", high=5)
    for name, f in (("glimmer", g), ("bare window", b)):
        t = f["ticks"]
        count = int(t["count"])
        mean_target = ("50.00 +/- 0.05 ms", 49.95, 50.05) if name == "glimmer" else ("", None, None)
        table.add(f"Tick interval mean, {name} ({count})", t["mean"], f"{t['mean']:.3f} ms", mean_target[0],
                  low=mean_target[1], high=mean_target[2])
        table.add(f"Tick interval median, {name}", t["median"], f"{t['median']:.3f} ms")
        table.add(f"Tick interval p99, {name}", t["p99"], f"{t['p99']:.3f} ms")
        table.add(f"Tick interval max, {name}", t["max"], f"{t['max']:.3f} ms")
    extra = d["p99"]
    table.add("Tick interval p99, glimmer - bare", extra, f"{extra:+.3f} ms", "<= +0.5 ms", high=0.5)


def recording(table, figures):
    for s in figures["sizes"]:
        table.add(f"GIF {s['sign']} --scale {s['scale']} / gifsicle -O3", s["ratio"],
                  f"{s['ratio']:.4f} ({s['bytes']:,} / {s['gifsicle']:,} B)", "<= 1", high=1.0)
    m = figures["memory"]
    for ticks, peak, size in (("short_ticks", "short_mb", "short_gif_bytes"),
                              ("long_ticks", "long_mb", "long_gif_bytes")):
        table.add(f"Recording peak memory, {m[ticks]} ticks", m[peak],
                  f"{m[peak]:.1f} MB ({m[size]:,} B GIF)")
    table.add(f"Recording peak memory, {m['long_ticks']} - {m['short_ticks']} ticks", m["difference_mb"],
              f"{m['difference_mb']:+.1f} MB", "<= +10 MB", high=10)


WALL_SIDES = (("glimmer", "LedSign"), ("qpainter", "QPainter"), ("quick", "LedSign item"),
              ("canvas", "QML Canvas"))


def cpu_ratio(a, b):
    total = a["cpu_percent"] + a["xvfb_cpu_percent"], b["cpu_percent"] + b["xvfb_cpu_percent"]
    return total[0] / total[1] if total[1] > 0 else None


def add_ratio(table, measure, ratio, target, high):
    table.add(measure, ratio, f"{ratio:.2f}" if ratio is not None else "", target, high=high)


def wall(table, figures):
    """One row per number of signs and side: program + X server CPU, peak memory, p99 tick interval; then the
    targets (the widget wall's at 100 signs, or the most measured; the QML wall's at 10, 50 and 100 when it
    was measured), and the memory each added sign costs."""
    counts, walls = figures["counts"], figures["walls"]
    sides = [(side, label) for side, label in WALL_SIDES if side in walls[str(counts[0])]]
    for n in counts:
        for side, label in sides:
            f = walls[str(n)][side]
            table.add(f"Wall of {n}, {label}", f["cpu_percent"],
                      f"{f['cpu_percent']:.2f} + {f['xvfb_cpu_percent']:.2f} %, {f['peak_mb']:.1f} MB, "
                      f"{f['ticks']['p99']:.2f} ms")
    n = 100 if 100 in counts else max(counts)
    g, q = walls[str(n)]["glimmer"], walls[str(n)]["qpainter"]
    add_ratio(table, f"Wall of {n}, CPU + X, LedSign / QPainter", cpu_ratio(g, q), "<= 0.25", 0.25)
    extra = g["ticks"]["p99"] - q["ticks"]["p99"]
    table.add(f"Wall of {n}, p99, LedSign - QPainter", extra, f"{extra:+.2f} ms", "<= +1 ms", high=1)
    if "quick" in walls[str(n)]:
        for m in (m for m in (10, 50) if m in counts):
            add_ratio(table, f"QML wall of {m}, CPU + X, LedSign item / Canvas",
                      cpu_ratio(walls[str(m)]["quick"], walls[str(m)]["canvas"]), "<= 0.25", 0.25)
        add_ratio(table, f"QML wall of {n}, CPU + X, LedSign item / LedSign widget",
                  cpu_ratio(walls[str(n)]["quick"], g), "<= 1", 1)
    for side, label in sides:
        kb = figures["per_sign_kb"].get(side)
        table.add(f"Wall, memory per added sign, {label}", kb, f"{kb:.0f} KB" if kb is not None else "")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("benchmarks", nargs="*", help="Google Benchmark JSON files")
    parser.add_argument("--idle", help="the JSON that scripts/lib/idle_cost.py wrote")
    parser.add_argument("--recording", help="the JSON that scripts/lib/recording.py wrote")
    parser.add_argument("--wall", help="the JSON that scripts/lib/wall_cost.py wrote")
    args = parser.parse_args()
    table = Table()
    benchmarks(table, load(args.benchmarks))
    if args.idle:
        with open(args.idle) as f:
            idle(table, json.load(f))
    if args.recording:
        with open(args.recording) as f:
            recording(table, json.load(f))
    if args.wall:
        with open(args.wall) as f:
            wall(table, json.load(f))
    table.print()


if __name__ == "__main__":
    main()
