// Small file helpers the tests share: a whole file as bytes, a folder's names, a parameter's name.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace glimmer::testing {

// The file's bytes; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
  std::ostringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

// The names in a folder, sorted.
inline std::vector<std::string> Listing(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A parameterised case's `name` member, for the test's name.
template <class Case>
std::string NameOf(const ::testing::TestParamInfo<Case>& param_info) {
  return param_info.param.name;
}

}  // namespace glimmer::testing
