// SPDX-License-Identifier: MIT
// The QML module as a QML program finds it installed: `import Glimmer` from the prefix's QML import folder,
// the item's library found from there, one sign set, refusing, scrolling one pass and read by name.
import QtQuick
import QtTest
import Glimmer

TestCase {
    name: "InstalledModule"

    LedSign { id: sign; text: "HI"; color: LedSign.Yellow; delay: 32767 }

    function test_a_sign_from_the_prefix() {
        compare([sign.implicitWidth, sign.implicitHeight, sign.color], [161, 32, LedSign.Yellow])
        sign.delay = -1
        compare(sign.delay, 32767)
        let steps = 0
        let passes = 0
        sign.passFinished.connect(() => ++passes)
        verify(sign.start())
        while (sign.advance())
            ++steps
        compare([steps, passes, sign.Accessible.name], [65, 1, "HI"])
    }
}
