// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game in the history as a PGN file (Portable Game Notation, export format): one game of
// standard chess after another, as notateHistory divides the history (notation/record.h). Each
// has the seven tag roster, FEN and SetUp "1" when it does not start from the standard position
// with White to move at move 1, its moves in SAN with their numbers and wrapped before column
// 80, and its result: "1-0" where the computer resigned, the result of a checkmate or stalemate
// on its last position, "*" otherwise. A game that stops where the history leaves standard chess
// says why in a closing comment:
//
//   [Event "Vombel Chess game"]
//   ...
//   [Result "*"]
//
//   1. e4 e5 2. Nf3 {Then the position was changed in set-up mode. The game goes on in the
//   next game of this file.} *
#pragma once

namespace vombel {

struct PgnHeader {
  const char* white;  // the player's name (quotes and backslashes are escaped, controls dropped)
  const char* black;  // the program's name and version
  int year, month, day;
};

// Room for the largest file: 301 games of a history that leaves standard chess at every entry.
inline constexpr int kPgnCapacity = 1 << 18;

// Writes the PGN of the games in the record (notateHistory first) into text, zero-terminated,
// with lines ended by "\n". Returns its length; 0 when there is no game to write (standard chess
// can set up none of the history's positions); -1 when it does not fit in capacity bytes.
int writePgn(const PgnHeader& header, char* text, int capacity);

}  // namespace vombel
