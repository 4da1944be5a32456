#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""End-to-end test of the real window: glimmer under Xvfb.

Starts a private Xvfb server, runs glimmer on it, finds the "Glimmer" window, and checks from screenshots
that LED1 sits at (8, 8) of the client area with its grey and white rings, its dim green grid and, once the
text is in, lit green dots. Then it closes the window with a WM_DELETE_WINDOW message, as a window
manager's close button would, and expects the program to end with status 0 and to have printed nothing.

With --board, it then opens that form made in Qt Designer (glimmer --form FILE.ui), waits for the lit dots
of each of its colours, and closes it the same way.

Waits on real time, with generous limits: it drives a real program.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../../scripts/lib"))
from harness import Failure, start_xvfb, wait_for  # noqa: E402

SCREEN_W, SCREEN_H = 800, 600
CLIENT_W, CLIENT_H = 265, 112
LED_X, LED_Y, LED_W, LED_H = 8, 8, 251, 32
GREY, WHITE, BLACK = (0x73, 0x73, 0x73), (0xFF, 0xFF, 0xFF), (0, 0, 0)
DIM_GREEN, LIT_GREEN = (0x00, 0x77, 0x00), (0x00, 0xFF, 0x00)


def run(command, env):
    return subprocess.run(command, env=env, capture_output=True, text=True, timeout=60)


def find_window(env):
    found = run(["xdotool", "search", "--onlyvisible", "--name", "^Glimmer$"], env)
    ids = found.stdout.split()
    return ids[0] if found.returncode == 0 and ids else None


def geometry(window, env):
    shell = run(["xdotool", "getwindowgeometry", "--shell", window], env).stdout
    values = dict(line.split("=", 1) for line in shell.split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def screenshot(env, path):
    """The whole screen as rows of (r, g, b), read from a binary PPM that ImageMagick writes."""
    subprocess.run(["import", "-silent", "-window", "root", "-depth", "8", path], env=env, check=True, timeout=60)
    with open(path, "rb") as f:
        data = f.read()
    fields, start = [], 0
    while len(fields) < 4:
        while data[start:start + 1].isspace():
            start += 1
        if data[start:start + 1] == b"#":
            start = data.index(b"\n", start)
            continue
        end = start
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[start:end])
        start = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise Failure(f"unexpected screenshot format {fields}")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[start + 1:]
    return [[tuple(pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)] for y in range(height)]


def led_pixels(shot, client_x, client_y):
    x0, y0 = client_x + LED_X, client_y + LED_Y
    return [row[x0:x0 + LED_W] for row in shot[y0:y0 + LED_H]]


def check_frame(led, where):
    """Rings, and a display window of black, dim green and lit green only; returns the two green counts."""
    w, h = LED_W, LED_H
    for x in range(w):
        for y, colour in ((0, GREY), (h - 1, GREY)):
            if led[y][x] != colour:
                raise Failure(f"{where}: outer ring pixel ({x}, {y}) is {led[y][x]}, not grey")
    for y in range(h):
        for x, colour in ((0, GREY), (w - 1, GREY)):
            if led[y][x] != colour:
                raise Failure(f"{where}: outer ring pixel ({x}, {y}) is {led[y][x]}, not grey")
    for x in range(1, w - 1):
        for y in (1, h - 2):
            if led[y][x] != WHITE:
                raise Failure(f"{where}: inner ring pixel ({x}, {y}) is {led[y][x]}, not white")
    for y in range(1, h - 1):
        for x in (1, w - 2):
            if led[y][x] != WHITE:
                raise Failure(f"{where}: inner ring pixel ({x}, {y}) is {led[y][x]}, not white")
    counts = {BLACK: 0, DIM_GREEN: 0, LIT_GREEN: 0}
    for y in range(2, h - 2):
        for x in range(2, w - 2):
            colour = led[y][x]
            if colour not in counts:
                raise Failure(f"{where}: display pixel ({x}, {y}) is {colour}")
            counts[colour] += 1
    # Before the first tick the display is still black; from then on it shows 82 columns x 9 rows of 2 x 2
    # dots, each dim or lit.
    if counts[DIM_GREEN] + counts[LIT_GREEN] not in (0, 82 * 9 * 4):
        raise Failure(f"{where}: {counts[DIM_GREEN]} dim and {counts[LIT_GREEN]} lit pixels, not 82 x 9 dots")
    return counts[DIM_GREEN], counts[LIT_GREEN]


def close_and_expect_success(glimmer, window, args, env):
    """Closes the window as a window manager would; glimmer must end with status 0 and print nothing."""
    subprocess.run([args.close_window, window], env=env, check=True, timeout=30)
    try:
        out, err = glimmer.communicate(timeout=30)
    except subprocess.TimeoutExpired:
        raise Failure("glimmer did not end after its window was closed")
    if glimmer.returncode != 0:
        raise Failure(f"glimmer ended with status {glimmer.returncode}: {err.decode(errors='replace')}")
    if out:
        raise Failure(f"glimmer printed {out!r} on standard output")


