// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The squares the board marks for the eye: the last move played, and a move the game has just
// refused. The window draws them; which squares they are is decided here.
#pragma once

namespace vombel {

// Two squares by screen index (0 is a8, 63 is h1); -1 for none.
struct MoveSquares {
  int from;
  int to;
};
inline constexpr MoveSquares kNoSquares{-1, -1};

// The half-move that led to the history entry shown, when it is a move of either side (castling:
// the king's two squares) and the board still shows that entry. None at entry 0, after a set-up
// change or a resignation, and while set-up mode has moved pieces since. So stepping back through
// the history marks each position's own last move.
MoveSquares lastMoveSquares();

// A click on square a (c_Click), and the move it refused: a second click on another square,
// outside set-up mode, after which no half-move was recorded. kNoSquares otherwise.
MoveSquares clickSquare(int a);

}  // namespace vombel
