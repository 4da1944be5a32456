// SPDX-License-Identifier: MIT
// What the reliability tests count (faults injected, ticks soaked) goes to standard output and, when
// GLIMMER_REPORT_DIR names a folder, is appended to a file there, so that a script can add up the counts of
// test processes that ran apart.
#pragma once

#include <string_view>

namespace glimmer::testing {

// Appends one line to GLIMMER_REPORT_DIR/<file> (when set) and prints it.
void Report(std::string_view file, std::string_view line);

}  // namespace glimmer::testing
