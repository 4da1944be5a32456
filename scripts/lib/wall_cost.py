#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""A wall of signs: N LedSigns beside N typical QPainter sign widgets, measured in the same run.

For each N, bench/wall runs both walls side by side, each on a private Xvfb server (scripts/lib/idle_cost.py
measures them as it measures the demo): every sign ticks on its own 50 ms timer until each has recorded
TICKS ticks (401: 20 s). For each side: CPU of the program and of its X server as shares of one core, peak
resident memory, and the tick intervals of all its signs together. Figures are medians over the runs; the
memory per added sign is the growth of the peak from the fewest to the most signs, divided by the signs
added.

Writes the figures as JSON (for scripts/lib/bench_table.py), prints them, and with --plot draws CPU against
N for both sides with gnuplot.
"""

import argparse
import json
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Failure  # noqa: E402
from idle_cost import medians, one_run  # noqa: E402

SIDES = ("glimmer", "qpainter")
SCREEN = (1280, 1024)  # room for 100 signs of the demo's size, 4 to a row


def per_sign_kb(walls, counts):
    low, high = str(min(counts)), str(max(counts))
    return {side: 1024 * (walls[high][side]["peak_mb"] - walls[low][side]["peak_mb"]) /
            (max(counts) - min(counts)) for side in SIDES} if len(counts) > 1 else {}


LABELS = {"qpainter": ("QPainter widgets", "#c03030"), "glimmer": ("LedSign", "#208020")}


def plot(figures, path):
    """CPU against N for both sides, as a PNG: program and X server together (solid), the program alone
    (dashed), and the target: a quarter of the QPainter wall's program and X server (dotted)."""
    counts, curves, blocks = figures["counts"], [], []
    for side in ("qpainter", "glimmer"):
        label, colour = LABELS[side]
        points = [figures["walls"][str(n)][side] for n in counts]
        curves.append(f'"-" with linespoints lw 2 pt 7 lc rgb "{colour}" title "{label}: program + X server"')
        blocks.append([(n, p["cpu_percent"] + p["xvfb_cpu_percent"]) for n, p in zip(counts, points)])
        curves.append(f'"-" with linespoints lw 1 pt 6 dt 2 lc rgb "{colour}" title "{label}: program"')
        blocks.append([(n, p["cpu_percent"]) for n, p in zip(counts, points)])
        if side == "qpainter":
            curves.append('"-" with lines lw 1 dt 3 lc rgb "#606060" title "a quarter of the QPainter widgets\' '
                          'program + X server (the target)"')
            blocks.append([(n, v / 4) for n, v in blocks[0]])
    script = f"""set terminal pngcairo size 760,500 font "DejaVu Sans,10"
set output "{path}"
set title "A wall of N signs, each ticking every 50 ms, under Xvfb"
set xlabel "signs (N)"
set ylabel "CPU, % of one core"
set key below left Left reverse maxrows 3
set grid
set xrange [0:{max(counts) + 5}]
set yrange [0:*]
plot {", ".join(curves)}
"""
    script += "".join("".join(f"{n} {v:.3f}\n" for n, v in block) + "e\n" for block in blocks)
    subprocess.run(["gnuplot"], input=script, text=True, check=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--wall", required=True, help="the bench/wall program")
    parser.add_argument("--counts", default="1,10,50,100", help="the numbers of signs, comma-separated")
    parser.add_argument("--ticks", type=int, default=401, help="ticks recorded of each sign (intervals + 1)")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--json", help="where to write the figures")
    parser.add_argument("--plot", help="where to draw the PNG")
    args = parser.parse_args()
    counts = [int(n) for n in args.counts.split(",")]
    runs = []
    with tempfile.TemporaryDirectory() as tmp:
        for run in range(args.runs):
            walls = {}
            for n in counts:
                commands = {side: [args.wall, side, str(n)] for side in SIDES}
                try:
                    walls[str(n)] = one_run(commands, args.ticks, tmp, f"{run}-{n}", timers=n, screen=SCREEN)
                except Failure as failure:
                    print(f"wall-cost: N = {n}: {failure}", file=sys.stderr)
                    return 1
            print(f"run {run + 1}: " + json.dumps(walls), file=sys.stderr)
            runs.append(walls)
    figures = {"counts": counts, "walls": medians(runs), "runs": args.runs}
    figures["per_sign_kb"] = per_sign_kb(figures["walls"], counts)
    if args.json:
        with open(args.json, "w") as f:
            json.dump(figures, f, indent=2)
    for n in counts:
        for side in SIDES:
            f = figures["walls"][str(n)][side]
            t = f["ticks"]
            print(f"N = {n:3} {side:8} CPU {f['cpu_percent']:6.2f} % + X {f['xvfb_cpu_percent']:5.2f} % of a "
                  f"core, peak {f['peak_mb']:6.1f} MB, p99 {t['p99']:.3f} ms over {t['count']} intervals")
    for side, kb in figures["per_sign_kb"].items():
        print(f"{side}: {kb:.1f} KB per added sign")
    if args.plot:
        plot(figures, args.plot)
    return 0


if __name__ == "__main__":
    sys.exit(main())
