// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A scratch directory for tests that read and write files: empty, named after the running test
// and the process, and the current directory (where Open and Save find juego.vmb) between enter()
// and leave().
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace vombel::testing_support {

// The names in the current folder, sorted.
inline std::vector<std::string> folderNames() {
  std::vector<std::string> list;
  for (const auto& entry : std::filesystem::directory_iterator("."))
    list.push_back(entry.path().filename());
  std::sort(list.begin(), list.end());
  return list;
}

class ScratchDirectory {
 public:
  // Makes a fresh directory prefix-<pid>-<test> under the temporary folder the current one.
  void enter(const std::string& prefix) {
    home_ = std::filesystem::current_path();
    dir_ = std::filesystem::temp_directory_path() /
           (prefix + "-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
  }

  // Goes back to the directory enter() left and removes the scratch one, whatever a test made of
  // its permissions.
  void leave() {
    std::filesystem::current_path(home_);
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(dir_);
  }

  const std::filesystem::path& path() const { return dir_; }

 private:
  std::filesystem::path home_;
  std::filesystem::path dir_;
};

}  // namespace vombel::testing_support
