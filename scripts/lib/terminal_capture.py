#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Captures `glimmer --terminal` in a tmux pane for the README: the pane's text, and a PNG drawn from the
pane's cells with their colours (tmux capture-pane -e), one 8 x 16 block per cell: the background, then a
round dot or the quadrants of a block character in the foreground colour.

The capture is taken once the whole word is in view: when the leftmost lit dot is 8 to 30 cells from the
pane's left edge.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile
import time

DOT = "\u25cf"
QUADRANTS = {" ": 0, "\u2598": 1, "\u259d": 2, "\u2580": 3, "\u2596": 4, "\u258c": 5, "\u259e": 6, "\u259b": 7,
             "\u2597": 8, "\u259a": 9, "\u2590": 10, "\u259c": 11, "\u2584": 12, "\u2599": 13, "\u259f": 14,
             "\u2588": 15}
CELL_W, CELL_H = 8, 16
SGR = re.compile(r"\x1b\[([0-9;]*)m")


def cells(escaped):
    """Rows of (character, foreground, background) from capture-pane -e output."""
    rows = []
    for line in escaped.split("\n"):
        fg, bg, row, at = (204, 204, 204), (0, 0, 0), [], 0
        for match in SGR.finditer(line + "\x1b[m"):
            row += [(c, fg, bg) for c in line[at:match.start()]]
            at = match.end()
            codes = [int(c) for c in match.group(1).split(";") if c] or [0]
            i = 0
            while i < len(codes):
                if codes[i] == 0:
                    fg, bg = (204, 204, 204), (0, 0, 0)
                elif codes[i] in (38, 48) and codes[i + 1] == 2:
                    colour = tuple(codes[i + 2:i + 5])
                    fg, bg = (colour, bg) if codes[i] == 38 else (fg, colour)
                    i += 4
                i += 1
        rows.append(row)
    return rows


def leftmost_lit(rows):
    lit = [x for row in rows for x, (c, fg, _) in enumerate(row) if c == DOT and max(fg) == 255]
    return min(lit) if lit else None


def paint(c, fg, bg, x, y):
    """The colour of pixel (x, y) of a cell."""
    if c == DOT:
        return fg if (x - 3.5) ** 2 + (y - 7.5) ** 2 <= 3.6 ** 2 else bg
    quadrant = (x >= CELL_W // 2) + 2 * (y >= CELL_H // 2)
    return fg if QUADRANTS.get(c, 0) >> quadrant & 1 else bg


def render(rows, path):
    """Draws the cells into a PPM and has ImageMagick turn it into a PNG."""
    width = max(len(row) for row in rows) * CELL_W
    height = len(rows) * CELL_H
    pixels = bytearray(width * height * 3)
    for row_index, row in enumerate(rows):
        for column, (c, fg, bg) in enumerate(row):
            for y in range(CELL_H):
                for x in range(CELL_W):
                    at = ((row_index * CELL_H + y) * width + column * CELL_W + x) * 3
                    pixels[at:at + 3] = bytes(paint(c, fg, bg, x, y))
    with tempfile.NamedTemporaryFile(suffix=".ppm", delete=False) as ppm:
        ppm.write(f"P6 {width} {height} 255\n".encode() + bytes(pixels))
    try:
        subprocess.run(["convert", ppm.name, path], check=True)
    finally:
        os.unlink(ppm.name)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--glimmer", required=True)
    parser.add_argument("--text", required=True, help="where to write the pane's text")
    parser.add_argument("--png", required=True, help="where to write the picture of the pane")
    args = parser.parse_args()
    env = {k: v for k, v in os.environ.items() if not k.startswith("TMUX") and k != "LC_ALL"}
    env["LANG"] = "C.UTF-8"
    with tempfile.TemporaryDirectory() as tmp:
        tmux = ["tmux", "-u", "-S", os.path.join(tmp, "sock"), "-f", "/dev/null"]
        subprocess.run(tmux + ["new-session", "-d", "-x", "86", "-y", "12", args.glimmer + " --terminal"], env=env,
                       check=True)
        try:
            deadline = time.monotonic() + 30
            while time.monotonic() < deadline:
                escaped = subprocess.run(tmux + ["capture-pane", "-p", "-e"], env=env, capture_output=True,
                                         text=True, check=True).stdout
                text = subprocess.run(tmux + ["capture-pane", "-p"], env=env, capture_output=True, text=True,
                                      check=True).stdout
                rows = cells(escaped.rstrip("\n"))[:11]
                if (leftmost_lit(rows) or 0) in range(8, 31):
                    with open(args.text, "w") as f:
                        f.write("\n".join(line.rstrip() for line in text.split("\n")[:11]) + "\n")
                    render(rows, args.png)
                    return 0
                time.sleep(0.05)
            print("the sign did not show its text in time", file=sys.stderr)
            return 1
        finally:
            subprocess.run(tmux + ["kill-server"], env=env, capture_output=True)


if __name__ == "__main__":
    sys.exit(main())
