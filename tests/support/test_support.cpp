// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/test_support.h"

#include <cstdlib>
#include <cstring>

#include "game/events.h"
#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "platform/game_view.h"
#include "search/search.h"
#include "state/board_ops.h"
#include "state/new_game.h"
#include "state/painting.h"
#include "state/state.h"

namespace vombel::testing_support {

std::vector<std::string> messages;
int beeps = 0;
int highestProgress = 0;

bool portableCopyForced() {
  static const bool forced = [] {
    const char* value = std::getenv("VOMBEL_TEST_PORTABLE_SEARCH");
    return value != nullptr && std::strcmp(value, "1") == 0;
  }();
  return forced;
}

namespace {

// Before the first test: the copy for any CPU when the environment asks for it.
class PortableCopyEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (portableCopyForced()) bitCountCopy = false;
  }
};

::testing::Environment* const portableCopyEnvironment =
    ::testing::AddGlobalTestEnvironment(new PortableCopyEnvironment);

// Keeps what the game tells, counts its beeps and follows the search's progress.
class RecordingView : public GameView {
 public:
  void tell(const char* text) override { messages.emplace_back(text); }
  void beep() override { ++beeps; }
  void progress(int value, int /*max*/) override {
    if (value > highestProgress) highestProgress = value;
  }
};

RecordingView recordingView;

int codeOf(char ch) {
  switch (ch) {
    case 'p':
      return kPawn;
    case 'n':
      return kKnight;
    case 'b':
      return kBishop;
    case 'r':
      return kRook;
    case 'q':
      return kQueen;
    case 'k':
      return kComputerKing;
    case 'P':
      return -kPawn;
    case 'N':
      return -kKnight;
    case 'B':
      return -kBishop;
    case 'R':
      return -kRook;
    case 'Q':
      return -kQueen;
    case 'K':
      return kHumanKing;
    default:
      return kEmpty;
  }
}

}  // namespace

Board boardFromText(const std::string& ranks) {
  std::string squares;
  for (char ch : ranks) {
    if (ch != ' ' && ch != '\n') squares += ch;
  }
  EXPECT_EQ(squares.size(), 64u) << "a position needs 64 squares";
  Board b;
  for (int x = kLow; x <= kHigh; ++x) {
    for (int y = kLow; y <= kHigh; ++y)
      b(x, y) = kBorder;
  }
  for (int a = 0; a < 64 && a < static_cast<int>(squares.size()); ++a) {
    b(screenFile(a), screenRank(a)) = codeOf(squares[a]);
  }
  return b;
}

std::string boardToText(const Board& b) {
  std::string text;
  for (int y = 8; y >= 1; --y) {
    for (int x = 1; x <= 8; ++x) {
      char ch = '?';
      for (char candidate : std::string(".pnbrqkPNBRQK")) {
        if (codeOf(candidate) == b(x, y)) ch = candidate;
      }
      text += ch;
    }
    if (y > 1) text += ' ';
  }
  return text;
}

void startFrom(const std::string& ranks) {
  newGame();
  board = boardFromText(ranks);
  copyWholeBoard(gameHistory[0], board);
  promoteLastRankPawns();
  pintar_tablero();
}

void GameTest::SetUp() {
  messages.clear();
  beeps = 0;
  highestProgress = 0;
  setGameView(&recordingView);
  setClock(nullptr);
  tablero_Load();
}

}  // namespace vombel::testing_support
