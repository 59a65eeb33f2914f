// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The picture each square must show, written out here from the picture list rather than taken
// from the game's own painting code, so that the tests and the invariant checker can disagree
// with it. Picture1..12 show the computer's (black) pieces on grey and the human's (white) on
// white, Picture13..24 the reverse, Picture25 and 26 the empty white and grey squares.
#pragma once

#include <cstdint>

#include "state/board.h"

namespace vombel::testing_support {

struct PictureRow {
  std::int32_t code;
  int onLight;  // on a white square
  int onDark;   // on a grey square
};

// clang-format off
inline constexpr PictureRow kPictures[13] = {
    {kPawn,          13,  1},
    {kKnight,        17,  5},
    {kBishop,        15,  3},
    {kRook,          19,  7},
    {kQueen,         21,  9},
    {kComputerKing,  23, 11},
    {-kPawn,          2, 14},
    {-kKnight,        6, 18},
    {-kBishop,        4, 16},
    {-kRook,          8, 20},
    {-kQueen,        10, 22},
    {kHumanKing,     12, 24},
    {kEmpty,         25, 26},
};
// clang-format on

// True for a white square: a1, at (1, 1), is grey, and the colours alternate.
constexpr bool isLightSquare(int x, int y) {
  return (x + y) % 2 == 1;
}

// The picture for code on square (x, y); 0 for a code without one.
constexpr int expectedPicture(std::int32_t code, int x, int y) {
  for (const PictureRow& row : kPictures) {
    if (row.code == code) return isLightSquare(x, y) ? row.onLight : row.onDark;
  }
  return 0;
}

}  // namespace vombel::testing_support
