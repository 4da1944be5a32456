#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Takes the README's pictures of the sign in Qt Designer and of a form made there, on a private Xvfb:

  --designer-png: Qt Designer 6 with the installed plugin (QT_PLUGIN_PATH), driven with xdotool as a user
      would: the widget box filtered to the "Glimmer" group, a sign dragged from it onto a form that already
      holds a green sign, that sign selected, the property editor with its groups (QWidget's folded away)
      and the tool tip of "color";
  --board-png: glimmer --form examples/board.ui, the departures board, in its own window.

Designer starts with fresh settings (a HOME of its own), so its docks are where a first run puts them; the
places clicked below are for that layout on a 1280 x 800 screen.
"""

import argparse
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Failure, start_xvfb, wait_for  # noqa: E402

SCREEN_W, SCREEN_H = 1280, 800

# A form with one sign on it, as Designer saves it.
FORM = """<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>Form</class>
 <widget class="QWidget" name="Form">
  <property name="geometry"><rect><x>0</x><y>0</y><width>340</width><height>160</height></rect></property>
  <property name="windowTitle"><string>Form</string></property>
  <widget class="glimmer::qt::LedSign" name="ledSign">
   <property name="geometry"><rect><x>20</x><y>20</y><width>302</width><height>32</height></rect></property>
   <property name="text"><string>HELLO FROM DESIGNER</string></property>
   <property name="color"><enum>glimmer::qt::LedSignProperties::Green</enum></property>
   <property name="repeated"><bool>true</bool></property>
  </widget>
 </widget>
 <customwidgets>
  <customwidget>
   <class>glimmer::qt::LedSign</class>
   <extends>QWidget</extends>
   <header location="global">glimmer/qt/led_sign.h</header>
  </customwidget>
 </customwidgets>
</ui>
"""


def xdotool(env, *args):
    subprocess.run(["xdotool", *args], env=env, check=True, timeout=30)


def find_window(env, name):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name], env=env, capture_output=True,
                           text=True, timeout=30)
    return found.stdout.split()[0] if found.stdout.split() else None


def drag(env, start, end):
    xdotool(env, "mousemove", *map(str, start), "mousedown", "1")
    (x0, y0), (x1, y1) = start, end
    for step in range(1, 9):
        xdotool(env, "mousemove", str(x0 + (x1 - x0) * step // 8), str(y0 + (y1 - y0) * step // 8))
        time.sleep(0.1)
    time.sleep(0.4)
    xdotool(env, "mouseup", "1")


def click(env, x, y, pause=0.6):
    xdotool(env, "mousemove", str(x), str(y), "click", "1")
    time.sleep(pause)


def designer_picture(args, env, tmp):
    form = os.path.join(tmp, "form.ui")
    with open(form, "w") as f:
        f.write(FORM)
    designer_env = dict(env, QT_PLUGIN_PATH=args.plugins)
    designer = subprocess.Popen([args.designer, "-geometry", f"{SCREEN_W}x{SCREEN_H}+0+0", form], env=designer_env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wait_for("Qt Designer", lambda: find_window(env, "Qt Designer"), 60)
        time.sleep(3)
        for _ in range(3):  # the resource browser, action editor and signal/slot editor closed
            click(env, 1272, 547)
        drag(env, (1020, 300), (860, 300))  # the docks on the right wider
        drag(env, (1150, 403), (1150, 200))  # the property editor taller
        click(env, 127, 91, 0.2)  # the widget box's filter
        xdotool(env, "type", "LED")
        time.sleep(0.8)
        drag(env, (60, 135), (310, 175))  # a new sign onto the form
        time.sleep(1)
        click(env, 437, 118)  # the green sign selected
        click(env, 875, 377)  # QWidget's properties folded
        xdotool(env, "mousemove", "900", "484")  # over "color", for its tool tip
        time.sleep(0.3)
        xdotool(env, "mousemove", "903", "485")
        time.sleep(3)
        shot = os.path.join(tmp, "designer.png")
        subprocess.run(["import", "-silent", "-window", "root", shot], env=env, check=True, timeout=60)
        subprocess.run(["convert", shot, "-crop", f"{SCREEN_W}x540+0+0", "+repage", args.designer_png], check=True)
    finally:
        designer.kill()
        designer.wait()


def board_picture(args, env, tmp):
    glimmer = subprocess.Popen([args.glimmer, "--form", args.board], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        window = wait_for("the Departures window", lambda: find_window(env, "^Departures$"), 30)
        time.sleep(2.5)
        geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], env=env, check=True,
                                  capture_output=True, text=True).stdout
        g = dict(line.split("=", 1) for line in geometry.split())
        shot = os.path.join(tmp, "board.png")
        subprocess.run(["import", "-silent", "-window", "root", shot], env=env, check=True, timeout=60)
        subprocess.run(["convert", shot, "-crop", f"{g['WIDTH']}x{g['HEIGHT']}+{g['X']}+{g['Y']}", "+repage",
                        args.board_png], check=True)
    finally:
        glimmer.kill()
        glimmer.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--designer", required=True, help="Qt Designer's program")
    parser.add_argument("--plugins", required=True, help="the Qt plugin folder the plugin is installed under")
    parser.add_argument("--designer-png", required=True)
    parser.add_argument("--glimmer", required=True)
    parser.add_argument("--board", required=True, help="examples/board.ui")
    parser.add_argument("--board-png", required=True)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as tmp:
        server, display = start_xvfb(SCREEN_W, SCREEN_H)
        home, runtime = os.path.join(tmp, "home"), os.path.join(tmp, "runtime")
        os.mkdir(home)
        os.mkdir(runtime, 0o700)
        env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_PLUGIN_PATH")}
        env.update(DISPLAY=display, HOME=home, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=os.path.join(home, ".config"))
        try:
            designer_picture(args, env, tmp)
            board_picture(args, env, tmp)
        except Failure as failure:
            print(f"FAILED: {failure}")
            return 1
        finally:
            server.terminate()
            server.wait(timeout=30)
    return 0


if __name__ == "__main__":
    sys.exit(main())
