// SPDX-License-Identifier: MIT
// The libFuzzer entry point of one target, chosen when the executable is built (GLIMMER_FUZZ_TARGET). A
// target that reports a failure is a crash: libFuzzer keeps the input.
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const glimmer::fuzz::FuzzTarget* target = glimmer::fuzz::FindFuzzTarget(GLIMMER_FUZZ_TARGET);
  if (target == nullptr) std::abort();
  const std::string failure = target->run(std::span<const std::uint8_t>(data, size));
  if (!failure.empty()) {
    std::fprintf(stderr, "%s: %s\n", GLIMMER_FUZZ_TARGET, failure.c_str());
    std::abort();
  }
  return 0;
}
