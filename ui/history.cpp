#include "ui/history.h"

#include <cstdlib>

#include "search/board_ops.h"
#include "state/state.h"
#include "ui/controls.h"
#include "ui/painting.h"

namespace vombel {

void historia_Change() {
  moveNumber = static_cast<float>(historia.value);
  copyWholeBoard(board, gameHistory[historia.value]);
  pintar_tablero();
  setCaption(lbl_jugada, historia.value);
  redrawWindow();
}

void Timer1_Timer() {
  // The caption is the clock: its numeric value plus one.
  setCaption(tiempous, std::atoll(tiempous.caption) + 1);
  redrawWindow();
}

}  // namespace vombel
