// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Open of a file the loader refuses changes nothing at all, the selection included; and numbers
// too large for the file, of every length the reader takes, are refused rather than narrowed to
// a cell, where 10 to 15 digits could wrap round to a piece code.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/events.h"
#include "game/saved_game.h"
#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "search/search.h"
#include "state/new_game.h"
#include "state/state.h"
#include "tests/support/game_checks.h"
#include "tests/support/game_file.h"
#include "tests/support/scratch_directory.h"

namespace vombel {
namespace {

namespace fs = std::filesystem;
using testing_support::gameFileText;
using testing_support::numberLine;

class FailedOpen : public testing::Test {
 protected:
  // Each test runs in a scratch directory of its own, where Open finds juego.vmb.
  void SetUp() override {
    scratch_.enter("vombel-failed-open");
    tablero_Load();
    nuevo_Click();
    selectLevel(false);
  }
  void TearDown() override { scratch_.leave(); }
  static void write(const std::string& text) { testing_support::writeFile(kGameFileName, text); }
  // A one-entry game file of the start position with the line of cell (x, y) replaced.
  static std::string withCell(int x, int y, const std::string& line) {
    Board start;
    setStartPosition(start);
    std::string text = numberLine(0);
    for (int row = kLow; row <= kHigh; ++row) {
      for (int file = kLow; file <= kHigh; ++file)
        text += file == x && row == y ? line : numberLine(start(file, row));
    }
    return text;
  }

  testing_support::ScratchDirectory scratch_;
};

TEST_F(FailedOpen, KeepsTheSelectionAndEverythingElse) {
  c_Click(screenIndex(5, 2));
  c_Click(screenIndex(5, 4));  // e2-e4 and the computer's answer
  c_Click(screenIndex(4, 2));  // d2 selected
  ASSERT_EQ(clickState, 1);
  const auto before = checks::takeSnapshot();

  fs::remove(kGameFileName);
  open_Click();  // no file
  EXPECT_EQ(checks::firstDifference(*before, *checks::takeSnapshot()), "") << "missing file";
  write(withCell(4, 4, " 11 \r\n"));
  open_Click();  // not a piece code
  EXPECT_EQ(checks::firstDifference(*before, *checks::takeSnapshot()), "") << "bad code";
  EXPECT_EQ(clickState, 1);
  EXPECT_EQ(fromSquare, screenIndex(4, 2));
  EXPECT_EQ(c[screenIndex(4, 2)].appearance, 1);

  // The selection still plays: d2-d4.
  c_Click(screenIndex(4, 4));
  EXPECT_EQ(gameHistory[3](4, 4), -kPawn);
}

// A line of the file: sign, then a number of the given count of digits (6 and more: out of
// range) that a reader narrowing it to 32 bits would take for target (with the sign, -target):
// from 10 digits on, a multiple of 2^32 plus target.
std::string outOfRangeLine(const char* sign, int digits, long long target) {
  const long long wrap = 1LL << 32;
  long long low = 1;
  for (int i = 1; i < digits; ++i)
    low *= 10;
  const long long value = digits >= 10 ? (low / wrap + 1) * wrap + target : low + 1 + target;
  const std::string text = std::to_string(value);
  EXPECT_EQ(text.size(), static_cast<std::size_t>(digits));
  std::string line = sign;
  line += text;
  line += " \r\n";
  return line;
}

TEST_F(FailedOpen, RefusesOutOfRangeNumbersOfEveryLength) {
  const auto before = checks::takeSnapshot();
  // From the first length out of range to one past the reader's limit of 15 characters, the
  // minus sign included.
  for (int digits = 6; digits <= 16; ++digits) {
    SCOPED_TRACE(digits);
    // A computer pawn, and with a minus sign a human pawn, in a playable cell.
    write(withCell(4, 4, outOfRangeLine(" ", digits, kPawn)));
    EXPECT_FALSE(loadGameFile(kGameFileName));
    write(withCell(4, 4, outOfRangeLine("-", digits, kPawn)));
    EXPECT_FALSE(loadGameFile(kGameFileName));
    // A border cell's 2.
    write(withCell(0, 0, outOfRangeLine(" ", digits, kBorder)));
    EXPECT_FALSE(loadGameFile(kGameFileName));
    // The move counter 0.
    std::string counter = withCell(kLow, kLow, numberLine(kBorder));
    counter.replace(0, counter.find('\n') + 1, outOfRangeLine(" ", digits, 0));
    write(counter);
    EXPECT_FALSE(loadGameFile(kGameFileName));
    EXPECT_EQ(checks::firstDifference(*before, *checks::takeSnapshot()), "");
  }
  // Fifteen characters are still read: a plus sign and fourteen zeros is an empty square.
  write(withCell(4, 4, "+00000000000000 \r\n"));
  EXPECT_TRUE(loadGameFile(kGameFileName));
}

}  // namespace
}  // namespace vombel
