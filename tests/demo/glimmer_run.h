// SPDX-License-Identifier: MIT
// Runs the whole program in-process, as `glimmer ARGS...`, and keeps what it said.
#pragma once

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "demo/cli/program.h"

namespace glimmer::testing {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// With standard output going to `out` (std::cout for the process's own); Outcome::out stays empty.
inline Outcome RunGlimmerInto(std::ostream& out, std::vector<std::string> args,
                              const Frontends& frontends = {}) {
  args.insert(args.begin(), "glimmer");
  std::vector<const char*> argv;
  for (const auto& a : args)
    argv.push_back(a.c_str());
  std::ostringstream err;
  Outcome run;
  run.status = RunGlimmer(static_cast<int>(argv.size()), argv.data(), out, err, frontends);
  run.err = err.str();
  return run;
}

inline Outcome RunGlimmerWith(std::vector<std::string> args, const Frontends& frontends = {}) {
  std::ostringstream out;
  Outcome run = RunGlimmerInto(out, std::move(args), frontends);
  run.out = out.str();
  return run;
}

}  // namespace glimmer::testing
