// SPDX-License-Identifier: MIT
// A seam for tests: makes the next assembly of a table fail as if memory had run out, so that the control's
// creation callback can be seen to fail the way it must. Not used by the control otherwise.
#pragma once

namespace glimmer::table_faults {

enum class Table { Palette, Glyphs };

void FailNextAssembly(Table table);
// True (once) when an assembly of `table` was told to fail.
[[nodiscard]] bool Consume(Table table);

}  // namespace glimmer::table_faults
