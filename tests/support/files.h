// SPDX-License-Identifier: MIT
// Small file helpers the tests share: a whole file as bytes, a folder's names, a parameter's name, a device
// node, and standard output sent elsewhere for a while.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio_ext.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
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

// Makes a device node (S_IFCHR 1, 7 is a full device) in a test's own folder, never /dev; "" or why not
// (it takes CAP_MKNOD).
inline std::string MakeNode(const std::filesystem::path& path, mode_t type, unsigned major, unsigned minor) {
  if (::mknod(path.c_str(), type | 0666, makedev(major, minor)) == 0) return "";
  return "mknod " + path.string() + ": " + std::strerror(errno);
}

// Sends the process's standard output (descriptor 1, and so stdio and std::cout) into `path` until it is
// destroyed.
class RedirectedStdout {
 public:
  explicit RedirectedStdout(const std::filesystem::path& path) {
    std::cout.flush();
    std::fflush(stdout);
    saved_ = ::dup(STDOUT_FILENO);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    EXPECT_GE(fd, 0) << path;
    EXPECT_EQ(::dup2(fd, STDOUT_FILENO), STDOUT_FILENO);
    ::close(fd);
  }
  ~RedirectedStdout() {
    std::cout.flush();
    std::fflush(stdout);
    __fpurge(stdout);  // what could not be written there is not written anywhere else
    std::cout.clear();
    std::clearerr(stdout);
    ::dup2(saved_, STDOUT_FILENO);
    ::close(saved_);
  }
  RedirectedStdout(const RedirectedStdout&) = delete;
  RedirectedStdout& operator=(const RedirectedStdout&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace glimmer::testing
