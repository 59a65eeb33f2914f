// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Helpers shared by the engine tests: positions written as text, and a fixture that starts every
// test from a fresh game with what the game tells captured.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "state/board.h"

namespace vombel::testing_support {

// The start position as boardFromText reads it.
inline constexpr const char* kStartText =
    "rnbqkbnr pppppppp ........ ........ ........ ........ PPPPPPPP RNBQKBNR";

// A board from eight ranks of text, rank 8 first, file 1 on the left. Upper case is the human's
// (White), lower case the computer's; '.' is empty. Spaces are ignored. The border holds 2.
//
//   boardFromText("rnbqkbnr"
//                 "pppppppp"
//                 "........"  x 4
//                 "PPPPPPPP"
//                 "RNBQKBNR");
Board boardFromText(const std::string& ranks);

// The text form of a board's playable squares, as boardFromText reads it ('?' for other codes).
std::string boardToText(const Board& b);

// Starts a new game, then makes position the game position and history entry 0 and repaints.
void startFrom(const std::string& ranks);

// True when VOMBEL_TEST_PORTABLE_SEARCH=1 is in the environment: every test then runs the bulk
// count's copy for any CPU, as a CPU without the bit-count instruction does. Only CTest sets it,
// for a second run of the engine tests; the game and the benchmark never read it.
bool portableCopyForced();

// Messages shown, beeps sounded and the highest progress the search reported since the fixture
// started.
extern std::vector<std::string> messages;
extern int beeps;
extern int highestProgress;

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override;
};

}  // namespace vombel::testing_support
