// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace vombel {

// Runs on every change of historia's value: the selected entry becomes the game position.
void historia_Change();

// One tick of Timer1: the player's clock gains a second.
void Timer1_Timer();

}  // namespace vombel
