// SPDX-License-Identifier: MIT
// Every committed fuzz input, the seed corpus and the inputs that once made a target fail, runs through its
// target as an ordinary test, in every build.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/fuzz_targets.h"

namespace glimmer::fuzz {

void PrintTo(const FuzzTarget& target, std::ostream* os) {
  *os << target.name;
}

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> InputsOf(std::string_view target) {
  std::vector<fs::path> files;
  for (const char* folder : {"corpus", "regressions"}) {
    const fs::path dir = fs::path(GLIMMER_FUZZ_DIR) / folder / target;
    if (!fs::is_directory(dir)) continue;
    for (const auto& entry : fs::directory_iterator(dir))
      if (entry.is_regular_file()) files.push_back(entry.path());
  }
  return files;
}

std::vector<std::uint8_t> Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CommittedInputs : public ::testing::TestWithParam<FuzzTarget> {};

TEST_P(CommittedInputs, RunCleanly) {
  const FuzzTarget* target = &GetParam();
  const auto files = InputsOf(target->name);
  EXPECT_FALSE(files.empty()) << "no committed inputs for " << target->name;
  for (const fs::path& file : files) {
    const std::vector<std::uint8_t> bytes = Bytes(file);
    EXPECT_EQ(target->run(bytes), "") << file;
  }
}

TEST(FuzzTargets, RunTheEmptyInputAndRepeatedBytes) {
  for (const FuzzTarget& target : FuzzTargets())
    for (const std::uint8_t fill : {0x00, 0x07, 0x5A, 0xFF}) {
      const std::vector<std::uint8_t> bytes(fill == 0 ? 0 : 700, fill);
      EXPECT_EQ(target.run(bytes), "") << target.name << ", bytes of " << int{fill};
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, CommittedInputs,
                         ::testing::ValuesIn(FuzzTargets().begin(), FuzzTargets().end()),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace glimmer::fuzz
