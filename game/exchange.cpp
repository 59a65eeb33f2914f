// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/exchange.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

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

// Writes length bytes of text to path through a new file beside it, synced and then renamed
// over path, so that a failed write leaves any old file whole and no other behind. Something at
// path that is not a regular file (a link, a folder) is not replaced. Returns 0 or the errno of
// the step that failed (EEXIST, with ELOOP, for what is not replaced).
int writeWholeFile(const char* path, const char* text, std::size_t length) {
  struct stat existing;
  mode_t mode = 0644;
  if (::lstat(path, &existing) == 0) {
    if (!S_ISREG(existing.st_mode)) return S_ISLNK(existing.st_mode) ? ELOOP : EISDIR;
    mode = existing.st_mode & 0777;
  } else if (errno != ENOENT) {
    return errno;
  }
  char temporary[4096];
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    unsigned int random = 0;
    if (::getrandom(&random, sizeof random, GRND_NONBLOCK) != sizeof random) {
      random = static_cast<unsigned int>(::getpid()) * 2654435761U + static_cast<unsigned>(attempt);
    }
    if (std::snprintf(temporary, sizeof temporary, "%s.%08x", path, random) >=
        static_cast<int>(sizeof temporary)) {
      return ENAMETOOLONG;
    }
    fd = ::open(temporary, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0 && errno != EEXIST) return errno;
  }
  if (fd < 0) return EEXIST;
  int error = 0;
  if (::fchmod(fd, mode) != 0) error = errno;
  for (std::size_t done = 0; error == 0 && done < length;) {
    const ssize_t n = ::write(fd, text + done, length - done);
    if (n < 0 && errno != EINTR) error = errno;
    if (n > 0) done += static_cast<std::size_t>(n);
  }
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary, path) != 0) error = errno;
  if (error != 0) ::unlink(temporary);
  return error;
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
  const int length = writePgn(header, pgnText, sizeof pgnText);
  notateHistory(historia.max);  // the move list describes the whole history again
  if (length <= 0) {
    std::snprintf(reason, sizeof reason, "%s",
                  length == 0 ? "no position of this game is one that standard chess can set up"
                              : "the game is too long to write");
    return false;
  }
  const int error = writeWholeFile(path, pgnText, static_cast<std::size_t>(length));
  if (error == 0) return true;
  std::snprintf(
      reason, sizeof reason, "%s",
      error == ELOOP || error == EISDIR ? "it is not a regular file" : std::strerror(error));
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
  pintar_tablero();  // a pawn on its last rank becomes a queen, as everywhere
  // The same position again would read as the computer's resignation.
  if (std::memcmp(&board, &gameHistory[currentMove()], sizeof board) != 0) recordHistory();
  return true;
}

}  // namespace vombel
