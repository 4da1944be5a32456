// SPDX-License-Identifier: MIT
// The headless frame recorder, a fixed contract that tools outside the project rely on:
//
//   glimmer --frames DIR --ticks N [overrides]
//
// builds LED1 exactly as the window would, in a headless container, runs Form_Load, then the timer on a
// virtual clock, Delay milliseconds per tick, until N ticks have run or the timer has stopped, then
// Form_Unload. After every tick it writes DIR/tick-00001.png, DIR/tick-00002.png, ...: the control's own
// pixels (W x 32, both rings), 8-bit RGB. Standard output carries one line "Terminate <tick>" for every
// Terminate raised, and nothing else.
//
// The names have five digits, or as many as N has when it has more, so that they sort in tick order. DIR is
// opened once and used through that descriptor only, so that a swap of its path mid-run changes nothing. Each
// frame is written under a temporary name in DIR and renamed into place (a link of that name is replaced,
// never written through; a failed write leaves no part of a frame). After the run DIR holds its frames and
// no others: the frames of an earlier run (files and links named tick-<digits>.png) that this one did not
// replace are removed. Anything else of such a name (a folder, a FIFO) is refused before the first tick, as
// is a sign whose timer never ticks (Delay 0); then nothing is written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>

#include "demo/form/form_description.h"
#include "demo/form/form_glimmer.h"
#include "host/headless/headless_container.h"

namespace glimmer {

// The file name of a tick's frame in a run of `ticks` ticks: tick-00001.png for tick 1 of up to 99999
// ticks, tick-000001.png for tick 1 of 100000 to 999999 ticks.
[[nodiscard]] std::string FrameFileName(std::int64_t tick, std::int64_t ticks);

// Whether LED1's timer will tick once Form_Load starts it: not with a Delay of 0, which leaves nothing to
// record. Both recorders refuse such a sign (status 1) before they write anything.
[[nodiscard]] bool TimerWillTick(HeadlessContainer& host);
inline constexpr std::string_view kNothingToRecord =
    "nothing to record: the sign's timer does not run (its Delay is 0)";

// Returns the exit status: 0, or 1 after a message on `err` (the timer never ticks, the folder cannot be
// made or written, LED1 cannot be built, a handler fails).
[[nodiscard]] int RecordFrames(const FormDescription& form, const Overrides& overrides,
                               const std::filesystem::path& dir, std::int64_t ticks, std::ostream& out,
                               std::ostream& err);

}  // namespace glimmer
