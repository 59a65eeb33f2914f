// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "state/board.h"

namespace vombel {

// A fresh game: the start position on board, the working boards filled with 2, the square
// colours, reset controls and clocks, the start position as history entry 0, and a repaint.
void newGame();

void initBoards();
void initSquares();
void resetGameControls();
void resetGameRecord();

// Writes the start position into b: border 2, the two armies on their home ranks.
void setStartPosition(Board& b);

}  // namespace vombel
