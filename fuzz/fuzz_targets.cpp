#include "fuzz/fuzz_targets.h"

#include <array>

#include "fuzz/restore_target.h"
#include "fuzz/sequence_target.h"

namespace glimmer::fuzz {

std::span<const FuzzTarget> FuzzTargets() {
  static constexpr std::array<FuzzTarget, 2> kTargets = {{
      {"restore", &FuzzRestore}, {"sequence", &FuzzSequence},
      // The reader of the demo window's stored description joins here as {"form_description", ...}, with
      // its corpus in fuzz/corpus/form_description/ and its name in GLIMMER_FUZZ_TARGETS (CMakeLists.txt).
  }};
  return kTargets;
}

const FuzzTarget* FindFuzzTarget(std::string_view name) {
  for (const FuzzTarget& t : FuzzTargets())
    if (t.name == name) return &t;
  return nullptr;
}

}  // namespace glimmer::fuzz
