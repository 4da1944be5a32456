#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Walls of signs: N LedSigns beside N typical QPainter sign widgets, and N LedSign items beside N typical
QML Canvas signs, each pair measured in the same run.

For each N, bench/wall runs both widget walls side by side, each on a private Xvfb server
(scripts/lib/idle_cost.py measures them as it measures the demo), and then bench/qml_wall both QML walls
side by side in the same way, with Qt Quick's software backend (QT_QUICK_BACKEND=software): every sign
ticks on its own 50 ms timer until each has recorded TICKS ticks (401: 20 s). For each side: CPU of the
program and of its X server as shares of one core, peak resident memory, and the tick intervals of all its
signs together. Figures are medians over the runs; from --short-from signs on (1000), runs are fewer and
shorter (--short-ticks, --short-runs), to keep the whole under a few minutes. The memory per added sign is
the growth of the peak from the fewest to the most signs, divided by the signs added.

Writes the figures as JSON (for scripts/lib/bench_table.py), prints them, and with --plot draws CPU against
N for every side with gnuplot.
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

# The sides of each wall, each run as PROGRAM KIND N: the widget wall (bench/wall) and the QML wall
# (bench/qml_wall), each pair side by side.
WALLS = {"widget": {"glimmer": "glimmer", "qpainter": "qpainter"},
         "qml": {"quick": "glimmer", "canvas": "canvas"}}
SIDES = ("glimmer", "qpainter", "quick", "canvas")
QML_ENV = {"QT_QUICK_BACKEND": "software"}
WIDTH, ROW = 1280, 38  # room for 4 signs of the demo's size side by side, and a row of them with its gap