def test_designer_form(args, env, tmp):
    """glimmer --form BOARD.ui: a window named after the form, showing lit dots of red, green and yellow."""
    glimmer = subprocess.Popen([args.glimmer, "--form", args.board], env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE)
    try:
        def board_window():
            if glimmer.poll() is not None:
                raise Failure(f"glimmer --form ended early: {glimmer.stderr.read().decode(errors='replace')}")
            found = run(["xdotool", "search", "--onlyvisible", "--name", "^Departures$"], env).stdout.split()
            return found[0] if found else None

        window = wait_for("the Departures window", board_window, 30)
        x, y, w, h = geometry(window, env)
        path = os.path.join(tmp, "board.ppm")
        lit = {"red": (0xFF, 0, 0), "green": (0, 0xFF, 0), "yellow": (0xFF, 0xFF, 0)}

        def every_colour_lit():
            shot = screenshot(env, path)
            seen = {colour for row in shot[y:y + h] for colour in row[x:x + w]}
            return all(c in seen for c in lit.values())

        wait_for("lit red, green and yellow dots on the board", every_colour_lit, 30)
        print(f"board {window} at ({x}, {y}), {w} x {h}: lit red, green and yellow dots")
        close_and_expect_success(glimmer, window, args, env)
    finally:
        if glimmer.poll() is None:
            glimmer.kill()
            glimmer.wait()


def test(args, tmp):
    server, display = start_xvfb(SCREEN_W, SCREEN_H)
    env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR")}
    env["DISPLAY"] = display
    runtime = os.path.join(tmp, "runtime")
    os.mkdir(runtime, 0o700)
    env["XDG_RUNTIME_DIR"] = runtime
    glimmer = None
    try:
        glimmer = subprocess.Popen([args.glimmer], env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        window = wait_for("the Glimmer window", lambda: glimmer.poll() is None and find_window(env) or None, 30)
        x, y, w, h = geometry(window, env)
        if (w, h) != (CLIENT_W, CLIENT_H):
            raise Failure(f"client area is {w} x {h}, not {CLIENT_W} x {CLIENT_H}")
        if abs(x - (SCREEN_W - w) // 2) > 1 or abs(y - (SCREEN_H - h) // 2) > 1:
            raise Failure(f"window at ({x}, {y}) is not centred on the {SCREEN_W} x {SCREEN_H} screen")
        path = os.path.join(tmp, "screen.ppm")

        last_problem = ["no screenshot taken"]

        def lit_frame():
            # A window that has only just been mapped may not be painted yet: a wrong frame is retried until
            # the time is up, and then reported.
            shot = screenshot(env, path)
            try:
                # Just left of and above LED1 lies the window's own background, not the ring.
                if shot[y + LED_Y][x + LED_X - 1] == GREY or shot[y + LED_Y - 1][x + LED_X] == GREY:
                    raise Failure("LED1 is not at (8, 8) of the client area")
                dim, lit = check_frame(led_pixels(shot, x, y), "screenshot")
            except Failure as problem:
                last_problem[0] = str(problem)
                return None
            last_problem[0] = "no lit dot yet"
            return (dim, lit) if lit > 0 else None

        try:
            dim, lit = wait_for("lit green dots", lit_frame, 30)
        except Failure as failure:
            raise Failure(f"{failure}; last: {last_problem[0]}")
        print(f"window {window} at ({x}, {y}), {w} x {h}; LED1: {dim} dim and {lit} lit green pixels")
        if args.screenshot:
            subprocess.run(["convert", path, "-crop", f"{w}x{h}+{x}+{y}", "+repage", args.screenshot], check=True)

        close_and_expect_success(glimmer, window, args, env)
        if args.board:
            test_designer_form(args, env, tmp)
    finally:
        if glimmer is not None and glimmer.poll() is None:
            glimmer.kill()
            glimmer.wait()
        server.terminate()
        server.wait(timeout=30)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--glimmer", required=True)
    parser.add_argument("--close-window", required=True)
    parser.add_argument("--screenshot", help="where to save a PNG of the window")
    parser.add_argument("--board", help="a form made in Qt Designer to open as well")
    args = parser.parse_args()
    missing = [tool for tool in ("Xvfb", "import", "convert", "xdotool") if shutil.which(tool) is None]
    if missing:
        print(f"FAILED: missing {', '.join(missing)} (scripts/test installs xvfb, imagemagick and xdotool)")
        return 1
    with tempfile.TemporaryDirectory() as tmp:
        try:
            test(args, tmp)
        except Failure as failure:
            print(f"FAILED: {failure}")
            return 1
    print(f"window_e2e_test: {2 if args.board else 1} passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
