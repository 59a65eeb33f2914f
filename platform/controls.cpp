// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/controls.h"

#include <chrono>
#include <cstdio>

namespace vombel {

PictureBox c[64];
Label lbl_jugada;
Label tiempoco;
Label tiempous;
CheckBox boardsu;
ProgressBar Progreso;
OptionButton easy;
OptionButton difficult;
CommandButton info = {"Less Information"};
int windowHeight = kFullHeight;

namespace {

double steadySeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double (*clockInUse)() = steadySeconds;

}  // namespace

void setCaption(Label& label, const char* text) {
  std::snprintf(label.caption, sizeof label.caption, "%s", text);
}

void setCaption(Label& label, long long number) {
  std::snprintf(label.caption, sizeof label.caption, "%lld", number);
}

void setCaption(CommandButton& button, const char* text) {
  std::snprintf(button.caption, sizeof button.caption, "%s", text);
}

void setProgressMax(int max) {
  Progreso.max = max;
  if (Progreso.value > max) Progreso.value = max;
}

void setProgressValue(int value) {
  Progreso.value = value;
}

void selectLevel(bool isDifficult) {
  difficult.value = isDifficult;
  easy.value = !isDifficult;
}

double timeOfDay() {
  return clockInUse();
}

void setClock(double (*clock)()) {
  clockInUse = clock != nullptr ? clock : steadySeconds;
}

}  // namespace vombel
