# SPDX-License-Identifier: MIT
# What the Python module's tests share: one QApplication for the session (on the platform QT_QPA_PLATFORM
# names, offscreen under ctest), the source tree, and a fresh sign per test.
import os
import sys
from pathlib import Path

import pytest
from PyQt6.QtWidgets import QApplication

SOURCE_DIR = Path(os.environ.get("GLIMMER_SOURCE_DIR", Path(__file__).resolve().parents[2]))


@pytest.fixture(scope="session")
def app():
    return QApplication.instance() or QApplication(sys.argv[:1])


@pytest.fixture
def sign(app):
    from glimmer import LedSign

    sign = LedSign()
    yield sign
    sign.deleteLater()
