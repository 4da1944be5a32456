#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""glimmer --record read back by a decoder of its own: ImageMagick.

For each run, records the GIF and writes the --frames PNGs of the same run; ImageMagick composes the GIF's
frames as a viewer shows them (-coalesce: each frame drawn over the last, its transparent pixels leaving
what was there) and reads the PNGs; every frame must be the tick's PNG, drawn `scale` times larger, and
opaque.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../../scripts/lib"))
from harness import Failure  # noqa: E402

# name: (options, ticks, scale)
RUNS = {
    "demo pass": ([], None, 1),
    "demo twice as large": ([], 60, 2),
    "red without rings, once": (["--text", "HI", "--color", "red", "--border", "off", "--once", "--width", "100"],
                                500, 1),
    "yellow, three times as large": (["--text", "A-Z: 09", "--color", "yellow"], 40, 3),
}


def magick(*args):
    return subprocess.run(["convert", *args], capture_output=True, check=True, timeout=120).stdout


def size_of(path):
    out = subprocess.run(["identify", "-format", "%w %h\n", path], capture_output=True, text=True, check=True,
                         timeout=60).stdout
    return tuple(int(v) for v in out.splitlines()[0].split())


def enlarged(rgb, width, height, scale):
    """Raw RGB rows, each pixel repeated `scale` times across and each row `scale` times down."""
    rows = []
    for y in range(height):
        row = rgb[3 * width * y:3 * width * (y + 1)]
        wide = b"".join(row[3 * x:3 * x + 3] * scale for x in range(width))
        rows.extend([wide] * scale)
    return b"".join(rows)


def check(glimmer, name, options, ticks, scale, tmp):
    gif, pngs = os.path.join(tmp, "sign.gif"), os.path.join(tmp, "png")
    shutil.rmtree(pngs, ignore_errors=True)
    record = [glimmer, "--record", gif, "--scale", str(scale), *options]
    if ticks:
        record += ["--ticks", str(ticks)]
    recorded = subprocess.run(record, capture_output=True, text=True, timeout=120)
    if recorded.returncode != 0:
        raise Failure(f"{name}: --record failed: {recorded.stderr}")
    ran = ticks or (recorded.stdout.split() or ["0", "0"])[1]
    framed = subprocess.run([glimmer, "--frames", pngs, "--ticks", str(ran), *options], capture_output=True,
                            text=True, timeout=120)
    if framed.returncode != 0:
        raise Failure(f"{name}: --frames failed: {framed.stderr}")
    names = sorted(os.listdir(pngs))
    width, height = size_of(os.path.join(pngs, names[0]))
    frame_bytes = width * scale * height * scale * 4
    shown = magick(gif, "-coalesce", "rgba:-")
    if len(shown) != frame_bytes * len(names):
        raise Failure(f"{name}: ImageMagick shows {len(shown) / frame_bytes:g} frames of "
                      f"{width * scale} x {height * scale}, not {len(names)}")
    for i, png in enumerate(names):
        rgba = shown[i * frame_bytes:(i + 1) * frame_bytes]
        if any(alpha != 255 for alpha in rgba[3::4]):
            raise Failure(f"{name}: frame {i + 1} is not opaque everywhere")
        rgb = bytes(b for j, b in enumerate(rgba) if j % 4 != 3)
        expected = enlarged(magick(os.path.join(pngs, png), "rgb:-"), width, height, scale)
        if rgb != expected:
            first = next(j for j in range(len(rgb)) if rgb[j] != expected[j]) // 3
            raise Failure(f"{name}: frame {i + 1} differs from {png} first at pixel "
                          f"({first % (width * scale)}, {first // (width * scale)})")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--glimmer", required=True)
    args = parser.parse_args()
    missing = [tool for tool in ("convert", "identify") if shutil.which(tool) is None]
    if missing:
        print(f"FAILED: missing {', '.join(missing)} (scripts/test installs imagemagick)")
        return 1
    failed = 0
    with tempfile.TemporaryDirectory() as tmp:
        for name, (options, ticks, scale) in RUNS.items():
            try:
                check(args.glimmer, name, options, ticks, scale, tmp)
            except (Failure, subprocess.CalledProcessError, subprocess.TimeoutExpired) as failure:
                print(f"FAILED: {failure}")
                failed += 1
    print(f"record_magick_test: {len(RUNS) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
