// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "state/board.h"

namespace vombel {

// A fresh game: the start position on board, the working boards filled with 2, the square
// colours, reset controls and clocks, the start position as history entry 0, and a repaint.
void newGame();

// Fills every cell of the working boards with 2 and puts the start position on board.
void initBoards();
// Fills every cell of the calling thread's plyBoard1 ... plyBoard6 with 2: the border the
// search's copies keep. initBoards does it for the game's thread, each search thread as it starts.
void initPlyBoards();
void initSquares();
void resetGameControls();
void resetGameRecord();

// Writes the start position into b: border 2, the two armies on their home ranks.
void setStartPosition(Board& b);

}  // namespace vombel
