// SPDX-License-Identifier: MIT
// A typical QML LED sign, for comparison with LedSign in the QML wall benchmark (bench/qml_wall.cpp): a
// Canvas with its own Timer whose onPaint draws the rings and every 2 x 2 dot with fillRect, lit or unlit as
// the scrolling text asks. It shows what LedSign shows at the same size (the same font, pitch and colours),
// the way a QML developer would write it without the control; bench/qpainter_sign.cpp is its widget twin.
import QtQuick

Canvas {
    id: sign

    property string text
    property color lit: "#ff0000"
    property color unlit: "#770000"
    property int delay: 50
    readonly property alias ticker: timer
    // Dot columns on display: the width is 3n + 2 pixels, as the control's.
    readonly property int columns: (width - 2) / 3 - 1
    // The text as dot columns, a blank one after each character.
    property var textColumns: []
    property int step: 0

    // Starts the text from the right edge, one dot column every `delay` ms. `glyphs`: the font, character ->
    // its 5 columns, bit r lit for row r of 7; characters without one show blank.
    function start(glyphs) {
        const columns = [];
        for (const c of text) {
            const glyph = glyphs[c];
            for (let i = 0; i < 5; ++i)
                columns.push(glyph ? glyph[i] : 0);
            columns.push(0);
        }
        textColumns = columns;
        step = 0;
        timer.start();
    }

    height: 32

    Timer {
        id: timer
        interval: sign.delay
        repeat: true
        onTriggered: {
            sign.step = (sign.step + 1) % (sign.columns + sign.textColumns.length);
            sign.requestPaint();
        }
    }

    // The text enters at the right edge and moves one column to the left each step.
    onPaint: {
        const ctx = getContext("2d");
        // The rings as filled rectangles, one inside the other: whole pixels, as the control's.
        ctx.fillStyle = "#737373";
        ctx.fillRect(0, 0, width, height);
        ctx.fillStyle = "white";
        ctx.fillRect(1, 1, width - 2, height - 2);
        ctx.fillStyle = "black";
        ctx.fillRect(2, 2, width - 4, height - 4);
        const first = columns - step;
        for (let c = 0; c < columns; ++c) {
            const t = c - first;
            const bits = t >= 0 && t < textColumns.length ? textColumns[t] : 0;
            for (let r = 0; r < 9; ++r) {
                ctx.fillStyle = r >= 1 && r <= 7 && (bits >> (r - 1)) & 1 ? lit : unlit;
                ctx.fillRect(3 + 3 * c, 3 + 3 * r, 2, 2);
            }
        }
    }
}
