// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/exchange.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "files/safe_file.h"
#include "game/turn_cycle.h"
#include "notation/pgn.h"
#include "notation/record.h"
#include "platform/controls.h"
#include "state/board_ops.h"
#include "state/history.h"
#include "state/painting.h"
#include "state/state.h"

#ifndef VOMBEL_VERSION
#error "VOMBEL_VERSION must be defined by the build (the project's version)"
#endif

namespace vombel {

namespace {

char pgnText[kPgnCapacity];
int pgnLength;

void writePgnText(std::FILE* file) {
  std::fwrite(pgnText, 1, static_cast<std::size_t>(pgnLength), file);
}

}  // namespace

bool exportGame(const char* path, char (&reason)[kExportReasonSize]) {
  reason[0] = '\0';
  const std::time_t now = std::time(nullptr);
  std::tm today{};
  if (::localtime_r(&now, &today) == nullptr) today = std::tm{};
  const PgnHeader header{kPlayerName, "Vombel Chess " VOMBEL_VERSION, today.tm_year + 1900,
                         today.tm_mon + 1, today.tm_mday};
  notateHistory(currentMove());
  pgnLength = writePgn(header, pgnText, sizeof pgnText);
  notateHistory(historia.max);  // the move list describes the whole history again
  if (pgnLength <= 0) {
    std::snprintf(reason, sizeof reason, "%s",
                  pgnLength == 0 ? "no position of this game is one that standard chess can set up"
                                 : "the game is too long to write");
    return false;
  }
  const FileResult written = replaceFile(path, writePgnText);
  if (written) return true;
  std::snprintf(reason, sizeof reason, "%s", written.reason());
  return false;
}

void copyPosition(char (&fen)[kFenSize]) {
  writeShownPositionFen(fen);
}

bool pastePosition(const char* text, char (&reason)[kFenReasonSize]) {
  const auto refuse = [&](const char* why) {
    std::snprintf(reason, sizeof reason, "%s", why);
    return false;
  };
  if (boardsu.value == 0) return refuse("positions are pasted in set-up mode");
  if (historyFull()) return refuse("the game has no room for another position");
  Board pasted;
  if (!readFenPlacement(text, pasted, reason)) return false;
  clearSelection();
  copyBoard(board, pasted);
  promoteLastRankPawns();  // a pawn on its last rank becomes a queen, as everywhere
  pintar_tablero();
  // The same position again would read as the computer's resignation.
  if (std::memcmp(&board, &gameHistory[currentMove()], sizeof board) != 0) recordHistory();
  return true;
}

}  // namespace vombel
