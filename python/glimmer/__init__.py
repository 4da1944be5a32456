# SPDX-License-Identifier: MIT
"""The dot-matrix LED sign for PyQt6: the LedSign widget of glimmer's Qt library.

    from glimmer import LedSign

    sign = LedSign()
    sign.setProperty("text", "HELLO")  # or sign.setText("HELLO")
    sign.setColor(LedSign.Color.Green)
    sign.passFinished.connect(on_pass)
    layout.addWidget(sign)
    sign.start()

Its properties, slots and signals are those of glimmer::qt::LedSign (<glimmer/qt/led_sign.h>), with the
names and rules written there. Importing glimmer also teaches PyQt6.uic.loadUi the names Qt Designer saves
for the sign, so that a form made with the Designer plugin loads as it is.
"""

import os as _os

from ._glimmer import glimmer as _wrapped

LedSign = _wrapped.qt.LedSign
# Python's own name for it (repr, help()), rather than the C++ scopes that sip keeps.
LedSign.__module__ = __name__
LedSign.__qualname__ = "LedSign"
# C++ names the enum LedSign::Color as well; PyQt6 users expect it there.
LedSign.Color = _wrapped.qt.LedSignProperties.Color
LedSign.Glyphs = _wrapped.qt.LedSignProperties.Glyphs

__all__ = ["LedSign"]


def _teach_uic():
    """Adds this package's uic plugin (uic-plugins/) to the folders PyQt6.uic reads when it loads a form."""
    try:
        from PyQt6 import uic
    except ImportError:  # PyQt6's uic is not installed (Debian: pyqt6-dev-tools): nothing to teach.
        return
    plugins = _os.path.join(_os.path.dirname(__file__), "uic-plugins")
    if plugins not in uic.widgetPluginPath:
        uic.widgetPluginPath.append(plugins)


_teach_uic()
