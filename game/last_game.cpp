// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/last_game.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "game/saved_game.h"
#include "state/history.h"
#include "state/state.h"

namespace vombel {

namespace {

int lastGameFolder = -1;  // where the last game is kept, -1: nowhere
char lastGameName[PATH_MAX + 32] = "";

// What counts as moves kept nowhere: a half-move recorded in the history (by the player, castling,
// the computer or a pasted position) since the game was last kept, all of the history when the
// last Save stopped short of its last entry, or the board on display differing from its history
// entry (a piece moved in set-up; the shown entry's pawn that painting made a queen counts too,
// harmlessly). Browsing the history, the level, the clocks and the options do not count: they
// lose nothing. keptRecords is historyRecords when the game was last kept, kNotKept after a short
// Save.
constexpr std::int64_t kNotKept = -1;
std::int64_t keptRecords = 0;

}  // namespace

void keepLastGameIn(int folder, const char* folderPath) {
  if (lastGameFolder >= 0) ::close(lastGameFolder);
  lastGameFolder = folder;
  const bool root = std::strcmp(folderPath, "/") == 0;  // "/last-game.vmb", not "//last-game.vmb"
  std::snprintf(lastGameName, sizeof lastGameName, "%s/%s", root ? "" : folderPath,
                kLastGameFileName);
}

const char* lastGamePath() {
  return lastGameName;
}

bool gameHasUnkeptMoves() {
  return keptRecords != static_cast<std::int64_t>(historyRecords) ||
         std::memcmp(&board, &gameHistory[currentMove()], sizeof board) != 0;
}

void noteGameKept() {
  keptRecords = historyRecords;
}

void noteGameUnkept() {
  keptRecords = kNotKept;
}

FileResult keepLastGame() {
  if (lastGameFolder < 0 || !gameHasUnkeptMoves()) return {};
  FileResult result = saveWholeGameFile(kLastGameFileName, lastGameFolder);
  if (result) noteGameKept();
  return result;
}

bool hasLastGame() {
  struct stat status;
  return lastGameFolder >= 0 &&
         ::fstatat(lastGameFolder, kLastGameFileName, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
         S_ISREG(status.st_mode);
}

FileResult readLastGame() {
  if (lastGameFolder < 0) return failedWith(ENOENT);
  return readGameFile(kLastGameFileName, lastGameFolder);
}

}  // namespace vombel
