// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "state/history.h"

#include <cstdlib>

#include "platform/controls.h"
#include "state/board_ops.h"
#include "state/painting.h"
#include "state/state.h"

namespace vombel {

ScrollBar historia = {0, 0};

void historia_Change() {
  moveNumber = static_cast<float>(historia.value);
  copyWholeBoard(board, gameHistory[historia.value]);
  promoteLastRankPawns();
  pintar_tablero();
  setCaption(lbl_jugada, historia.value);
}

void setHistoriaMax(int max) {
  historia.max = max < 0 ? 0 : max;
  if (historia.value > historia.max) setHistoriaValue(historia.max);
}

void setHistoriaValue(int value) {
  if (value < 0) value = 0;
  if (value > historia.max) value = historia.max;
  if (value == historia.value) return;
  historia.value = value;
  historia_Change();
}

void Timer1_Timer() {
  // The caption is the clock: its numeric value plus one.
  setCaption(tiempous, std::atoll(tiempous.caption) + 1);
}

}  // namespace vombel
