// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The soaks' command lines: "--name value" pairs, counts and a folder.
//
//   readSoakOptions(argc, argv, {{"--seed", &seed}}, dir)   // "--seed 7 --dir /tmp/s"
#pragma once

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace vombel::testing_support {

// Reads each count (a whole number, 0 or more) into the long its name points to and --dir's
// value into dir. Returns what is wrong, empty when nothing is.
inline std::string readSoakOptions(int argc, const char* const argv[],
                                   std::initializer_list<std::pair<std::string_view, long*>> counts,
                                   std::string& dir) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string_view name = argv[i];
    const char* value = argv[i + 1];
    if (name == "--dir") {
      dir = value;
      continue;
    }
    long* target = nullptr;
    for (const auto& [countName, count] : counts) {
      if (name == countName) target = count;
    }
    char* end = nullptr;
    const long number = std::strtol(value, &end, 10);
    if (target == nullptr || *value == '\0' || *end != '\0' || number < 0) {
      return "bad argument '" + std::string(name) + " " + value + "'";
    }
    *target = number;
  }
  if (argc % 2 == 0) return "missing value after '" + std::string(argv[argc - 1]) + "'";
  return {};
}

}  // namespace vombel::testing_support
