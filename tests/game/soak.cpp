// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// vombel-soak: whole games through the turn cycle. A seeded random choice among the human's legal
// click pairs plays White with two calls of c_Click; the computer answers inside the second
// click. A game ends when the computer resigns, the human has no legal move, or 300 half-moves
// are recorded. Once during each game, and at its end, the game is saved, a new game is started,
// the file is loaded back and everything is compared. The invariants are checked after every
// half-move; at the end of each game the notation must read every half-move as a move and write
// the game as PGN. Any fault prints the seed of its game and ends with exit status 1.
//
//   vombel-soak [--easy N] [--difficult N] [--seed S] [--dir DIR]
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "game/events.h"
#include "game/saved_game.h"
#include "game/turn_cycle.h"
#include "notation/pgn.h"
#include "notation/record.h"
#include "platform/controls.h"
#include "search/search.h"
#include "state/board_ops.h"
#include "state/history.h"
#include "state/state.h"
#include "tests/support/game_checks.h"
#include "tests/support/game_file.h"
#include "tests/support/soak_options.h"

namespace {

using namespace vombel;

struct Totals {
  int games = 0;
  long halfMoves = 0;
  int resignations = 0;
  int noLegalMove = 0;
  int fullHistory = 0;
  int roundTrips = 0;
  int castlings = 0;
};

// Appends every part to one string.
template <class... Parts>
std::string join(const Parts&... parts) {
  std::string text;
  (text += ... += parts);
  return text;
}

// Saves, starts a new game, loads the file back and compares; then the level is set again, as
// New selects Difficult. Returns a description of the first difference, empty when none.
std::string roundTrip(const std::string& path, bool difficultLevel) {
  const int n = currentMove();
  const Board shown = board;
  std::vector<Board> entries(gameHistory, gameHistory + n + 1);
  if (!saveGameFile(path.c_str())) return "save failed";
  const std::string saved = testing_support::readFile(path);
  const auto lines = std::count(saved.begin(), saved.end(), '\n');
  if (lines != 1 + 144L * (n + 1)) return "saved file has " + std::to_string(lines) + " lines";

  nuevo_Click();
  if (!loadGameFile(path.c_str())) return "load of the saved game failed";
  selectLevel(difficultLevel);
  if (currentMove() != n || historia.value != n || historia.max != n) {
    return "after loading, moveNumber " + std::to_string(currentMove()) + ", historia " +
           std::to_string(historia.value) + "/" + std::to_string(historia.max) + ", expected " +
           std::to_string(n);
  }
  for (int i = 0; i <= n; ++i) {
    if (std::memcmp(&entries[i], &gameHistory[i], sizeof(Board)) != 0) {
      return "history entry " + std::to_string(i) + " differs after loading";
    }
  }
  if (std::memcmp(&shown, &board, sizeof(Board)) != 0) return "board differs after loading";
  if (!saveGameFile(path.c_str())) return "second save failed";
  if (testing_support::readFile(path) != saved)
    return "saving the loaded game wrote a different file";
  return {};
}

// Plays one game; returns a description of the first fault, empty when there was none.
std::string playGame(std::uint32_t seed, bool difficultLevel, const std::string& path,
                     Totals& totals) {
  std::mt19937 random(seed);
  nuevo_Click();
  selectLevel(difficultLevel);
  const int roundTripAt = 2 + static_cast<int>(random() % 60);
  // Half the games pick among all legal moves, the others among those that win most material.
  const bool greedy = random() % 2 == 0;
  bool roundTripDone = false;
  if (auto broken = checks::brokenInvariant(); !broken.empty()) return "new game: " + broken;

  for (;;) {
    if (historyFull()) {
      ++totals.fullHistory;
      break;
    }
    auto pairs = checks::legalClickPairs();
    if (pairs.empty()) {
      ++totals.noLegalMove;
      break;
    }
    if (greedy) {
      const int best =
          std::max_element(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) {
            return a.materialGain < b.materialGain;
          })->materialGain;
      std::erase_if(pairs, [best](const auto& p) { return p.materialGain < best; });
    }
    const auto pair = pairs[random() % pairs.size()];
    const int before = currentMove();
    const auto turnsBefore = turnReport.turns;
    c_Click(pair.from);
    c_Click(pair.to);
    const auto move = [&] {
      return join("half-move ", std::to_string(before + 1), " (clicks ", std::to_string(pair.from),
                  ", ", std::to_string(pair.to), ")");
    };
    if (auto broken = checks::brokenInvariant(); !broken.empty()) return join(move(), ": ", broken);
    const int expected = std::min(before + 2, kMaxHistory);
    if (currentMove() != expected) {
      return join(move(), ": moveNumber ", std::to_string(currentMove()), ", expected ",
                  std::to_string(expected));
    }
    totals.halfMoves += currentMove() - before;
    if (pair.castling) ++totals.castlings;
    if (turnReport.turns != turnsBefore && turnReport.resigned) {
      ++totals.resignations;
      break;
    }
    if (!roundTripDone && currentMove() >= roundTripAt) {
      roundTripDone = true;
      ++totals.roundTrips;
      if (auto difference = roundTrip(path, difficultLevel); !difference.empty()) {
        return join(move(), ", round trip: ", difference);
      }
      if (auto broken = checks::brokenInvariant(); !broken.empty()) {
        return join(move(), ": ", broken);
      }
    }
  }
  // The notation finds a move of the game's rules between every two entries, and writes PGN.
  notateHistory(currentMove());
  for (int i = 1; i <= currentMove(); ++i) {
    if (gameRecord[i].move.kind == EntryKind::setUp) {
      return "half-move " + std::to_string(i) + " reads as a set-up change";
    }
  }
  static char pgn[kPgnCapacity];
  if (writePgn({"Player", "Vombel Chess", 2026, 1, 1}, pgn, sizeof pgn) <= 0)
    return "no PGN written";
  ++totals.roundTrips;
  if (auto difference = roundTrip(path, difficultLevel); !difference.empty()) {
    return "round trip at the end: " + difference;
  }
  if (auto broken = checks::brokenInvariant(); !broken.empty()) return "end: " + broken;
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  long easyGames = 20;
  long difficultGames = 1;
  long seed = 1;
  std::string dir = ".";
  if (const std::string wrong = testing_support::readSoakOptions(
          argc, argv, {{"--easy", &easyGames}, {"--difficult", &difficultGames}, {"--seed", &seed}},
          dir);
      !wrong.empty()) {
    std::fprintf(stderr, "vombel-soak: %s\n", wrong.c_str());
    return 2;
  }

  tablero_Load();
  const std::string path = dir + "/soak.vmb";
  Totals totals;
  for (long g = 0; g < easyGames + difficultGames; ++g) {
    const bool difficultLevel = g >= easyGames;
    const auto gameSeed = static_cast<std::uint32_t>(seed * 100003 + g);
    const std::string fault = playGame(gameSeed, difficultLevel, path, totals);
    ++totals.games;
    if (!fault.empty()) {
      std::printf("FAULT in game %ld (%s, seed %u): %s\n", g + 1,
                  difficultLevel ? "difficult" : "easy", gameSeed, fault.c_str());
      return 1;
    }
  }
  std::remove(path.c_str());
  std::printf(
      "soak: %d games (%ld easy, %ld difficult), %ld half-moves, %d resignations, %d without a "
      "legal move, %d reached 300, %d castlings, %d round trips\n",
      totals.games, easyGames, difficultGames, totals.halfMoves, totals.resignations,
      totals.noLegalMove, totals.fullHistory, totals.castlings, totals.roundTrips);
  std::printf("soak: %d passed, 0 failed\n", totals.games);
  return 0;
}
