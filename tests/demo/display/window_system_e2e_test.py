#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""End-to-end test of the real program where no window can open, or where the window's environment is bad.

With standard output a pipe (no terminal to fall back on), each case must end with one line on standard
error and its status, not with Qt's abort or a wait without end: a Wayland name without a compositor, a
QT_QPA_PLATFORM that cannot start, an X display whose socket accepts and never answers (ended by the probe's
time limit), and, on Qt's offscreen platform, a GLIMMER_TICK_COUNT out of range. A tick log that cannot be
written is reported at once while the window runs.
"""

import argparse
import os
import socket
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../../scripts/lib"))
from harness import Failure, wait_for  # noqa: E402


def silent_display():
    """(socket, ":N"): a socket that accepts and never answers at an unused X display number, under the
    abstract name that libxcb tries first on Linux, so that nothing is left in the file system."""
    for number in range(90, 400):
        if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
            continue
        sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        try:
            sock.bind(f"\0/tmp/.X11-unix/X{number}")
            sock.listen(8)
            return sock, f":{number}"
        except OSError:
            sock.close()
    raise Failure("no free display number")


def test(glimmer, tmp):
    base = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM",
                                                              "XDG_SESSION_TYPE", "GLIMMER_TICK_LOG")}
    base["XDG_RUNTIME_DIR"] = tmp
    offscreen = {"DISPLAY": ":0", "QT_QPA_PLATFORM": "offscreen"}
    sock, display = silent_display()
    with sock:
        for name, env, status, says in (
                ("Wayland", {"WAYLAND_DISPLAY": "wayland-9"}, 1, "cannot open the Wayland display wayland-9"),
                ("platform", {"DISPLAY": ":0", "QT_QPA_PLATFORM": "no-such"}, 1,
                 "cannot open the platform 'no-such' that QT_QPA_PLATFORM names"),
                ("silent", {"DISPLAY": display}, 1, f"the display {display} does not answer (nothing within 5 s)"),
                ("ticks", {"GLIMMER_TICK_COUNT": "99999999999", "GLIMMER_TICK_LOG": tmp + "/t", **offscreen}, 2,
                 "GLIMMER_TICK_COUNT is '99999999999', not a number of ticks from 1 to 1000000")):
            done = subprocess.run([glimmer], env={**base, **env}, stdin=subprocess.DEVNULL, capture_output=True,
                                  text=True, timeout=60)
            lines = done.stderr.splitlines()
            if done.returncode != status or len(lines) != 1 or not lines[0].startswith("glimmer: " + says):
                raise Failure(f"{name}: status {done.returncode}, not {status}, and said:\n{done.stderr}")

    log, errors = os.path.join(tmp, "missing", "ticks"), os.path.join(tmp, "errors")
    with open(errors, "w") as err:
        window = subprocess.Popen([glimmer], env={**base, "GLIMMER_TICK_LOG": log, **offscreen},
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=err)
    try:
        wait_for("the tick log's failure", lambda: f"cannot write the tick log {log}: " in open(errors).read())
        if window.poll() is not None:
            raise Failure(f"the window ended (status {window.returncode}) because of its tick log")
    finally:
        window.terminate()
        window.wait(timeout=30)
    print("no window: one line and status 1 for Wayland, a bad platform and a silent display; bad tick "
          "count: status 2; unwritable tick log: said at once")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--glimmer", required=True)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as tmp:
        try:
            test(args.glimmer, tmp)
        except (Failure, subprocess.TimeoutExpired) as failure:
            print(f"FAILED: {failure}")
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
