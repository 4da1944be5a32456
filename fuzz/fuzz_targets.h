// SPDX-License-Identifier: MIT
// The fuzz targets by name. Each takes any byte string and returns "" or what went wrong; libFuzzer
// executables (fuzz/libfuzzer_main.cpp) abort on a failure, and the regression test runs every committed
// input of fuzz/corpus/<name>/ and fuzz/regressions/<name>/ through its target.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace glimmer::fuzz {

struct FuzzTarget {
  std::string_view name;
  std::string (*run)(std::span<const std::uint8_t> bytes);
};

[[nodiscard]] std::span<const FuzzTarget> FuzzTargets();
[[nodiscard]] const FuzzTarget* FindFuzzTarget(std::string_view name);

}  // namespace glimmer::fuzz
