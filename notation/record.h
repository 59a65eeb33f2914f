// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game in the history as chess players read it: for each entry the half-move that led to it,
// its SAN and move number for the move list, and the games of standard chess it makes up for a
// PGN file. notateHistory fills the record; the move list, the last-move mark, Copy Position and
// the PGN export read it.
//
// Where the history leaves standard chess (a set-up change, a move standard chess does not
// allow, the computer's resignation), the game of standard chess in progress ends and the next
// one starts from the first position after it that standard chess can set up, with the side to
// move that makes the next half-move. So
//
//   entry  0 start   1 e4   2 e5   3 (set-up)   4 Nf3   5 Kxe1?   6 d4 ...
//          game 1 ----------->     game 2 ------------>  (no White king: no game can start)
#pragma once

#include <cstdint>

#include "notation/fen.h"
#include "notation/moves.h"
#include "notation/rules.h"
#include "notation/san.h"
#include "state/state.h"

namespace vombel {

// How a game of standard chess ends where the history leaves it.
enum class GameEnd : std::uint8_t {
  none,       // the game goes on, or there is none
  undecided,  // "*"
  whiteWins,  // "1-0": Black is checkmated
  blackWins,  // "0-1": White is checkmated
  drawn,      // "1/2-1/2": the side to move is stalemated
};

struct RecordEntry {
  HalfMove move;       // from entry i - 1 to entry i; entry 0 has kind start
  char san[kSanSize];  // the move's SAN (kinds move and castling); "" otherwise
  // The move list's numbering: White's move "12. Nf3", Black's "12... Nc6" where it does not
  // follow White's move of that number. A resignation takes Black's place.
  std::int16_t number;  // the number of this entry's move, or of the last move before it
  bool numberShown;     // a Black move that shows its number
  bool lastMoveWhite;   // after this entry: the last numbered half-move was White's
  bool anyMove;         // after this entry: some half-move has been numbered

  // The games of standard chess, in the order a PGN file takes them:
  bool gameMove;                // this entry's half-move belongs to the game in progress
  bool resigns;                 // ... which Black, the computer, resigns here ("1-0")
  bool gameStart;               // a game starts from this entry's position
  GameEnd end;                  // the game in progress ends here (the history ends or leaves
                                // standard chess after this position), and how
  MoveFault fault;              // why the half-move ended the game before it; none otherwise
  PositionFault positionFault;  // why no game could start from this position; none otherwise
  // The position in standard chess: side to move, castling rights and halfmove clock (in a
  // game as it has gone so far; elsewhere the side that moves next, the rights the placement
  // allows and 0).
  bool blackToMove;
  std::int8_t castling;
  std::int16_t halfmoveClock;
};

extern RecordEntry gameRecord[kMaxHistory + 1];
extern int recordLast;  // the last entry notateHistory described

// Describes history entries 0..last in gameRecord. Reads gameHistory only; call it again after
// the history changes, and before reading the record.
void notateHistory(int last);

// The number the next half-move of the side black would get after entry i: "12." or "12...".
int numberFor(int entry, bool black);

// The move list's text for entry i: "12. Nf3", "12... Nc6", "Nc6" after White's 12th move,
// "(set-up)", "(resigns)"; "" for entry 0.
inline constexpr int kMoveTextSize = 16;
void writeMoveListText(int entry, char (&text)[kMoveTextSize]);

// The FEN of entry i as the record describes its position.
void writeEntryFen(int entry, char (&fen)[kFenSize]);

// Copy Position: the FEN of the position shown (board), White to move. Its castling rights and
// halfmove clock are those of the history entry shown, unless set-up mode has changed board
// since (then the rights the placement allows and 0); its move number is White's next.
// Describes the history up to historia's maximum, as the move list does.
void writeShownPositionFen(char (&fen)[kFenSize]);

}  // namespace vombel
