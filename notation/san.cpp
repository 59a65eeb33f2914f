// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "notation/san.h"

#include <cstdlib>

#include "notation/rules.h"

namespace vombel {

namespace {

char pieceLetter(std::int32_t code) {
  switch (std::abs(code)) {
    case kKnight:
      return 'N';
    case kBishop:
      return 'B';
    case kRook:
      return 'R';
    case kQueen:
      return 'Q';
    case kPawn:
      return '\0';
    default:
      return 'K';
  }
}

// True when the piece on (x, y) of before, of the mover's side, could legally go to m's square.
bool rivalReaches(const Board& before, const HalfMove& m, int x, int y) {
  if (!generatorMoves(before, x, y, m.toX, m.toY)) return false;
  int kingX = 0;
  int kingY = 0;
  if (findKing(before, m.black, kingX, kingY) != 1) return true;
  Board trial = before;
  playMove(trial, x, y, m.toX, m.toY);
  return !inCheck(trial, m.black);
}

}  // namespace

void writeSquare(int x, int y, char (&name)[3]) {
  name[0] = static_cast<char>('a' + x - 1);
  name[1] = static_cast<char>('0' + y);
  name[2] = '\0';
}

void writeSan(const Board& before, const Board& after, const HalfMove& m, char (&san)[kSanSize]) {
  int n = 0;
  const auto put = [&](char ch) { san[n++] = ch; };
  const auto putText = [&](const char* text) {
    for (; *text != '\0'; ++text)
      put(*text);
  };
  if (m.kind == EntryKind::castling) {
    putText(m.toX == 3 ? "O-O-O" : "O-O");
  } else if (m.kind == EntryKind::move) {
    const char letter = pieceLetter(m.piece);
    if (letter == '\0') {
      if (m.captured != kEmpty) put(static_cast<char>('a' + m.fromX - 1));
    } else {
      put(letter);
      // Rivals: the same kind of piece elsewhere that could go there too.
      bool rival = false;
      bool rivalOnFile = false;
      bool rivalOnRank = false;
      for (int y = 1; y <= 8; ++y) {
        for (int x = 1; x <= 8; ++x) {
          if ((x == m.fromX && y == m.fromY) || before(x, y) != m.piece) continue;
          if (!rivalReaches(before, m, x, y)) continue;
          rival = true;
          rivalOnFile = rivalOnFile || x == m.fromX;
          rivalOnRank = rivalOnRank || y == m.fromY;
        }
      }
      if (rival && (!rivalOnFile || rivalOnRank)) put(static_cast<char>('a' + m.fromX - 1));
      if (rivalOnFile) put(static_cast<char>('0' + m.fromY));
    }
    if (m.captured != kEmpty) put('x');
    put(static_cast<char>('a' + m.toX - 1));
    put(static_cast<char>('0' + m.toY));
    if (m.promotion) putText("=Q");
  } else {
    san[0] = '\0';
    return;
  }
  if (inCheck(after, !m.black)) {
    // The pawn that stepped two squares may be taken en passant by the side in check.
    const bool doubleStep = std::abs(m.piece) == kPawn && std::abs(m.toY - m.fromY) == 2;
    put(hasLegalMove(after, !m.black, doubleStep ? m.toX : 0) ? '+' : '#');
  }
  san[n] = '\0';
}

}  // namespace vombel
