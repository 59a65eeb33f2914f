// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game-file loader on arbitrary bytes. Every input starts from the same game in progress
// (history browsed back, a square selected, clocks running). The loader must either take the
// file in whole, exactly as an independent reading of it says, or change nothing at all.
#include <cstring>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "game/events.h"
#include "game/saved_game.h"
#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "state/history.h"
#include "state/state.h"
#include "tests/support/game_checks.h"

namespace {

using namespace vombel;

constexpr const char* kPath = "fuzzed.vmb";
std::unique_ptr<checks::GameSnapshot> gameInProgress;
std::unique_ptr<checks::GameSnapshot> after = std::make_unique<checks::GameSnapshot>();

void playPair(int choice) {
  const auto pairs = checks::legalClickPairs();
  if (pairs.empty()) fuzz::fail("no legal move while setting up");
  const auto& pair = pairs[choice % pairs.size()];
  c_Click(pair.from);
  c_Click(pair.to);
}

void setUpGameInProgress() {
  tablero_Load();
  selectLevel(false);
  for (int i = 0; i < 4; ++i)
    playPair(i * 7);
  historia_Scroll(historia.value - 3);
  for (int i = 0; i < 5; ++i)
    Timer1_Timer();
  c_Click(screenIndex(2, 1));
  gameInProgress = checks::takeSnapshot();
}

std::string describe(const checks::GameSnapshot& a, const checks::GameSnapshot& b) {
  return checks::firstDifference(a, b);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const fuzz::ScratchDirectory scratch("vombel-load-fuzz");
  setUpGameInProgress();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::ScratchDirectory scratch("vombel-load-fuzz");
  checks::restoreSnapshot(*gameInProgress);
  fuzz::writeFile(kPath, data, size);
  const auto expected = fuzz::readGameFile(data, size);

  const bool accepted = static_cast<bool>(loadGameFile(kPath));
  checks::takeSnapshot(*after);
  if (!accepted) {
    if (expected) fuzz::fail("a well-formed game file was refused");
    if (auto difference = describe(*gameInProgress, *after); !difference.empty()) {
      fuzz::fail("a refused file changed " + difference);
    }
    return 0;
  }

  if (!expected) fuzz::fail("a malformed file was taken in");
  const int n = expected->counter;
  if (currentMove() != n || historia.value != n || historia.max != n) {
    fuzz::fail("moveNumber or historia differ from the file's counter");
  }
  for (int i = 0; i <= kMaxHistory; ++i) {
    const Board& wanted = i <= n ? expected->entries[i] : gameInProgress->gameHistory[i];
    if (std::memcmp(&gameHistory[i], &wanted, sizeof(Board)) != 0) {
      fuzz::fail("history entry " + std::to_string(i) + " differs from the file");
    }
  }
  const Board shown = fuzz::promoted(expected->entries[n]);
  if (std::memcmp(&board, &shown, sizeof(Board)) != 0) fuzz::fail("board is not the last entry");
  // Loading keeps the clocks, the level and the free-placement setting.
  if (std::strcmp(tiempous.caption, gameInProgress->tiempous.caption) != 0 ||
      computerTime != gameInProgress->computerTime ||
      difficult.value != gameInProgress->difficult.value ||
      boardsu.value != gameInProgress->boardsu.value) {
    fuzz::fail("loading changed a clock, the level or set-up mode");
  }
  if (auto broken = checks::brokenInvariant(); !broken.empty()) fuzz::fail(broken);
  return 0;
}
