// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The benchmark suite as the tests see it: the saved games in bench/positions, one computer turn
// from each, run in this process; and the crowded positions in bench/positions/crowded, the
// search's worst cases.
#pragma once

#include <algorithm>
#include <filesystem>
#include <vector>

#include "game/events.h"
#include "game/saved_game.h"
#include "platform/controls.h"
#include "search/search.h"

namespace vombel::testing {

// The game files of folder, in name order.
inline std::vector<std::filesystem::path> gameFiles(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    if (e.path().extension() == ".vmb") files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The suite's game files, in name order.
inline std::vector<std::filesystem::path> suiteFiles() {
  return gameFiles(BENCH_POSITIONS_DIR);
}

// The crowded positions' game files, in name order.
inline std::vector<std::filesystem::path> crowdedFiles() {
  return gameFiles(std::filesystem::path(BENCH_POSITIONS_DIR) / "crowded");
}

// Loads file as Open does and selects the level; the computer's turn is then one call away.
inline bool loadTurn(const std::filesystem::path& file, bool isDifficult) {
  static const bool started = (tablero_Load(), true);
  (void)started;
  if (!loadGameFile(file.c_str())) return false;
  selectLevel(isDifficult);
  return true;
}

}  // namespace vombel::testing
