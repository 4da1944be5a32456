#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""What glimmer --record costs: the size of its GIFs beside what gifsicle -O3 makes of them, and its peak
memory over a long recording beside a short one.

Sizes: one whole pass of each sign below, at scales 1 and 2, recorded by glimmer and then optimised by
gifsicle -O3 (Debian's gifsicle); the ratio is glimmer's bytes over gifsicle's, at most 1 when glimmer's
file is no larger.

Memory: the same wide sign (3000 pixels at --scale 2, a text of 200 characters) recorded for a few ticks
and for many; the peak resident memory of each run from its rusage, and the difference. A recorder that
streams its frames into the file keeps the difference small however long the recording.

Writes the figures as JSON (for scripts/lib/bench_table.py) and prints them.
"""

import argparse
import json
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Failure  # noqa: E402

# name: the options of the sign, one pass of which is recorded.
SIGNS = {
    "demo": [],
    "board": ["--text", "PLATFORM 4: 10:45 TO LONDON - ON TIME", "--width", "400", "--color", "yellow"],
    "hello": ["--text", "HELLO WORLD", "--width", "150", "--color", "red", "--border", "off"],
}
SCALES = (1, 2)

WIDE_TEXT = ("DEPARTURES 10:45 LONDON KINGS CROSS PLATFORM 4 - " * 5)[:200]
WIDE_SIGN = ["--width", "3000", "--scale", "2", "--text", WIDE_TEXT]


def run(command):
    """Runs a program to its end; its peak resident memory in MB."""
    with tempfile.TemporaryFile() as err:
        process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=err)
        _, status, usage = os.wait4(process.pid, 0)
        process.returncode = os.waitstatus_to_exitcode(status)
        if process.returncode != 0:
            err.seek(0)
            raise Failure(f"{' '.join(command[:3])} ... ended with status {process.returncode}: "
                          f"{err.read().decode(errors='replace')}")
    return usage.ru_maxrss / 1024


def sizes(glimmer, gifsicle, tmp):
    figures = []
    for name, options in SIGNS.items():
        for scale in SCALES:
            ours, optimised = os.path.join(tmp, f"{name}-{scale}.gif"), os.path.join(tmp, f"{name}-{scale}-O3.gif")
            run([glimmer, "--record", ours, "--scale", str(scale), *options])
            run([gifsicle, "-O3", ours, "-o", optimised])
            figures.append({"sign": name, "scale": scale, "bytes": os.path.getsize(ours),
                            "gifsicle": os.path.getsize(optimised),
                            "ratio": os.path.getsize(ours) / os.path.getsize(optimised)})
    return figures


def memory(glimmer, short, long, tmp):
    gif = os.path.join(tmp, "wide.gif")
    peaks = {}
    for ticks in (short, long):
        peaks[ticks] = run([glimmer, "--record", gif, "--ticks", str(ticks), *WIDE_SIGN])
        peaks[f"{ticks} bytes"] = os.path.getsize(gif)
    return {"short_ticks": short, "long_ticks": long, "short_mb": peaks[short], "long_mb": peaks[long],
            "short_gif_bytes": peaks[f"{short} bytes"], "long_gif_bytes": peaks[f"{long} bytes"],
            "difference_mb": peaks[long] - peaks[short]}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--glimmer", required=True)
    parser.add_argument("--gifsicle", default="gifsicle")
    parser.add_argument("--ticks", type=int, nargs=2, default=(40, 4000), metavar=("SHORT", "LONG"),
                        help="the ticks of the short and the long recording")
    parser.add_argument("--json", help="where to write the figures")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as tmp:
        try:
            figures = {"sizes": sizes(args.glimmer, args.gifsicle, tmp),
                       "memory": memory(args.glimmer, args.ticks[0], args.ticks[1], tmp)}
        except Failure as failure:
            print(f"recording: {failure}", file=sys.stderr)
            return 1
    if args.json:
        with open(args.json, "w") as f:
            json.dump(figures, f, indent=2)
    for s in figures["sizes"]:
        print(f"{s['sign']:6} at {s['scale']}: {s['bytes']} bytes, gifsicle -O3 {s['gifsicle']}: "
              f"{s['ratio']:.4f}")
    m = figures["memory"]
    print(f"peak memory: {m['short_mb']:.1f} MB for {m['short_ticks']} ticks ({m['short_gif_bytes']} bytes), "
          f"{m['long_mb']:.1f} MB for {m['long_ticks']} ticks ({m['long_gif_bytes']} bytes): "
          f"{m['difference_mb']:+.1f} MB")
    return 0


if __name__ == "__main__":
    sys.exit(main())
