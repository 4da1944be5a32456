#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""End-to-end test of glimmer --form FILE.ui with forms an attacker or a careless user would write.

Each row is a .ui file run through the real program on Qt's offscreen platform: forms that would run code,
reach the network, read other files or nest too deep are refused with status 2 and the reason, at once (a
FIFO that were read would hang the run, /dev/zero would exhaust memory); forms that hide or delete their
own window when a pass ends make the program end with status 0. The QQuickWidget rows point at a QML file
that would write a marker file if it were ever read; the marker must never appear.
"""

import argparse
import os
import subprocess
import sys
import tempfile

TIMEOUT = 60  # seconds; a refused form ends at once, a form that ends itself after one pass within a second

SIGN = "glimmer::qt::LedSign"


def form(body, extra=""):
    return f'<?xml version="1.0" encoding="UTF-8"?>\n<ui version="4.0">\n<widget class="QWidget" name="Form">\n' \
           f'{body}\n</widget>\n{extra}\n</ui>\n'


def in_layout(widgets):
    return '<layout class="QVBoxLayout" name="column">' + "".join(f"<item>{w}</item>" for w in widgets) + \
           "</layout>"


def widget(cls, props="", name="w"):
    return f'<widget class="{cls}" name="{name}">{props}</widget>'


def prop(name, value):
    return f'<property name="{name}">{value}</property>'


def string(text):
    return "<string>" + text.replace("&", "&amp;").replace("<", "&lt;") + "</string>"


def sign_then(slot):
    """A sign whose first pass ends by calling `slot` on the window."""
    return in_layout([widget(SIGN, prop("text", string("A")), "sign")]), \
        "<connections><connection><sender>sign</sender><signal>passFinished()</signal>" \
        f"<receiver>Form</receiver><slot>{slot}</slot></connection></connections>"


def over_quick(name):
    """A declaration of `name` as a kind of QQuickWidget."""
    return f"<customwidgets><customwidget><class>{name}</class><extends>QQuickWidget</extends>" \
        "<header>x.h</header></customwidget></customwidgets>"


def nested(depth, inner, named=True):
    """`depth` widgets each inside the one before, the last holding `inner`."""
    opening = [f'<widget class="QFrame" name="f{i}">' if named else '<widget class="QFrame">' for i in range(depth)]
    return "".join(opening) + inner + "</widget>" * depth


def rows(tmp):
    qml = os.path.join(tmp, "marker.qml")
    fifo = os.path.join(tmp, "fifo.png")
    source = prop("source", f"<url><string>file://{qml}</string></url>")
    quick = widget("QQuickWidget", source)
    body, ends_hidden = sign_then("hide()")
    _, ends_deleted = sign_then("deleteLater()")
    deep_layouts = 10000
    return [
        # name, .ui text, status, part of standard error
        ("QQuickWidget", form(in_layout([quick])), 2, "widget class QQuickWidget is not one"),
        ("QQuickWidgetFromTheNetwork",
         form(widget("QQuickWidget", prop("source", "<url><string>http://127.0.0.1:9/x.qml?leak</string></url>"))),
         2, "widget class QQuickWidget"),
        ("CustomWidgetOverQuick", form(widget("Sneaky", source), over_quick("Sneaky")), 2, "widget class Sneaky"),
        ("SignDeclaredOverQuick", form(widget(SIGN), over_quick(SIGN)), 2, "a custom widget extends QQuickWidget"),
        ("WebView", form(widget("QWebEngineView")), 2, "widget class QWebEngineView"),
        ("ActiveX", form(widget("QAxWidget")), 2, "widget class QAxWidget"),
        ("TextBrowserSource", form(widget("QTextBrowser")), 2, "widget class QTextBrowser"),
        ("UnknownLayout", form('<layout class="QStackedLayout" name="l"/>'), 2, "layout class QStackedLayout"),
        ("PixmapOnAFifo", form(widget("QLabel", prop("pixmap", f"<pixmap>{fifo}</pixmap>"))), 2, "<pixmap>"),
        ("WindowIcon", form(prop("windowIcon", f"<iconset><normaloff>{fifo}</normaloff></iconset>")), 2,
         "<iconset>"),
        ("ResourceFile", form("", '<resources><include location="x.qrc"/></resources>'), 2, "resource file"),
        ("RichTextImageOfDevZero", form(widget("QLabel", prop("text", string('<b>x</b><img src="/dev/zero">')))),
         2, "(<img)"),
        ("RichTextImageInAToolTip", form(prop("toolTip", string('<IMG\n SRC = "/dev/zero">'))), 2, "(<img)"),
        ("RichTextBackground", form(widget("QLabel", prop("text", string(f'<table background="{fifo}">')))),
         2, "(background=)"),
        ("RichTextStyleSheetLink",
         form(widget("QLabel", prop("text", string(f'<link rel="stylesheet" href="{fifo}"><p>x')))), 2, "(<link)"),
        ("MarkdownImage", form(widget("QLabel", prop("textFormat", "<enum>Qt::MarkdownText</enum>") +
                                   prop("text", string("![x](/dev/zero)")))), 2, "(markdown)"),
        ("StyleSheetUrl", form(prop("styleSheet", string(f"QWidget {{ background-image: URL ( {fifo} ) }}"))),
         2, "(url()"),
        ("StyleSheetEscapedUrl", form(prop("styleSheet", string(f"QWidget {{ background-image: \\75rl({fifo}) }}"))),
         2, "(a CSS escape)"),
        ("XmlEntities",
         '<?xml version="1.0"?>\n<!DOCTYPE ui [<!ENTITY i "&#60;img src=\'/dev/zero\'>">]>\n'
         '<ui version="4.0"><widget class="QLabel" name="l"><property name="text"><string>&i;</string>'
         "</property></widget></ui>", 2, "XML entities"),
        ("TenThousandNestedLayouts",
         form('<layout class="QVBoxLayout"><item>' * deep_layouts + "</item></layout>" * deep_layouts),
         2, "nest more than 64 deep"),
        ("ThirtyThousandNestedWidgets", form(nested(30000, "", named=False)), 2, "nest more than 64 deep"),
        ("SixtyFiveNestedWidgets", form(nested(64, "")), 2, "nest more than 64 deep"),
        ("SixtyFourNestedWidgetsOpen", form(nested(61, body), ends_hidden), 0, ""),
        ("HidesItsWindow", form(body, ends_hidden), 0, ""),
        ("DeletesItsWindow", form(body, ends_deleted), 0, ""),
    ]


def run(glimmer, tmp, name, text):
    path = os.path.join(tmp, name + ".ui")
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "QT_SCALE_FACTOR")}
    # A display name makes the program try a window; the offscreen platform needs no server behind it.
    env.update(DISPLAY=":99", QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=tmp, QML_XHR_ALLOW_FILE_WRITE="1")
    try:
        done = subprocess.run([glimmer, "--form", path, "--delay", "1"], env=env, capture_output=True,
                              text=True, timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        return None, f"still running after {TIMEOUT} s"
    return done.returncode, done.stderr


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--glimmer", required=True)
    args = parser.parse_args()
    failed = 0
    with tempfile.TemporaryDirectory() as tmp:
        marker = os.path.join(tmp, "marker.txt")
        with open(os.path.join(tmp, "marker.qml"), "w", encoding="utf-8") as f:
            f.write('import QtQuick\nItem { Component.onCompleted: { var x = new XMLHttpRequest(); '
                    'x.open("PUT", Qt.resolvedUrl("marker.txt")); x.send("read"); } }\n')
        os.mkfifo(os.path.join(tmp, "fifo.png"))
        table = rows(tmp)
        for name, text, status, message in table:
            got, err = run(args.glimmer, tmp, name, text)
            problems = []
            if got != status:
                problems.append(f"status {got}, not {status}")
            if message not in err:
                problems.append(f"no {message!r} in standard error")
            if os.path.exists(marker):
                problems.append("the QML file was read: the marker was written")
                os.remove(marker)
            if problems:
                failed += 1
                print(f"FAILED {name}: {'; '.join(problems)}\n  standard error: {err.strip()[-600:]}")
            else:
                print(f"ok {name}: {status}")
    print(f"designer_form_e2e_test: {len(table) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
