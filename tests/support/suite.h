// The benchmark suite as the tests see it: the saved games in bench/positions, one computer turn
// from each, run in this process.
#pragma once

#include <algorithm>
#include <filesystem>
#include <vector>

#include "game/events.h"
#include "game/saved_game.h"
#include "platform/controls.h"
#include "search/search.h"

namespace vombel::testing {

// The suite's game files, in name order.
inline std::vector<std::filesystem::path> suiteFiles() {
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(BENCH_POSITIONS_DIR)) {
    if (e.path().extension() == ".vmb") files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());
  return files;
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
