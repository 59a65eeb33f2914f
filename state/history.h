// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/controls.h"

namespace vombel {

// The scroll bar that steps through the game's positions. Changing its value, by the user or by
// the program, runs historia_Change; setting the value it already has runs nothing. Lowering Max
// below the value pulls the value down with it, which is a change too.
extern ScrollBar historia;
void setHistoriaMax(int max);
void setHistoriaValue(int value);

// Runs on every change of historia's value: the selected entry becomes the game position.
void historia_Change();

// One tick of Timer1: the player's clock gains a second.
void Timer1_Timer();

}  // namespace vombel
