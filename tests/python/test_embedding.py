# SPDX-License-Identifier: MIT
# The sign in the places a PyQt6 program puts it: a Designer form loaded with PyQt6.uic.loadUi, the QML
# example through PyQt6's QML engine, and examples/sign.py.
import os
import runpy

import pytest
from PyQt6 import uic
from PyQt6.QtCore import Q_RETURN_ARG, QMetaObject, QObject, QUrl

from conftest import SOURCE_DIR
from glimmer import LedSign

Color = LedSign.Color


def test_load_ui_makes_the_signs_of_a_designer_form(app):
    board = uic.loadUi(str(SOURCE_DIR / "examples/board.ui"))
    signs = {s.objectName(): s for s in board.findChildren(LedSign)}
    shown = {name: (s.text(), s.color(), s.delay(), s.isRepeated(), s.width()) for name, s in signs.items()}
    assert shown == {
        "platform1": ("10:42 EDINBURGH - ON TIME", Color.Yellow, 40, True, 302),
        "platform2": ("10:55 LEEDS VIA YORK", Color.Green, 50, True, 302),
        "platform3": ("11:07 LONDON KINGS CROSS - DELAYED 12 MIN", Color.Red, 30, True, 302),
    }


@pytest.mark.skipif("GLIMMER_QML_DIR" not in os.environ, reason="this build has no QML module")
def test_the_qml_example_runs_in_pyqt6s_engine(app):
    from PyQt6.QtQml import QQmlApplicationEngine

    engine = QQmlApplicationEngine()
    engine.addImportPath(os.environ["GLIMMER_QML_DIR"])
    warnings = []
    engine.warnings.connect(warnings.extend)
    engine.load(QUrl.fromLocalFile(str(SOURCE_DIR / "examples/sign.qml")))
    assert warnings == []
    (window,) = engine.rootObjects()
    signs = [o for o in window.findChildren(QObject) if o.metaObject().indexOfProperty("scrolling") >= 0]
    assert [s.property("text") for s in signs] == ["HELLO FROM QML", "GLIMMER"]
    assert all(s.property("scrolling") for s in signs)
    # One pass of the first sign, stepped by hand, reaches the window's counter through onPassFinished.
    first = signs[0]
    while window.property("passes") == 0:
        stepped = QMetaObject.invokeMethod(first, "advance", Q_RETURN_ARG(bool))
        assert stepped
    assert window.property("passes") == 1
    window.close()
    engine.deleteLater()


def test_the_python_example_counts_the_passes_of_its_first_sign(app):
    # The example's code without its main block: run under a name of its own, not as __main__.
    example = runpy.run_path(str(SOURCE_DIR / "examples/sign.py"), run_name="sign_example")
    window = example["make_window"]()
    first, wide = window.findChildren(LedSign)
    assert (first.text(), first.color(), first.width()) == ("HELLO FROM PYTHON", Color.Yellow, 161)
    assert (wide.text(), wide.color(), wide.width()) == ("PYQT6 12:34", Color.Green, 302)
    assert first.isScrolling() and wide.isScrolling()
    for _ in range(53 + 6 * len(first.text())):
        first.advance()
    assert window.passes.text() == "Passes: 1"
    window.deleteLater()
