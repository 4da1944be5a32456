// SPDX-License-Identifier: MIT
// Two LED signs and a counter of their passes, in QML: `import Glimmer` and its LedSign item. Run it with
// Qt's own qml tool, with the module's folder on the import path (Debian's qml-qt6 puts the tool in
// /usr/lib/qt6/bin):
//   qml -I build/test/qml examples/sign.qml                            (the module as built in this tree)
//   qml -I <prefix>/lib/x86_64-linux-gnu/qt6/qml examples/sign.qml     (as installed into <prefix>)
import QtQuick
import Glimmer

Window {
    id: window
    title: "Signs in QML"
    width: column.implicitWidth + 16
    height: column.implicitHeight + 16
    visible: true

    property int passes: 0

    Column {
        id: column
        x: 8
        y: 8
        spacing: 8

        LedSign {
            text: "HELLO FROM QML"
            color: LedSign.Yellow
            repeated: true
            onPassFinished: ++window.passes
            Component.onCompleted: start()
        }
        LedSign {
            width: 302  // wider than a new sign's 161, of the form 3n + 2: the sign fills it
            text: "GLIMMER"
            color: LedSign.Green
            delay: 30
            repeated: true
            onPassFinished: ++window.passes
            Component.onCompleted: start()
        }
        Text {
            text: "Passes: " + window.passes
        }
    }
}
