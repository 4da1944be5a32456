// SPDX-License-Identifier: MIT
#include "tests/support/report.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace glimmer::testing {

void Report(std::string_view file, std::string_view line) {
  std::printf("%.*s\n", static_cast<int>(line.size()), line.data());
  const char* dir = std::getenv("GLIMMER_REPORT_DIR");
  if (dir == nullptr || *dir == '\0') return;
  const std::string path = std::string(dir) + "/" + std::string(file);
  // One short append per line: test processes that run side by side do not interleave within a line.
  if (std::FILE* f = std::fopen(path.c_str(), "a")) {
    std::fprintf(f, "%.*s\n", static_cast<int>(line.size()), line.data());
    std::fclose(f);
  }
}

}  // namespace glimmer::testing
