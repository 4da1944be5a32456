// Runs the whole program in-process, as `glimmer ARGS...`, and keeps what it said.
#pragma once

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

inline Outcome RunGlimmerWith(std::vector<std::string> args, const Frontends& frontends = {}) {
  args.insert(args.begin(), "glimmer");
  std::vector<const char*> argv;
  for (const auto& a : args)
    argv.push_back(a.c_str());
  std::ostringstream out, err;
  Outcome run;
  run.status = RunGlimmer(static_cast<int>(argv.size()), argv.data(), out, err, frontends);
  run.out = out.str();
  run.err = err.str();
  return run;
}

}  // namespace glimmer::testing
