# SPDX-License-Identifier: MIT
"""What the scripts and the end-to-end tests share when they drive real programs: a failure type, a wait on
a condition, and a private Xvfb server."""

import os
import subprocess
import time


class Failure(Exception):
    pass


def wait_for(what, probe, timeout=20):
    """Calls probe() every 0.1 s until it gives something true, and returns that; Failure after timeout s."""
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.1)


def start_xvfb(width=800, height=600):
    """A private Xvfb on a free display; returns (process, ":N").

    -noreset: by default the server resets when its last client leaves, and a client that connects during
    the reset is refused; programs, Qt and xdotool connect one after another.
    """
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp",
         "-noreset"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as numbers:
        number = numbers.readline().strip()
    if not number:
        server.kill()
        raise Failure("Xvfb did not start")
    return server, ":" + number
