// SPDX-License-Identifier: MIT
#include "fuzz/fuzz_targets.h"

#include <array>

#include "fuzz/form_description_target.h"
#include "fuzz/restore_target.h"
#include "fuzz/sequence_target.h"

namespace glimmer::fuzz {

std::span<const FuzzTarget> FuzzTargets() {
  // Each has its corpus in fuzz/corpus/<name>/ and its name in GLIMMER_FUZZ_TARGETS (CMakeLists.txt).
  static constexpr std::array<FuzzTarget, 3> kTargets = {{
      {"restore", &FuzzRestore},
      {"sequence", &FuzzSequence},
      {"form_description", &FuzzFormDescription},
  }};
  return kTargets;
}

const FuzzTarget* FindFuzzTarget(std::string_view name) {
  for (const FuzzTarget& t : FuzzTargets())
    if (t.name == name) return &t;
  return nullptr;
}

}  // namespace glimmer::fuzz
