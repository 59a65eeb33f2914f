// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace vombel {

// Turns every pawn that stands on its last rank of board into a queen: a human pawn on rank 8,
// a computer pawn on rank 1. Called immediately before each pintar_tablero.
void promoteLastRankPawns();

// Makes the 64 squares show board: each square shares the store picture of its code and colour
// and loses any highlight.
void pintar_tablero();

// The store picture (1..26) for a code on a light or dark square; 0 for a code without one.
int pictureFor(int code, bool lightSquare);

}  // namespace vombel
