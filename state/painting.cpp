// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "state/painting.h"

#include "platform/controls.h"
#include "state/state.h"

namespace vombel {

int pictureFor(int code, bool light) {
  // Picture1..12 show black pieces on grey and white pieces on white, Picture13..24 black pieces
  // on white and white pieces on grey; Picture25 and 26 are the empty light and dark squares.
  switch (code) {
    case kPawn:
      return light ? 13 : 1;
    case kKnight:
      return light ? 17 : 5;
    case kBishop:
      return light ? 15 : 3;
    case kRook:
      return light ? 19 : 7;
    case kQueen:
      return light ? 21 : 9;
    case kComputerKing:
      return light ? 23 : 11;
    case -kPawn:
      return light ? 2 : 14;
    case -kKnight:
      return light ? 6 : 18;
    case -kBishop:
      return light ? 4 : 16;
    case -kRook:
      return light ? 8 : 20;
    case -kQueen:
      return light ? 10 : 22;
    case kHumanKing:
      return light ? 12 : 24;
    case kEmpty:
      return light ? kPictureLightEmpty : kPictureDarkEmpty;
    default:
      return 0;
  }
}

void promoteLastRankPawns() {
  for (int x = 1; x <= 8; ++x) {
    if (board(x, 8) == -kPawn) board(x, 8) = -kQueen;
    if (board(x, 1) == kPawn) board(x, 1) = kQueen;
  }
}

void pintar_tablero() {
  int a = 0;
  for (int y = 8; y >= 1; --y) {
    for (int x = 1; x <= 8; ++x) {
      c[a].appearance = 0;
      const int picture = pictureFor(board(x, y), squareColours[a][0] == 'b');
      // A code without a picture (or a colour table not yet filled) keeps the square as it was.
      if (picture != 0 && (squareColours[a][0] == 'b' || squareColours[a][0] == 'n')) {
        c[a].picture = picture;
      }
      ++a;
    }
  }
}

}  // namespace vombel
