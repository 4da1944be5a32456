# SPDX-License-Identifier: MIT
# LedSign from Python: its properties by name and by setter, the control's refusals, the end of a pass, the
# pixels against the same sign made in C++, mouse clicks, and a Python exception raised in a slot.
import os
import subprocess
import sys

import pytest
from PyQt6.QtCore import QPoint, QSize, Qt
from PyQt6.QtGui import QImage
from PyQt6.QtTest import QTest

from glimmer import LedSign

Color = LedSign.Color


def recorder(signal):
    """The arguments of every emission of signal, in a list."""
    seen = []
    signal.connect(lambda *args: seen.append(args))
    return seen


# name, setter, getter, a value the control accepts (different from a new sign's)
PROPERTIES = [
    ("text", "setText", "text", "HELLO 12:34"),
    ("color", "setColor", "color", Color.Yellow),
    ("delay", "setDelay", "delay", 120),
    ("repeated", "setRepeated", "isRepeated", True),
    ("borderStyle", "setBorderStyle", "borderStyle", 0),
    ("glyphs", "setGlyphs", "glyphs", LedSign.Glyphs.Latin1),
    ("upperCase", "setUpperCase", "isUpperCase", True),
]


@pytest.mark.parametrize("name,setter,getter,value", PROPERTIES, ids=[p[0] for p in PROPERTIES])
@pytest.mark.parametrize("how", ["by name", "by setter"])
def test_a_property_written_reads_back_and_notifies_once(sign, how, name, setter, getter, value):
    notified = recorder(getattr(sign, name + "Changed"))
    for _ in range(2):  # the second write changes nothing and notifies nothing
        if how == "by name":
            assert sign.setProperty(name, value)
        else:
            getattr(sign, setter)(value)
    assert getattr(sign, getter)() == value
    assert sign.property(name) == value
    assert notified == [(value,)]


# name, setter (None: Python's types refuse the value before the control sees it), refused values
REFUSALS = [
    ("color", None, [3, -1]),
    ("delay", "setDelay", [-1, 32768]),
    ("borderStyle", "setBorderStyle", [2, -1]),
]


@pytest.mark.parametrize("name,setter,refused", REFUSALS, ids=[r[0] for r in REFUSALS])
def test_a_refused_write_leaves_the_value_and_emits_nothing(sign, name, setter, refused):
    before = sign.property(name)
    notified = recorder(getattr(sign, name + "Changed"))
    for value in refused:
        sign.setProperty(name, value)
        if setter:
            getattr(sign, setter)(value)
    assert sign.property(name) == before
    assert notified == []


def pass_length(text, width):
    """Steps of one pass: the text enters at the right edge and leaves at the left, 6 dot columns a
    character, on a sign of (width - 2) / 3 dot columns."""
    return (width - 2) // 3 + 6 * len(text)


@pytest.mark.parametrize("text,width,repeated", [("HI", 161, False), ("GLIMMER 12", 302, True)])
def test_pass_finished_after_the_pass_length_in_steps(sign, text, width, repeated):
    sign.setText(text)
    sign.setRepeated(repeated)
    sign.resize(width, 32)
    finished_at = []
    steps = 0
    sign.passFinished.connect(lambda: finished_at.append(steps + 1))
    assert sign.start()
    assert sign.isScrolling()
    length = pass_length(text, width)
    for steps in range(length + 3):
        if not sign.advance():
            break
    assert finished_at == [length]
    assert sign.isScrolling() == repeated


@pytest.mark.parametrize(
    "text,color,border,width,steps",
    [("GLIMMER", "Green", 1, 161, 30), ("10:42 - 7", "Yellow", 0, 302, 77), ("HI", "Red", 1, 98, 0)],
)
def test_the_pixels_are_those_of_the_sign_made_in_cpp(sign, tmp_path, text, color, border, width, steps):
    reference = tmp_path / "cpp.png"
    subprocess.run([os.environ["GLIMMER_SIGN_GRAB"], text, color, str(border), str(width), str(steps),
                    str(reference)], check=True)
    sign.setText(text)
    sign.setColor(Color[color])
    sign.setBorderStyle(border)
    sign.setDelay(32767)
    sign.resize(width, 32)
    assert sign.start()
    for _ in range(steps):
        assert sign.advance()
    shown = sign.grab().toImage().convertToFormat(QImage.Format.Format_RGB32)
    expected = QImage(str(reference)).convertToFormat(QImage.Format.Format_RGB32)
    assert (shown.width(), shown.height()) == (expected.width(), expected.height())
    assert shown == expected


def test_the_size_hints_are_the_widgets_own(sign):
    # Those a layout sees: a new sign's size by the size rule, not QWidget's "no hint".
    assert sign.sizeHint() == sign.minimumSizeHint() == QSize(161, 32)


def test_clicks_reach_the_signals(sign):
    sign.show()
    assert QTest.qWaitForWindowExposed(sign)
    clicked = recorder(sign.clicked)
    double_clicked = recorder(sign.doubleClicked)
    QTest.mouseClick(sign, Qt.MouseButton.LeftButton, Qt.KeyboardModifier.NoModifier, QPoint(10, 10))
    assert (len(clicked), len(double_clicked)) == (1, 0)
    QTest.mouseDClick(sign, Qt.MouseButton.LeftButton, Qt.KeyboardModifier.NoModifier, QPoint(10, 10))
    assert len(double_clicked) == 1


def test_an_exception_in_a_slot_reaches_excepthook_and_the_sign_goes_on(sign, monkeypatch):
    caught = []
    monkeypatch.setattr(sys, "excepthook", lambda kind, value, trace: caught.append(value))

    def failing_handler():
        raise RuntimeError("handler failed")

    sign.passFinished.connect(failing_handler)
    sign.setText("HI")
    sign.setRepeated(True)
    assert sign.start()
    length = pass_length("HI", 161)
    for _ in range(2 * length):
        assert sign.advance()  # the step that ended the pass, and every one after it
    assert [str(e) for e in caught] == ["handler failed"] * 2
    assert sign.isScrolling()
