// SPDX-License-Identifier: MIT
// The program's exit statuses.
#pragma once

namespace glimmer {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the work could not be done (no display, a file not written)
inline constexpr int kExitUsage = 2;    // bad input: the command line or the form description

}  // namespace glimmer
