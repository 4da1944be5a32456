# SPDX-License-Identifier: MIT
"""The sign under the names Qt Designer writes into a .ui file, for PyQt6.uic.loadUi.

Designer saves the widget as class glimmer::qt::LedSign, which uic looks up as "glimmer.qt.LedSign", and
an enum value as its C++ path (glimmer::qt::LedSignProperties::Yellow), which uic walks from "glimmer"
down by attribute. The uic plugin (uic-plugins/glimmer_sign.py) points uic here for both.
"""

from types import SimpleNamespace

from . import LedSign


def _colors():
    # The Color values by name, as C++ reaches them in the scope of the enum's class.
    return SimpleNamespace(Color=LedSign.Color, **{color.name: color for color in LedSign.Color})


glimmer = SimpleNamespace(qt=SimpleNamespace(LedSign=_colors(), LedSignProperties=_colors()))
