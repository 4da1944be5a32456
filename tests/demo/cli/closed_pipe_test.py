#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""End-to-end test: standard output a pipe that nobody reads any more.

Every way the program writes standard output is run into a pipe whose reading end is closed before the
program starts, so that its first write fails: the program must end with status 1 and say why, as it does
for a full disk, rather than die silently by SIGPIPE (status 141 in a shell).
"""

import argparse
import os
import subprocess
import sys
import tempfile

MESSAGES = {
    "help": "glimmer: cannot write to standard output: Broken pipe",
    "frames": "glimmer: cannot write to standard output: Broken pipe",
    "save": "glimmer: cannot save the form: standard output: Broken pipe",
    "record": "glimmer: cannot write the GIF: standard output: Broken pipe",
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--glimmer", required=True)
    args = parser.parse_args()
    failed = 0
    with tempfile.TemporaryDirectory() as tmp:
        rows = [("help", ["--help"]), ("frames", ["--frames", os.path.join(tmp, "f"), "--ticks", "130"]),
                ("save", ["--save", "-"]), ("record", ["--record", "-"])]
        for name, options in rows:
            read_end, write_end = os.pipe()
            os.close(read_end)
            env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
            done = subprocess.run([args.glimmer] + options, stdout=write_end, stderr=subprocess.PIPE, text=True,
                                  env=env, timeout=120)
            os.close(write_end)
            if done.returncode != 1 or MESSAGES[name] not in done.stderr:
                failed += 1
                print(f"FAILED {name}: status {done.returncode}, standard error {done.stderr.strip()!r}")
            else:
                print(f"ok {name}")
    print(f"closed_pipe_test: {len(rows) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
