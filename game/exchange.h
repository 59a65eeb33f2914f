// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game and its positions exchanged with other chess programs: Game > Export Game… writes a
// PGN file, Copy Position and Paste Position carry a FEN through the clipboard. The window and
// the headless driver call these; the notation itself is in notation/.
#pragma once

#include "notation/fen.h"

namespace vombel {

// White's name in an exported game; Black is the program, "Vombel Chess 2.0".
inline constexpr const char* kPlayerName = "Player";

// Why an export failed, for a warning box.
inline constexpr int kExportReasonSize = 160;

// Export Game: writes the game in the history, entries 0..moveNumber (what Save keeps), as PGN
// to path, dated today, as Save writes (files/safe_file.h): an existing file is replaced only
// once the new one is whole and on disk. Returns false with the reason when there is nothing to
// write or the file could not be written.
bool exportGame(const char* path, char (&reason)[kExportReasonSize]);

// Copy Position: the FEN of the position shown, White to move.
void copyPosition(char (&fen)[kFenSize]);

// Paste Position, in set-up mode: sets board from the FEN placement in text and records it as
// a history entry, which the move list shows as a set-up change (scrolling back undoes it).
// Returns false with the reason, changing nothing, outside set-up mode, when the history is full
// or when text is not a FEN placement.
bool pastePosition(const char* text, char (&reason)[kFenReasonSize]);

}  // namespace vombel
