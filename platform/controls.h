// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window's controls that the game reads and writes, as plain state. The Qt window draws this
// state and turns the user's actions into calls of the handlers; headless, the same state and
// handlers run without a display.
#pragma once

#include <cstdint>

namespace vombel {

// The picture store: Picture1..Picture26 are numbered 1..26 and a square shares one of them by
// number, so an empty square is recognised by comparing numbers with Picture25 and Picture26.
inline constexpr int kPictureLightEmpty = 25;
inline constexpr int kPictureDarkEmpty = 26;

struct PictureBox {
  int picture;      // number of the shared store picture shown, 0 before the first paint
  int appearance;   // 0 flat, 1 three-dimensional (the selection highlight)
  int borderStyle;  // 1 single-line border
  bool visible;
};

struct Label {
  char caption[32];
};

struct ScrollBar {
  int max;
  int value;
};

struct ProgressBar {
  int max;
  int value;
};

struct OptionButton {
  bool value;
};

struct CheckBox {
  int value;  // 0 unchecked, 1 checked
};

struct CommandButton {
  char caption[32];
};

extern PictureBox c[64];
extern Label lbl_jugada;
extern Label tiempoco;
extern Label tiempous;
extern CheckBox boardsu;
extern ProgressBar Progreso;
extern OptionButton easy;
extern OptionButton difficult;
extern CommandButton info;

// Window outer heights of the full and the compact layout, in twips.
inline constexpr int kFullHeight = 7965;
inline constexpr int kCompactHeight = 4500;
extern int windowHeight;

void setCaption(Label& label, const char* text);
void setCaption(Label& label, long long number);
void setCaption(CommandButton& button, const char* text);

void setProgressMax(int max);
void setProgressValue(int value);

// The level option buttons: selecting one deselects the other.
void selectLevel(bool isDifficult);

// Seconds, with fractions, from the steady clock or the one setClock put in its place.
double timeOfDay();

// Replaces the clock timeOfDay reads (a test's own); nullptr puts the steady clock back.
void setClock(double (*clock)());

}  // namespace vombel
