// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The last game. A game with moves kept nowhere else is saved as the last game, in the saved-game
// format, whenever it is about to be discarded: by New, Open and Resume Last Game here, and by
// the window on Exit, the close button and the signals that end the program. Resume Last Game
// brings it back as Open would.
#pragma once

#include "files/safe_file.h"

namespace vombel {

inline constexpr const char* kLastGameFileName = "last-game.vmb";

// Keeps the last game in folder from now on: a descriptor of the state folder (or of the folder
// used instead), which is then the game's to close; folderPath names it in messages. Until this is
// called, as in the tests and the driver without --keep-last-game, no last game is kept.
void keepLastGameIn(int folder, const char* folderPath);

// The last game's file as messages name it: the folder's path and kLastGameFileName.
const char* lastGamePath();

// True when the game on the board has moves kept nowhere: neither in juego.vmb as the last
// Save or Open left it, nor in the last game's file. See noteGameKept for what counts.
bool gameHasUnkeptMoves();

// The game on the board is kept as it is now (New, Open, a Save of the whole history, a kept or
// resumed last game).
void noteGameKept();

// The game on the board is kept nowhere, whatever it holds (a Save that stopped short of the last
// recorded entry has just replaced the only copy of the later ones).
void noteGameUnkept();

// Saves the game as the last game, every recorded entry (saveWholeGameFile), if it has unkept
// moves and a folder is set. Done (an empty result) when there was nothing to keep.
FileResult keepLastGame();

// True when a last game can be resumed: a folder is set and the file there is a regular file.
bool hasLastGame();

// Reads the last game, as readGameFile does, for takeInReadGame.
FileResult readLastGame();

}  // namespace vombel
