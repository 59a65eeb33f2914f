// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What each event of the window tablero does. The Qt window and the headless driver call these;
// neither adds game logic of its own.
#pragma once

namespace vombel {

void tablero_Load();              // the window opens: no selection, full layout, a new game
void tablero_Unload();            // the program ends (Exit, the close button, an ending signal):
                                  // the game is kept as the last game
void nuevo_Click();               // Game > New
void open_Click();                // Game > Open: load juego.vmb
void guardar_Click();             // Game > Save: save juego.vmb
void resume_Click();              // Game > Resume Last Game: load the last game (hasLastGame)
void acerca_Click();              // Help > About...
void force_Click();               // "->": the computer moves now
void info_Click();                // toggles the full and the compact layout
void historia_Scroll(int value);  // the user moves the history scroll bar

// Game > Export Game…: the game as PGN to path (game/exchange.h); a failure is told.
void exportGame_Click(const char* path);
// Game > Paste Position, in set-up mode: the position of the FEN in text, recorded as a set-up
// change (game/exchange.h); text that is no such position, or a refusal, is told.
void pastePosition_Click(const char* text);

// The About text: one sentence on the search, then the credits, separated by runs of spaces
// that the message box's word wrap breaks into lines.
const char* aboutText();

}  // namespace vombel
