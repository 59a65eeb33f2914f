// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The human's turn: two clicks make a move, which is tested, played, recorded and answered by the
// computer, at once or as the view arranges (requestComputerMove). Also free placement and
// castling.
#pragma once

#include <cstdint>

namespace vombel {

extern std::int32_t clickState;  // 0 nothing selected, 1 a square is selected
extern std::int32_t fromSquare;  // screen index of the selected square
extern std::int32_t toSquare;    // screen index of the last second click

// A click on square control c(a), a = 0..63.
void c_Click(int a);

// Forgets the selection and removes its highlight.
void clearSelection();

// The computer is to move: computerMove at once, after the view has shown the position, unless
// the view defers the turn to play it on its own terms (GameView::deferComputerMove).
void requestComputerMove();

// Tries the human's move from screen index from to screen index to; plays it and the computer's
// reply when it is legal, or moves the piece freely while boardsu is checked.
void humanMove(int from, int to);

// Castles when the click pair is the king's two-square move on either side and the king, rook and
// attack maps allow it; leaves humanCastled 1 when it has castled.
void tryHumanCastling(int from, int to);

}  // namespace vombel
