// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/events.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "game/exchange.h"
#include "game/last_game.h"
#include "game/saved_game.h"
#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "platform/game_view.h"
#include "state/history.h"
#include "state/new_game.h"

#ifndef VOMBEL_VERSION
#error "VOMBEL_VERSION must be defined by the build (the project's version)"
#endif

namespace vombel {

namespace {

// Tells the user that a file could not be used: what (a text with two %s, the file's full name
// and the reason) in a warning box.
void tellFileFailure(const char* what, const char* name, const FileResult& result) {
  char text[PATH_MAX + 512];
  std::snprintf(text, sizeof text, what, name, result.reason());
  gameView().warn(text);
}

// The same for juego.vmb, named with the current folder's path.
void tellGameFileFailure(const char* what, const FileResult& result) {
  char folder[PATH_MAX];
  char name[PATH_MAX + 16];
  if (::getcwd(folder, sizeof folder) != nullptr) {
    const bool root = std::strcmp(folder, "/") == 0;  // "/juego.vmb", not "//juego.vmb"
    std::snprintf(name, sizeof name, "%s/%s", root ? "" : folder, kGameFileName);
  } else {
    std::snprintf(name, sizeof name, "%s", kGameFileName);
  }
  tellFileFailure(what, name, result);
}

// Keeps the game as the last game before it is discarded. A failure is told, and the game is
// discarded all the same: New, Open and Resume do what they are asked.
void keepBeforeDiscarding() {
  const FileResult kept = keepLastGame();
  if (!kept) {
    tellFileFailure("The game on the board could not be kept as the last game in %s: %s.",
                    lastGamePath(), kept);
  }
}

}  // namespace

// The window opens: nothing is selected, the layout is full, and a new game is set up.
void tablero_Load() {
  clickState = 0;
  fromSquare = 0;
  toSquare = 0;
  windowHeight = kFullHeight;
  setCaption(info, "Less Information");
  newGame();
  noteGameKept();
}

void tablero_Unload() {
  keepBeforeDiscarding();
}

// A selection does not survive New, Open or browsing: its highlight is gone with the repaint,
// and a surviving selection would turn the next click into a silent move attempt.
void nuevo_Click() {
  keepBeforeDiscarding();
  clearSelection();
  newGame();
  noteGameKept();
}

// A missing file is no game to open and stays silent; a file that is there but cannot be used
// changes nothing, selection included, and is told.
void open_Click() {
  const FileResult result = readGameFile(kGameFileName);
  if (result) {
    keepBeforeDiscarding();
    takeInReadGame();
    clearSelection();
    noteGameKept();
  } else if (result.error != ENOENT) {
    tellGameFileFailure(
        "The game could not be opened from %s: %s. The game on the board is unchanged.", result);
  }
}

// The game is kept when juego.vmb now holds all of it; a Save short of the last recorded entry
// has replaced the only copy of the entries after it.
void guardar_Click() {
  const FileResult result = saveGameFile(kGameFileName);
  if (!result) {
    tellGameFileFailure("The game could not be saved to %s: %s.", result);
  } else if (currentMove() == historia.max) {
    noteGameKept();
  } else {
    noteGameUnkept();
  }
}

// The game on the board, when it has unkept moves, becomes the last game in the place of the one
// resumed, so that resuming again swaps them back.
void resume_Click() {
  const FileResult result = readLastGame();
  if (!result) {
    if (result.error != ENOENT) {
      tellFileFailure(
          "The last game could not be opened from %s: %s. The game on the board is unchanged.",
          lastGamePath(), result);
    }
    return;
  }
  const bool swapped = gameHasUnkeptMoves();
  keepBeforeDiscarding();
  takeInReadGame();
  clearSelection();
  if (swapped) {
    noteGameUnkept();
  } else {
    noteGameKept();
  }
}

const char* aboutText() {
  return "Uses a 6 ply Alpha/Beta Algorithm."
         "                                                                                      "
         "        "
         "Vombel Chess " VOMBEL_VERSION
         " is free software written by the Vombel Chess developers: you may share and change it "
         "under the GNU General Public License, version 3 or any later version "
         "(GPL-3.0-or-later). It comes with no warranty. "
         "          "
         "Send questions and reports through the project's issue tracker.";
}

void acerca_Click() {
  gameView().tell(aboutText());
}

void force_Click() {
  requestComputerMove();
}

void info_Click() {
  if (windowHeight == kFullHeight) {
    windowHeight = kCompactHeight;
    setCaption(info, "More Information");
  } else if (windowHeight == kCompactHeight) {
    windowHeight = kFullHeight;
    setCaption(info, "Less Information");
  }
}

void historia_Scroll(int value) {
  if (value < 0) value = 0;
  if (value > historia.max) value = historia.max;
  if (value == historia.value) return;
  clearSelection();
  setHistoriaValue(value);
}

// A file that could not be written is told with its name; any file already there is unharmed.
void exportGame_Click(const char* path) {
  char reason[kExportReasonSize];
  if (exportGame(path, reason)) return;
  char text[PATH_MAX + kExportReasonSize + 64];
  std::snprintf(text, sizeof text, "The game could not be exported to %s: %s.", path, reason);
  gameView().warn(text);
}

// Text that is no position the game can take changes nothing and is told with the reason.
void pastePosition_Click(const char* text) {
  char reason[kFenReasonSize];
  if (pastePosition(text, reason)) return;
  char message[kFenReasonSize + 64];
  std::snprintf(message, sizeof message,
                "The position could not be pasted: %s. The board is unchanged.", reason);
  gameView().warn(message);
}

}  // namespace vombel
