#!/usr/bin/env python3
"""End-to-end test of the terminal mode: glimmer in a tmux pane.

Runs `glimmer --terminal` (and plain `glimmer` without a display) in panes of a private tmux server, reads
the panes with capture-pane, and checks that the sign shows (84 x 11 cells of dots and rings, lit dots in
24-bit green), that a narrow pane shows the part that fits without wrapping, and that q, Ctrl-C, SIGINT and
SIGTERM all give the terminal back as it was: the alternate screen left, the cursor shown, the text from
before on the screen, and no colour left set. The exit statuses are 0 for a key and 128 + the signal's
number for a signal.

Waits on real time, with generous limits: it drives a real program.
"""

import argparse
import os
import shlex
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../../scripts/lib"))
from harness import Failure, wait_for  # noqa: E402

DOT = "\u25cf"
LIT_GREEN = "38;2;0;255;0"


class Tmux:
    """A tmux server of the test's own, so that nothing else's panes are touched."""

    def __init__(self, tmp):
        self.socket = os.path.join(tmp, "tmux.sock")
        self.env = {k: v for k, v in os.environ.items() if not k.startswith("TMUX")}
        self.env["LANG"] = "C.UTF-8"
        self.env.pop("LC_ALL", None)

    def __call__(self, *args):
        done = subprocess.run(["tmux", "-u", "-S", self.socket, "-f", "/dev/null", *args], env=self.env,
                              capture_output=True, text=True, timeout=30)
        if done.returncode != 0:
            raise Failure(f"tmux {' '.join(args)}: {done.stderr.strip()}")
        return done.stdout

    def start(self):
        """The server, with a session that lasts the whole test: a server whose last session ends exits,
        and a session started in that moment finds it gone."""
        self("new-session", "-d", "-s", "keep", "sleep 600")

    def kill(self):
        subprocess.run(["tmux", "-S", self.socket, "kill-server"], env=self.env, capture_output=True, timeout=30)


class Pane:
    """One run of glimmer in a pane of its own, between a line of text before it and its exit status."""

    def __init__(self, tmux, tmp, name, width, height, command):
        self.tmux, self.name = tmux, name
        self.pid_file = os.path.join(tmp, name + ".pid")
        script = (f"printf 'before {name}\\n'; sh -c 'echo $$ > {shlex.quote(self.pid_file)}; exec \"$@\"' - "
                  f"{command}; echo status=$?; sleep 600")
        tmux("new-session", "-d", "-s", name, "-x", str(width), "-y", str(height), script)

    def text(self):
        return self.tmux("capture-pane", "-p", "-t", self.name)

    def escaped(self):
        return self.tmux("capture-pane", "-p", "-e", "-t", self.name)

    def flag(self, name):
        return self.tmux("display-message", "-p", "-t", self.name, "#{" + name + "}").strip()

    def pid(self):
        with open(self.pid_file) as f:
            return int(f.read())

    def wait_for_sign(self):
        return wait_for(f"the sign in {self.name}",
                        lambda: self.flag("alternate_on") == "1" and DOT in self.text() and self.text())

    def wait_for_status(self):
        def status():
            for line in self.text().splitlines():
                if line.startswith("status="):
                    return line
            return None
        return wait_for(f"{self.name} to end", status)

    def check_restored(self, status):
        got = self.wait_for_status()
        if got != status:
            raise Failure(f"{self.name}: {got}, not {status}\n{self.text()}")
        if self.flag("alternate_on") != "0":
            raise Failure(f"{self.name}: still on the alternate screen")
        if self.flag("cursor_flag") != "1":
            raise Failure(f"{self.name}: the cursor is still hidden")
        text = self.text()
        if not text.startswith(f"before {self.name}\n"):
            raise Failure(f"{self.name}: the screen from before is gone:\n{text}")
        if DOT in text or "\u2584" in text:
            raise Failure(f"{self.name}: the sign is still on the screen:\n{text}")
        # The status line, written after glimmer ended, is in the terminal's own colours.
        for line in self.escaped().splitlines():
            if "status=" in line and "\x1b[" in line:
                raise Failure(f"{self.name}: colours were left set: {line!r}")
        self.tmux("kill-session", "-t", self.name)


def check_sign(text, columns):
    """The sign's 11 rows: rings around 9 rows of dots, `columns` cells wide, nothing below them."""
    lines = text.split("\n")
    sign = lines[:11]
    for row, line in enumerate(sign):
        if len(line) != columns:
            raise Failure(f"row {row} is {len(line)} cells wide, not {columns}: {line!r}")
        if 1 <= row <= 9 and (line[0] != "\u2590" or set(line[1:columns]) - {DOT, "\u2590"}):
            raise Failure(f"row {row} is not a row of dots between rings: {line!r}")
    if any(line.strip() for line in lines[11:]):
        raise Failure(f"something below the sign (a wrapped line?):\n{text}")


def test(args, tmp):
    glimmer = shlex.quote(args.glimmer)
    tmux = Tmux(tmp)
    try:
        tmux.start()
        # A wide pane: the whole sign; lit green dots come in; q ends it.
        pane = Pane(tmux, tmp, "quit", 100, 20, f"{glimmer} --terminal --text HI")
        check_sign(pane.wait_for_sign(), 84)
        wait_for("lit green dots", lambda: LIT_GREEN in pane.escaped())
        if pane.flag("cursor_flag") != "0":
            raise Failure("the cursor shows while the sign runs")
        pane.tmux("send-keys", "-t", pane.name, "q")
        pane.check_restored("status=0")

        pane = Pane(tmux, tmp, "ctrlc", 100, 20, f"{glimmer} --terminal")
        pane.wait_for_sign()
        pane.tmux("send-keys", "-t", pane.name, "C-c")
        pane.check_restored("status=0")

        for name, signal, status in (("sigint", 2, 130), ("sigterm", 15, 143)):
            pane = Pane(tmux, tmp, name, 100, 20, f"{glimmer} --terminal --color red")
            pane.wait_for_sign()
            os.kill(pane.pid(), signal)
            pane.check_restored(f"status={status}")

        # A pane narrower than the sign: the left part, cut at the edge, nothing wrapped.
        pane = Pane(tmux, tmp, "narrow", 40, 20, f"{glimmer} --terminal")
        check_sign(pane.wait_for_sign(), 40)
        pane.tmux("send-keys", "-t", pane.name, "q")
        pane.check_restored("status=0")

        # No display: plain glimmer says so on one line and shows the sign here.
        pane = Pane(tmux, tmp, "fallback", 120, 20, f"env -u DISPLAY -u WAYLAND_DISPLAY {glimmer}")
        check_sign(pane.wait_for_sign(), 84)
        pane.tmux("send-keys", "-t", pane.name, "q")
        pane.wait_for_status()
        notice = pane.text().split("\n")[1]
        if not notice.startswith("glimmer: no display") or "showing the sign in this terminal" not in notice:
            raise Failure(f"no notice of the terminal: {pane.text()}")
        print("terminal mode: sign shown, and the terminal restored after q, Ctrl-C, SIGINT and SIGTERM")
    finally:
        tmux.kill()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--glimmer", required=True)
    args = parser.parse_args()
    if shutil.which("tmux") is None:
        print("FAILED: tmux is missing")
        return 1
    with tempfile.TemporaryDirectory() as tmp:
        try:
            test(args, tmp)
        except Failure as failure:
            print(f"FAILED: {failure}")
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
