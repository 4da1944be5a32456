#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""End-to-end test of the terminal mode: glimmer in a tmux pane.

Runs `glimmer --terminal` (and plain `glimmer` without a usable display) in panes of a private tmux
server, reads the panes with capture-pane, and checks that the sign shows (84 x 11 cells of dots and rings,
lit dots in 24-bit green), that a narrow pane shows the part that fits without wrapping, and that q,
Ctrl-C and every signal that ends a program (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM,
SIGPIPE, a real-time signal, and SIGABRT, a fault's signal sent from outside) give the terminal back as it
was: the alternate screen left, the cursor shown, the text from before on the screen, and no colour left
set. The exit statuses are 0 for a key and 128 + the signal's number for a signal. A stop from outside
(kill -TSTP) gives the terminal back to the shell, and `fg` takes it again with the keyboard raw, so that q
alone ends it. With TERM=vt100, whose cursor moves carry padding, no padding code reaches the screen.

Waits on real time, with generous limits: it drives a real program.
"""

import argparse
import os
import shlex
import shutil
import signal
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

    def __init__(self, tmux, tmp, name, width, height, command, shell=False):
        self.tmux, self.name = tmux, name
        self.pid_file = os.path.join(tmp, name + ".pid")
        # No core files from the signals that make them.
        before = f"ulimit -c 0; printf 'before {name}\\n'; "
        self.shell = shell
        if shell:
            # An interactive shell with job control, given the command as if typed: glimmer is the job.
            tmux("new-session", "-d", "-s", name, "-x", str(width), "-y", str(height),
                 "env PS1='$ ' bash --norc --noprofile -i")
            wait_for(f"the shell in {name}", lambda: self.text().startswith("$"))
            tmux("send-keys", "-t", name, f"clear; {before}{command}", "Enter")
        else:
            # The pid file, then glimmer in the same process.
            tmux("new-session", "-d", "-s", name, "-x", str(width), "-y", str(height),
                 f"{before}sh -c 'echo $$ > {shlex.quote(self.pid_file)}; exec \"$@\"' - {command}; "
                 "echo status=$?; sleep 600")

    def text(self):
        return self.tmux("capture-pane", "-p", "-t", self.name)

    def escaped(self):
        return self.tmux("capture-pane", "-p", "-e", "-t", self.name)

    def flag(self, name):
        return self.tmux("display-message", "-p", "-t", self.name, "#{" + name + "}").strip()

    def pid(self):
        def read():
            try:
                if self.shell:
                    shell = self.flag("pane_pid")
                    with open(f"/proc/{shell}/task/{shell}/children") as f:
                        return int(f.read().split()[0])
                with open(self.pid_file) as f:
                    return int(f.read())
            except (OSError, ValueError, IndexError):
                return None
        return wait_for(f"the pid of {self.name}", read)

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
        self.check_given_back()
        self.tmux("kill-session", "-t", self.name)

    def check_given_back(self):
        """The terminal as the shell had it: the screen from before, the cursor shown, no colour set."""
        if self.flag("alternate_on") != "0":
            raise Failure(f"{self.name}: still on the alternate screen")
        if self.flag("cursor_flag") != "1":
            raise Failure(f"{self.name}: the cursor is still hidden")
        text = self.text()
        if not text.startswith(f"before {self.name}\n"):
            raise Failure(f"{self.name}: the screen from before is gone:\n{text}")
        if DOT in text or "\u2584" in text:
            raise Failure(f"{self.name}: the sign is still on the screen:\n{text}")
        # What the shell writes after glimmer is in the terminal's own colours.
        for line in self.escaped().splitlines():
            if ("status=" in line or "Stopped" in line) and "\x1b[" in line:
                raise Failure(f"{self.name}: colours were left set: {line!r}")


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

        # Every signal that ends a program ends it the way the signal asks, after the terminal is restored;
        # the panes run side by side.
        signals = [signal.SIGINT, signal.SIGTERM, signal.SIGHUP, signal.SIGQUIT, signal.SIGUSR1,
                   signal.SIGUSR2, signal.SIGALRM, signal.SIGPIPE, signal.SIGRTMIN + 1, signal.SIGABRT]
        panes = [(Pane(tmux, tmp, f"signal{int(number)}", 100, 20, f"{glimmer} --terminal --color red"), number)
                 for number in signals]
        for pane, number in panes:
            pane.wait_for_sign()
            os.kill(pane.pid(), number)
        for pane, number in panes:
            pane.check_restored(f"status={128 + int(number)}")

        # A stop from outside gives the terminal back to the shell; fg takes it again, keyboard and all.
        pane = Pane(tmux, tmp, "stop", 100, 20, f"{glimmer} --terminal", shell=True)
        pane.wait_for_sign()
        os.kill(pane.pid(), signal.SIGTSTP)
        wait_for("the shell's notice of the stop", lambda: "Stopped" in pane.text())
        pane.check_given_back()
        pane.tmux("send-keys", "-t", pane.name, "fg", "Enter")
        check_sign(pane.wait_for_sign(), 84)
        if pane.flag("cursor_flag") != "0":
            raise Failure("the cursor shows after fg")
        # q alone, no Enter: the keyboard is raw again.
        pane.tmux("send-keys", "-t", pane.name, "q")
        wait_for("the shell after q", lambda: pane.flag("alternate_on") == "0")
        pane.tmux("send-keys", "-t", pane.name, "echo status=$?", "Enter")
        pane.check_restored("status=0")

        # vt100's cursor moves carry padding ($<5>), which is the terminal library's business, not text.
        pane = Pane(tmux, tmp, "vt100", 100, 20, f"env TERM=vt100 {glimmer} --terminal")
        check_sign(wait_for("the sign on a vt100", lambda: DOT in pane.text() and pane.text()), 84)
        if "$<" in pane.text():
            raise Failure(f"padding codes on the screen:\n{pane.text()}")
        pane.tmux("send-keys", "-t", pane.name, "q")
        if pane.wait_for_status() != "status=0" or "$<" in pane.text() or DOT in pane.text():
            raise Failure(f"vt100: not ended cleanly:\n{pane.text()}")

        # A pane narrower than the sign: the left part, cut at the edge, nothing wrapped.
        pane = Pane(tmux, tmp, "narrow", 40, 20, f"{glimmer} --terminal")
        check_sign(pane.wait_for_sign(), 40)
        pane.tmux("send-keys", "-t", pane.name, "q")
        pane.check_restored("status=0")

        # No display, or a Wayland name without a compositor: plain glimmer says so on one line and shows
        # the sign here.
        for name, env, says in (("fallback", "-u WAYLAND_DISPLAY", "glimmer: no display"),
                                ("wayland", f"WAYLAND_DISPLAY=wayland-9 XDG_RUNTIME_DIR={shlex.quote(tmp)}",
                                 "glimmer: cannot open the Wayland display wayland-9")):
            pane = Pane(tmux, tmp, name, 120, 20, f"env -u DISPLAY {env} {glimmer}")
            check_sign(pane.wait_for_sign(), 84)
            pane.tmux("send-keys", "-t", pane.name, "q")
            pane.wait_for_status()
            notice = pane.tmux("capture-pane", "-p", "-J", "-t", pane.name).split("\n")[1]
            if not notice.startswith(says) or "showing the sign in this terminal" not in notice:
                raise Failure(f"no notice of the terminal: {notice}")
        print("terminal mode: sign shown; the terminal restored after q, Ctrl-C and every ending signal, "
              "given back for a stop and taken again by fg; no padding as text; no display is no display")
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
