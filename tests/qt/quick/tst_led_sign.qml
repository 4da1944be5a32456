// SPDX-License-Identifier: MIT
// LedSign from QML: every property written from QML (the control's refusals, change signals only when an
// accepted write changes the value), the pass length, the pixels against the headless container's frames,
// the sign's width within the item's, nothing drawn while hidden, clicks and the accessible name. Ticks come from advance(), the
// container's own timer hook; the real timer, where it runs, is set far too slow to tick during a test.
import QtQuick
import QtTest
import Glimmer

TestCase {
    id: test
    name: "LedSign"
    width: 420
    height: 120
    visible: true  // a TestCase is not, by default
    when: windowShown

    Component { id: signMaker; LedSign {} }
    Component { id: namedSignMaker; LedSign { Accessible.name: "Departures" } }
    Component { id: itemMaker; Item {} }
    Component { id: spyMaker; SignalSpy {} }

    function makeSign(properties) {
        const sign = createTemporaryObject(signMaker, test, properties)
        verify(sign)
        return sign
    }
    function spyOn(target, signalName) {
        return createTemporaryObject(spyMaker, test, {target: target, signalName: signalName})
    }
    // Steps both signs `count` times.
    function advanceBoth(sign, count) {
        for (let i = 0; i < count; ++i) {
            verify(sign.advance())
            compare(reference.advance(1), 1)
        }
    }

    function test_a_new_sign_is_a_new_control_sized_by_the_size_rule() {
        const sign = makeSign({})
        compare([sign.text, sign.color, sign.delay, sign.repeated, sign.borderStyle, sign.enabled, sign.scrolling],
                ["", LedSign.Red, 50, false, 1, true, false])
        compare([LedSign.Red, LedSign.Green, LedSign.Yellow], [0, 1, 2])
        compare([sign.implicitWidth, sign.implicitHeight, sign.width, sign.height], [161, 32, 161, 32])
        // A size given to the item stays the item's; the sign takes the widest 3n + 2 within it, 32 high.
        for (const [given, drawn] of [[300, 299], [302, 302], [100, 98], [1, 2]]) {
            const sized = makeSign({width: given, height: 10})
            verify(sized.start())
            compare([sized.width, sized.height, sized.implicitWidth, reference.signWidth(sized)],
                    [given, 10, 161, drawn])
        }
    }

    function test_nothing_is_drawn_outside_the_item() {
        const sign = makeSign({x: 20, y: 20, width: 100, height: 10, text: "GLIMMER", delay: 32767})
        verify(sign.start() && sign.advance())
        compare(reference.drawnOutside(sign), 0)
    }

    function test_properties_data() {
        return [
            {tag: "text", accepted: "A\uD83D\uDE00\uD800Z", refused: []},  // a surrogate pair and a lone one
            {tag: "color", accepted: LedSign.Green, refused: [3, -1]},
            // 65586 would be 50 if it were cut to 16 bits; it is refused like 40000.
            {tag: "delay", accepted: 20, refused: [-1, 40000, 65586, -65486]},
            {tag: "repeated", accepted: true, refused: []},
            {tag: "borderStyle", accepted: 0, refused: [2, -1]},
            {tag: "glyphs", accepted: LedSign.Latin1, refused: [3, -1]},
            {tag: "upperCase", accepted: true, refused: []},
        ]
    }
    function test_properties(data) {
        const sign = makeSign({})
        const notified = spyOn(sign, data.tag + "Changed")
        const initial = sign[data.tag]
        for (const value of data.refused) {
            sign[data.tag] = value
            compare(sign[data.tag], initial, "refused " + value)
        }
        compare(notified.count, 0)
        sign[data.tag] = data.accepted
        compare(sign[data.tag], data.accepted)
        compare(notified.count, 1)
        compare(notified.signalArguments[0][0], data.accepted)
        // The same value again: the control accepts it, but nothing changed.
        sign[data.tag] = data.accepted
        compare(notified.count, 1)
    }

    function test_enabled_is_kept_in_step_with_the_control_both_ways() {
        const parent = createTemporaryObject(itemMaker, test)
        const sign = signMaker.createObject(parent)
        sign.enabled = false
        verify(!reference.controlEnabled(sign))
        verify(reference.setControlEnabled(sign, true))
        verify(sign.enabled)
        // A parent's state is not the sign's own; what the sign is given meanwhile counts once it shows.
        parent.enabled = false
        verify(!sign.enabled && reference.controlEnabled(sign))
        sign.enabled = false
        parent.enabled = true
        verify(!reference.controlEnabled(sign))
        parent.enabled = false
        verify(reference.setControlEnabled(sign, true))
        parent.enabled = true
        verify(sign.enabled && reference.controlEnabled(sign))
    }

    function test_pass_finished_comes_inside_the_step_that_ends_the_pass() {
        const sign = makeSign({text: "HI", delay: 32767})  // 53 + 6 x 2 = 65 steps on a sign 161 wide
        const scrolling = spyOn(sign, "scrollingChanged")
        let steps = 0
        const finishedAt = []
        sign.passFinished.connect(() => {
            finishedAt.push(steps + 1)
            verify(!sign.advance())  // still inside the step
        })
        verify(!sign.advance())
        verify(sign.start())
        verify(sign.scrolling)
        while (sign.advance())
            ++steps
        compare([finishedAt, steps, sign.scrolling, scrolling.count], [[65], 65, false, 2])
        // Repeated, a pass every 65 steps.
        sign.repeated = true
        verify(sign.clear() && sign.start())
        for (steps = 0; steps < 130; ++steps)
            verify(sign.advance())
        compare(finishedAt, [65, 65, 130])
    }

    function test_frames_are_the_headless_containers_data() {
        return [{tag: "rings", borderStyle: 1}, {tag: "no rings", borderStyle: 0}]
    }
    function test_frames_are_the_headless_containers(data) {
        const sign = makeSign({text: "GLIMMER", color: LedSign.Green, repeated: true, delay: 32767,
                               borderStyle: data.borderStyle, width: 252})
        compare(reference.ratio(sign), reference.expectedRatio())
        verify(sign.start())
        compare(reference.signWidth(sign), 251)
        verify(reference.start(sign))
        const finished = spyOn(sign, "passFinished")
        let ticks = 0
        for (const k of [0, 1, 2, 41, 125]) {
            advanceBoth(sign, k - ticks)
            ticks = k
            compare(reference.difference(sign), "", ticks + " ticks")
        }
        compare(finished.count, 1)  // 83 + 6 x 7 = 125 steps a pass
    }

    function test_nothing_is_drawn_while_hidden() {
        const sign = makeSign({text: "GLIMMER", delay: 32767})
        verify(sign.start() && reference.start(sign))
        advanceBoth(sign, 3)
        compare(reference.difference(sign), "")
        const paints = reference.paints(sign)
        sign.visible = false
        advanceBoth(sign, 10)
        reference.difference(sign)  // a frame of the window, rendered now
        compare(reference.paints(sign), paints)
        // Seen again: the frame of now, drawn once.
        sign.visible = true
        compare(reference.difference(sign), "")
        compare(reference.paints(sign), paints + 1)
    }

    function test_clicks_while_enabled() {
        const sign = makeSign({})
        const clicked = spyOn(sign, "clicked")
        const doubleClicked = spyOn(sign, "doubleClicked")
        mouseClick(sign)
        mouseClick(sign, 5, 5, Qt.RightButton)
        compare(clicked.count, 1)
        mouseDoubleClickSequence(sign)
        compare([clicked.count, doubleClicked.count], [2, 1])  // the release that ends it is no click
        sign.enabled = false
        mouseClick(sign)
        mouseDoubleClickSequence(sign)
        compare([clicked.count, doubleClicked.count], [2, 1])
    }

    function test_screen_readers_read_the_whole_text() {
        const sign = makeSign({})
        const text = "A TEXT MUCH LONGER THAN THE SIGN CAN SHOW AT ONCE"
        sign.text = text
        compare([sign.Accessible.name, sign.Accessible.role], [text, Accessible.StaticText])
        // A name of the user's own stays.
        const named = createTemporaryObject(namedSignMaker, test)
        named.text = "GATE 4"
        compare(named.Accessible.name, "Departures")
    }
}
