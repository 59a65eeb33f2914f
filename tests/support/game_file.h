// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game file as the tests, the soak and the fuzz targets write and read it, written out here
// once, independently of the game's own save: one whole number per line, a space before a
// non-negative one, a space and CR LF after every one.
//
//   numberLine(12)     == " 12 \r\n"
//   numberLine(-10000) == "-10000 \r\n"
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "state/board.h"

namespace vombel::testing_support {

// The whole content of a file, byte for byte; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Writes text as the whole content of a file, byte for byte.
inline void writeFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// One line of the file holding value.
inline std::string numberLine(long value) {
  char text[32];
  std::snprintf(text, sizeof text, value < 0 ? "%ld \r\n" : " %ld \r\n", value);
  return text;
}

// The text of a game file with this counter and history entries entries[0..counter], each entry
// row y = -1 first and each row from x = -1 to 10.
inline std::string gameFileText(int counter, const Board* entries) {
  std::string text = numberLine(counter);
  for (int i = 0; i <= counter; ++i) {
    for (int y = kLow; y <= kHigh; ++y) {
      for (int x = kLow; x <= kHigh; ++x)
        text += numberLine(entries[i](x, y));
    }
  }
  return text;
}

}  // namespace vombel::testing_support
