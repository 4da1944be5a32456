#!/usr/bin/env python3
"""End-to-end test of the real program where no window can open, or where the window's environment is bad.

Runs glimmer with standard output a pipe (no terminal to fall back on) and checks that each case ends with
one line on standard error and the right status, instead of Qt's abort or a wait without end:
- a Wayland name without a compositor (status 1);
- a QT_QPA_PLATFORM whose plugin does not exist (status 1);
- an X display whose socket accepts the connection and never answers (status 1, once the probe's time
  limit of a few seconds has passed);
- on a platform that works (Qt's offscreen one), a GLIMMER_TICK_COUNT out of range (status 2), and a tick
  log that cannot be written (said at once, while the window runs).

Waits on real time, with generous limits: it drives a real program.
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
    """A listening socket that never answers, at an X display number nothing uses: (socket, ":N").

    It is the abstract name that libxcb tries first on Linux, so nothing is left in the file system.
    """
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


def environment(tmp, **changes):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE") and
           not k.startswith("GLIMMER_TICK")}
    env["XDG_RUNTIME_DIR"] = tmp
    env.update(changes)
    return env


def check_ends(glimmer, name, env, status, says):
    done = subprocess.run([glimmer], env=env, stdin=subprocess.DEVNULL, capture_output=True, text=True,
                          timeout=60)
    lines = done.stderr.splitlines()
    if done.returncode != status or len(lines) != 1 or not lines[0].startswith("glimmer: " + says):
        raise Failure(f"{name}: status {done.returncode} (not {status}), said:\n{done.stderr}")
    if done.stdout:
        raise Failure(f"{name}: wrote to standard output: {done.stdout!r}")
    print(f"{name}: status {status}, {lines[0]}")


def test(glimmer, tmp):
    check_ends(glimmer, "Wayland without a compositor", environment(tmp, WAYLAND_DISPLAY="wayland-9"), 1,
               "cannot open the Wayland display wayland-9")
    check_ends(glimmer, "a platform that cannot start",
               environment(tmp, DISPLAY=":0", QT_QPA_PLATFORM="no-such-platform"), 1,
               "cannot open the platform 'no-such-platform' that QT_QPA_PLATFORM names")
    sock, display = silent_display()
    with sock:
        check_ends(glimmer, "a display that never answers", environment(tmp, DISPLAY=display), 1,
                   f"the display {display} does not answer (nothing within 5 s)")

    offscreen = {"DISPLAY": ":0", "QT_QPA_PLATFORM": "offscreen"}
    check_ends(glimmer, "a tick count out of range",
               environment(tmp, GLIMMER_TICK_COUNT="99999999999", GLIMMER_TICK_LOG=os.path.join(tmp, "ticks"),
                           **offscreen), 2,
               "GLIMMER_TICK_COUNT is '99999999999', not a number of ticks from 1 to 1000000")

    log = os.path.join(tmp, "missing", "ticks")
    errors = os.path.join(tmp, "errors")
    with open(errors, "w") as err:
        window = subprocess.Popen([glimmer], env=environment(tmp, GLIMMER_TICK_LOG=log, **offscreen),
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=err)
    try:
        def said():
            with open(errors) as f:
                return f"glimmer: cannot write the tick log {log}: No such file or directory\n" in f.read()
        wait_for("the tick log's failure on standard error", said)
        if window.poll() is not None:
            raise Failure(f"the window ended (status {window.returncode}) because of its tick log")
    finally:
        window.terminate()
        window.wait(timeout=30)
    print("a tick log that cannot be written: said at once, the window runs")


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
