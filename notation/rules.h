// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Standard chess as other programs read the game: which squares a side attacks, check, castling
// rights, whether a move is legal and whether a position can start a game. The game's own rules
// are looser (castling judged from placement and attack maps, no check test for the computer,
// kings that can be taken after set-up); the notation uses these rules to say where a game
// leaves standard chess and to write what other programs accept.
#pragma once

#include <cstdint>

#include "notation/moves.h"
#include "state/board.h"

namespace vombel {

// True when a piece of the side black attacks the playable square (x, y): pawns diagonally
// forward whether the square is occupied or not, the other pieces as they move.
bool attackedBy(const Board& b, int x, int y, bool black);

// How many kings the side black has on b; the square of the last one found in x, y.
int findKing(const Board& b, bool black, int& x, int& y);

// True when the side black has one king and the other side attacks it.
bool inCheck(const Board& b, bool black);

// True when the side black, to move, has a legal move (castling aside: it never answers a
// check). epFile is the file of a pawn of the other side that has just stepped two squares, and
// may be taken en passant; 0 when none.
bool hasLegalMove(const Board& b, bool black, int epFile);

// Castling rights as FEN's castling field lists them, "KQkq".
inline constexpr int kWhiteKingSide = 1;
inline constexpr int kWhiteQueenSide = 2;
inline constexpr int kBlackKingSide = 4;
inline constexpr int kBlackQueenSide = 8;

// The rights the placement allows: each side's king and rook on their first squares.
int castlingByPlacement(const Board& b);

// The rights left after a move from or to (x, y) on a back rank: a king or rook that leaves its
// first square loses its rights, a rook taken there loses its own.
int castlingAfter(int rights, int x, int y);

// Why a position cannot start a game of standard chess.
enum class PositionFault : std::uint8_t {
  none,
  noWhiteKing,
  whiteKings,  // more than one
  noBlackKing,
  blackKings,
  pawnOnEdge,        // a pawn on rank 1 or 8
  notToMoveInCheck,  // the side that is not to move is in check
};
PositionFault positionFault(const Board& b, bool blackToMove);

// Why a half-move of the game is not a move of standard chess.
enum class MoveFault : std::uint8_t {
  none,
  setUp,              // a set-up change: no move at all
  wrongSide,          // the other side was to move
  takesKing,          // it captures a king
  leavesCheck,        // the mover's king is attacked after it
  castlingForbidden,  // the right is lost, or the king is in check or crosses an attacked square
};

// The fault of half-move m, from before to after, in a game of standard chess with the side
// blackToMove to move and castling rights rights; none for a legal move.
MoveFault moveFault(const Board& before, const Board& after, const HalfMove& m, bool blackToMove,
                    int rights);

}  // namespace vombel
