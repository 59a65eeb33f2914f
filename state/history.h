#pragma once

namespace vombel {

// Runs on every change of historia's value: the selected entry becomes the game position.
void historia_Change();

// One tick of Timer1: the player's clock gains a second.
void Timer1_Timer();

}  // namespace vombel
