#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Two LED signs in a PyQt6 window, as examples/embed_sign.cpp in C++: each sits in a layout like any widget,
# its properties are set through Qt's property system or its setters, and a label counts the passes of the
# first one. It needs the module glimmer on Python's path:
#   PYTHONPATH=build/python python3 examples/sign.py                            (as built in this tree)
#   PYTHONPATH=<prefix>/lib/python3.11/site-packages python3 examples/sign.py   (as installed into <prefix>)
import sys

from PyQt6.QtWidgets import QApplication, QLabel, QVBoxLayout, QWidget

from glimmer import LedSign


def make_window():
    window = QWidget()
    window.setWindowTitle("Signs in Python")
    layout = QVBoxLayout(window)
    window.passes = QLabel("Passes: 0")

    sign = LedSign()
    sign.setProperty("text", "HELLO FROM PYTHON")
    sign.setProperty("color", LedSign.Color.Yellow)
    sign.setProperty("repeated", True)
    count = 0

    def count_pass():
        nonlocal count
        count += 1
        window.passes.setText(f"Passes: {count}")

    sign.passFinished.connect(count_pass)
    layout.addWidget(sign)
    sign.start()

    # Wider than a new sign: the layout gives it 302 pixels, a width of the form 3n + 2, which the sign fills
    # (within any other width it draws the widest such sign). The first sign keeps its width at the start of
    # the space the layout offers it.
    wide = LedSign()
    wide.setMinimumWidth(302)
    wide.setText("PYQT6 12:34")
    wide.setColor(LedSign.Color.Green)
    wide.setDelay(30)
    wide.setRepeated(True)
    layout.addWidget(wide)
    layout.addWidget(window.passes)
    wide.start()
    return window


if __name__ == "__main__":
    app = QApplication(sys.argv)
    window = make_window()
    window.show()
    sys.exit(app.exec())