def screen(n):
    """The whole wall on screen: 100 signs on 1280 x 1024, 1000 on 1280 x 9600."""
    return WIDTH, max(1024, -(-n // 4) * ROW + 100)


def per_sign_kb(walls, counts):
    low, high = str(min(counts)), str(max(counts))
    return {side: 1024 * (walls[high][side]["peak_mb"] - walls[low][side]["peak_mb"]) /
            (max(counts) - min(counts)) for side in walls[low]} if len(counts) > 1 else {}


LABELS = {"qpainter": ("QPainter widgets", "#c03030"), "glimmer": ("LedSign", "#208020"),
          "canvas": ("QML Canvas", "#d08000"), "quick": ("LedSign item", "#2060c0")}
# The targets: a quarter of the QPainter wall, and of the Canvas wall.
TARGETS = {"qpainter": "#606060", "canvas": "#a0a0a0"}


def plot(figures, path):
    """CPU against N (both scales logarithmic) for every side measured, as a PNG: program and X server
    together (solid), the program alone (dashed), and the targets: a quarter of the QPainter wall's and of
    the Canvas wall's program and X server (dotted)."""
    counts, curves, blocks = figures["counts"], [], []
    measured = figures["walls"][str(counts[0])]
    sides = [side for side in ("qpainter", "glimmer", "canvas", "quick") if side in measured]
    for side in sides:
        label, colour = LABELS[side]
        points = [figures["walls"][str(n)][side] for n in counts]
        total = [(n, p["cpu_percent"] + p["xvfb_cpu_percent"]) for n, p in zip(counts, points)]
        curves.append(f'"-" with linespoints lw 2 pt 7 lc rgb "{colour}" title "{label}: program + X server"')
        blocks.append(total)
        curves.append(f'"-" with linespoints lw 1 pt 6 dt 2 lc rgb "{colour}" title "{label}: program"')
        blocks.append([(n, p["cpu_percent"]) for n, p in zip(counts, points)])
        if side in TARGETS:
            curves.append(f'"-" with lines lw 1 dt 3 lc rgb "{TARGETS[side]}" title "a quarter of the {label}\' '
                          'program + X server (the target)"')
            blocks.append([(n, v / 4) for n, v in total])
    script = f"""set terminal pngcairo size 900,600 font "DejaVu Sans,10"
set output "{path}"
set title "Walls of N signs, each ticking every 50 ms, under Xvfb (Qt Quick: {figures.get('qml_backend')} backend)"
set xlabel "signs (N)"
set ylabel "CPU, % of one core"
set key below left Left reverse maxrows 5
set grid
set logscale xy
set xrange [{min(counts) * 0.8}:{max(counts) * 1.25}]
plot {", ".join(curves)}
"""
    script += "".join("".join(f"{n} {v:.3f}\n" for n, v in block) + "e\n" for block in blocks)
    subprocess.run(["gnuplot"], input=script, text=True, check=True)


def backend(tmp, label):
    """The Qt Quick backend that bench/qml_wall named on stderr in the run labelled `label`."""
    names = set()
    for side in WALLS["qml"]:
        with open(os.path.join(tmp, f"{side}-{label}.err"), errors="replace") as err:
            names |= {line.split(":")[-1].strip() for line in err
                      if line.startswith("qml_wall: Qt Quick backend:")}
    return ", ".join(sorted(names)) or "unknown"


def measure(args, n, tmp, backends):
    """Medians over the runs of one N: each wall's pair side by side, one wall after the other."""
    short = n >= args.short_from
    ticks, count = (args.short_ticks, args.short_runs) if short else (args.ticks, args.runs)
    programs = {"widget": args.wall, "qml": args.qml_wall}
    runs = []
    for run in range(count):
        walls = {}
        for wall, sides in WALLS.items():
            if not programs[wall]:
                continue
            label = f"{run}-{n}-{wall}"
            commands = {side: [programs[wall], kind, str(n)] for side, kind in sides.items()}
            walls.update(one_run(commands, ticks, tmp, label, timers=n, screen=screen(n),
                                 extra_env=QML_ENV if wall == "qml" else None))
            if wall == "qml":
                backends.add(backend(tmp, label))
        print(f"N = {n}, run {run + 1}: " + json.dumps(walls), file=sys.stderr)
        runs.append(walls)
    return medians(runs), {"ticks": ticks, "runs": count}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--wall", required=True, help="the bench/wall program")
    parser.add_argument("--qml-wall", help="the bench/qml_wall program (the QML walls are left out without it)")
    parser.add_argument("--counts", default="1,10,50,100,1000", help="the numbers of signs, comma-separated")
    parser.add_argument("--ticks", type=int, default=401, help="ticks recorded of each sign (intervals + 1)")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--short-from", type=int, default=1000, help="walls of this many signs or more run "
                        "--short-runs times for --short-ticks ticks")
    parser.add_argument("--short-ticks", type=int, default=41)
    parser.add_argument("--short-runs", type=int, default=1)
    parser.add_argument("--json", help="where to write the figures")
    parser.add_argument("--plot", help="where to draw the PNG")
    args = parser.parse_args()
    counts = [int(n) for n in args.counts.split(",")]
    figures = {"counts": counts, "walls": {}, "runs": {}}
    backends = set()
    with tempfile.TemporaryDirectory() as tmp:
        for n in counts:
            try:
                figures["walls"][str(n)], figures["runs"][str(n)] = measure(args, n, tmp, backends)
            except Failure as failure:
                print(f"wall-cost: N = {n}: {failure}", file=sys.stderr)
                return 1
    figures["per_sign_kb"] = per_sign_kb(figures["walls"], counts)
    if args.qml_wall:
        figures["qml_backend"] = ", ".join(sorted(backends))
    if args.json:
        with open(args.json, "w") as f:
            json.dump(figures, f, indent=2)
    if args.qml_wall:
        print(f"QML walls: Qt Quick's {figures['qml_backend']} backend (QT_QUICK_BACKEND=software)")
    for n in counts:
        r = figures["runs"][str(n)]
        for side in (side for side in SIDES if side in figures["walls"][str(n)]):
            f, t = figures["walls"][str(n)][side], figures["walls"][str(n)][side]["ticks"]
            print(f"N = {n:4} {side:8} CPU {f['cpu_percent']:6.2f} % + X {f['xvfb_cpu_percent']:5.2f} % of a "
                  f"core, peak {f['peak_mb']:6.1f} MB, p99 {t['p99']:.3f} ms over {t['count']} intervals "
                  f"(medians of {r['runs']} x {r['ticks']} ticks)")
    for side, kb in figures["per_sign_kb"].items():
        print(f"{side}: {kb:.1f} KB per added sign")
    if args.plot:
        plot(figures, args.plot)
    return 0


if __name__ == "__main__":
    sys.exit(main())
