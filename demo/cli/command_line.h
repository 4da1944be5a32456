// SPDX-License-Identifier: MIT
// The program's command line (CLI11):
//
//   glimmer [--text T] [--color red|green|yellow|0|1|2] [--delay MS] [--once | --repeat] [--border on|off]
//           [--glyphs capitals|ascii|latin1] [--upper] [--width PIXELS] [--form FILE | --form FILE.ui]
//           [--save FILE | --frames DIR --ticks N | --record FILE.gif [--ticks N] [--scale K] | --terminal]
//           [--help] [--version]
//
// Values the control would ignore are refused here, with a message, rather than passed on to be dropped.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "demo/exit_status.h"
#include "demo/form/form_glimmer.h"
#include "host/base/expected.h"

namespace glimmer {

struct CommandLine {
  Overrides overrides;
  std::optional<std::string> form_file;
  std::optional<std::string> save_file;
  std::optional<std::string> frames_dir;
  std::optional<std::string> record_file;
  bool terminal = false;
  std::optional<std::int64_t> ticks;
  std::int64_t scale = 1;
};

// The parsed command line, or the status to exit with at once: kExitOk after --help or --version (written
// to `out`), kExitUsage after a message on `err`.
[[nodiscard]] Expected<CommandLine, int> ParseCommandLine(int argc, const char* const* argv,
                                                          std::ostream& out, std::ostream& err);

}  // namespace glimmer
