# SPDX-License-Identifier: MIT
# A PyQt6.uic widget plugin: the sign's class and enum names in .ui files come from glimmer._uic_names.
# PyQt6.uic runs this file with MODULE defined; importing glimmer adds its folder to uic.widgetPluginPath.
pluginType = MODULE  # noqa: F821


def moduleInformation():
    return "glimmer._uic_names", ("glimmer.qt.LedSign", "glimmer")
