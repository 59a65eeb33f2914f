// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "notation/record.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "state/history.h"

namespace vombel {

RecordEntry gameRecord[kMaxHistory + 1];
int recordLast;

namespace {

bool isMove(const HalfMove& m) {
  return m.kind == EntryKind::move || m.kind == EntryKind::castling;
}

// The side that moves next from entry s: the one that makes the half-move after it (Black for
// a resignation); at the end of the history, or before a set-up change, the side that did not
// make the half-move before it (White after anything but a White move).
bool sideToMoveAt(int s, int last) {
  if (s < last) {
    const HalfMove& next = gameRecord[s + 1].move;
    if (isMove(next)) return next.black;
    if (next.kind == EntryKind::resignation) return true;
  }
  const HalfMove& previous = gameRecord[s].move;
  return isMove(previous) && !previous.black;
}

void numberMoves(int last) {
  int number = 1;
  bool lastWhite = false;
  bool any = false;
  for (int i = 0; i <= last; ++i) {
    RecordEntry& e = gameRecord[i];
    const bool numbered = isMove(e.move) || e.move.kind == EntryKind::resignation;
    if (numbered) {
      // Black's move after White's keeps its number; any other half-move takes the next.
      if (any && !(lastWhite && e.move.black)) ++number;
      const HalfMove& previous = gameRecord[i - 1].move;
      e.numberShown = e.move.black && !(isMove(previous) && !previous.black);
      lastWhite = !e.move.black;
      any = true;
    }
    e.number = static_cast<std::int16_t>(number);
    e.lastMoveWhite = lastWhite;
    e.anyMove = any;
  }
}

// Starts a game from entry s when standard chess can set its position up.
bool startGame(int s, int last) {
  RecordEntry& e = gameRecord[s];
  e.blackToMove = sideToMoveAt(s, last);
  e.castling = static_cast<std::int8_t>(castlingByPlacement(gameHistory[s]));
  e.halfmoveClock = 0;
  e.positionFault = positionFault(gameHistory[s], e.blackToMove);
  e.gameStart = e.positionFault == PositionFault::none;
  return e.gameStart;
}

// How a game whose last position is entry i ends: checkmate or stalemate of the side to move,
// or undecided.
GameEnd endAt(int i) {
  const RecordEntry& e = gameRecord[i];
  const HalfMove& m = e.move;
  const bool doubleStep =
      e.gameMove && std::abs(m.piece) == kPawn && std::abs(m.toY - m.fromY) == 2;
  if (hasLegalMove(gameHistory[i], e.blackToMove, doubleStep ? m.toX : 0))
    return GameEnd::undecided;
  if (!inCheck(gameHistory[i], e.blackToMove)) return GameEnd::drawn;
  return e.blackToMove ? GameEnd::whiteWins : GameEnd::blackWins;
}

// Plays entry i's legal move on the state of entry i - 1.
void continueGame(int i) {
  const RecordEntry& before = gameRecord[i - 1];
  RecordEntry& e = gameRecord[i];
  const HalfMove& m = e.move;
  e.gameMove = true;
  e.blackToMove = !m.black;
  e.castling = static_cast<std::int8_t>(
      castlingAfter(castlingAfter(before.castling, m.fromX, m.fromY), m.toX, m.toY));
  const bool resets = std::abs(m.piece) == kPawn || m.captured != kEmpty;
  e.halfmoveClock = static_cast<std::int16_t>(resets ? 0 : before.halfmoveClock + 1);
}

}  // namespace

void notateHistory(int last) {
  recordLast = last;
  for (int i = 0; i <= last; ++i) {
    RecordEntry& e = gameRecord[i];
    e = RecordEntry{};
    if (i == 0) {
      e.move.kind = EntryKind::start;
    } else {
      e.move = findHalfMove(gameHistory[i - 1], gameHistory[i]);
      writeSan(gameHistory[i - 1], gameHistory[i], e.move, e.san);
    }
  }
  numberMoves(last);

  // The games of standard chess: each entry either continues the game in progress, ends it, or
  // (with no game in progress) may start the next.
  bool playing = startGame(0, last);
  for (int i = 1; i <= last; ++i) {
    if (playing) {
      RecordEntry& e = gameRecord[i];
      const RecordEntry& before = gameRecord[i - 1];
      if (e.move.kind == EntryKind::resignation) {
        // The game ends 1-0; the next starts from the same position if play went on.
        e.gameMove = true;
        e.resigns = true;
        e.blackToMove = before.blackToMove;
        e.castling = before.castling;
        e.halfmoveClock = before.halfmoveClock;
        playing = i < last && startGame(i, last);
        continue;
      }
      e.fault = moveFault(gameHistory[i - 1], gameHistory[i], e.move, before.blackToMove,
                          before.castling);
      if (e.fault == MoveFault::none) {
        continueGame(i);
        continue;
      }
      gameRecord[i - 1].end = endAt(i - 1);
    }
    playing = startGame(i, last);
  }
  if (playing) gameRecord[last].end = endAt(last);
}

int numberFor(int entry, bool black) {
  const RecordEntry& e = gameRecord[entry];
  if (!e.anyMove) return 1;
  return black && e.lastMoveWhite ? e.number : e.number + 1;
}

void writeMoveListText(int entry, char (&text)[kMoveTextSize]) {
  const RecordEntry& e = gameRecord[entry];
  switch (e.move.kind) {
    case EntryKind::move:
    case EntryKind::castling:
      if (!e.move.black) {
        std::snprintf(text, sizeof text, "%d. %s", e.number, e.san);
      } else if (e.numberShown) {
        std::snprintf(text, sizeof text, "%d... %s", e.number, e.san);
      } else {
        std::snprintf(text, sizeof text, "%s", e.san);
      }
      return;
    case EntryKind::setUp:
      std::snprintf(text, sizeof text, "(set-up)");
      return;
    case EntryKind::resignation:
      std::snprintf(text, sizeof text, "(resigns)");
      return;
    case EntryKind::start:
      break;
  }
  text[0] = '\0';
}

void writeEntryFen(int entry, char (&fen)[kFenSize]) {
  const RecordEntry& e = gameRecord[entry];
  writeFen(gameHistory[entry],
           {e.blackToMove, e.castling, e.halfmoveClock, numberFor(entry, e.blackToMove)}, fen);
}

void writeShownPositionFen(char (&fen)[kFenSize]) {
  notateHistory(historia.max);
  const int shown = currentMove();
  const RecordEntry& e = gameRecord[shown];
  FenFields fields{false, e.castling, e.halfmoveClock, numberFor(shown, false)};
  // Set-up mode changes board without recording it.
  if (std::memcmp(&board, &gameHistory[shown], sizeof board) != 0) {
    fields.castling = castlingByPlacement(board);
    fields.halfmoveClock = 0;
  }
  writeFen(board, fields, fen);
}

}  // namespace vombel
