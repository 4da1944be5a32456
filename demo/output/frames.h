// The headless frame recorder, a fixed contract that tools outside the project rely on:
//
//   glimmer --frames DIR --ticks N [overrides]
//
// builds LED1 exactly as the window would, in a headless container, runs Form_Load, then the timer on a
// virtual clock, Delay milliseconds per tick, until N ticks have run or the timer has stopped, then
// Form_Unload. After every tick it writes DIR/tick-00001.png, DIR/tick-00002.png, ...: the control's own
// pixels (W x 32, both rings), 8-bit RGB. Standard output carries one line "Terminate <tick>" for every
// Terminate raised, and nothing else.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>

#include "demo/form/form_description.h"
#include "demo/form/form_glimmer.h"

namespace glimmer {

// The file name of a tick's frame: tick-00001.png for tick 1.
[[nodiscard]] std::string FrameFileName(std::int64_t tick);

// Returns the exit status: 0, or 1 after a message on `err` (the folder cannot be made or written, LED1
// cannot be built, a handler fails).
[[nodiscard]] int RecordFrames(const FormDescription& form, const Overrides& overrides,
                               const std::filesystem::path& dir, std::int64_t ticks, std::ostream& out,
                               std::ostream& err);

}  // namespace glimmer
