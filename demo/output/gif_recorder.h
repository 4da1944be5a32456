// SPDX-License-Identifier: MIT
// The animated GIF recorder:
//
//   glimmer --record FILE.gif [--ticks N] [--scale K] [overrides]
//
// builds LED1 exactly as the window would, in a headless container, runs Form_Load, then the timer on a
// virtual clock, Delay milliseconds per tick, until N ticks have run or the timer has stopped, then
// Form_Unload, exactly as --frames does; each tick's frame becomes a frame of the GIF (see GifAnimation for
// the pixels and the delays). Without --ticks it records one whole pass: n + 6L ticks for a sign 3n + 2
// pixels wide and a text of L characters, the pass ending with the empty grid, so that a repeating GIF
// loops without a jump. An empty text never ends a pass and never changes: it is recorded as one frame.
// The GIF repeats forever when Repeated is True and plays once otherwise. The file is written as SafeFile
// writes (replaced whole, or written into a device or FIFO, "-" for standard output), and opened before the
// first tick, so that a path that cannot be written costs no rendering; the frames are streamed into it as
// they are coded, so that the memory a recording takes does not grow with its length. Standard output
// carries the same "Terminate <tick>" lines as --frames, unless the GIF itself goes there.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>

#include "demo/form/form_description.h"
#include "demo/form/form_glimmer.h"

namespace glimmer {

struct RecordOptions {
  std::filesystem::path file;
  std::optional<std::int64_t> ticks;  // one pass when not given
  int scale = 1;
};

// The ticks of one whole pass of a text of `text_length` characters on a sign `width` pixels wide (3n + 2),
// or 1 for an empty text.
[[nodiscard]] std::int64_t OnePassTicks(double width, std::size_t text_length);

// Returns the exit status: 0; 1 after a message on `err` when LED1 cannot be built, no tick runs (Delay 0),
// or the file cannot be written; 2 when the scaled picture is too large for a GIF.
[[nodiscard]] int RecordGif(const FormDescription& form, const Overrides& overrides,
                            const RecordOptions& options, std::ostream& out, std::ostream& err);

}  // namespace glimmer
