#include "game/events.h"

#include "game/saved_game.h"
#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "search/search.h"
#include "state/new_game.h"

namespace vombel {

void tablero_Load() {
  newGame();
}

// A selection does not survive New, Open or browsing: its highlight is gone with the repaint,
// and a surviving selection would turn the next click into a silent move attempt.
void nuevo_Click() {
  clearSelection();
  newGame();
}

void open_Click() {
  if (loadGameFile(kGameFileName)) clearSelection();
}

void guardar_Click() {
  saveGameFile(kGameFileName);
}

const char* aboutText() {
  return "Uses a 6 ply Alpha/Beta Algorithm."
         "                                                                                      "
         "        "
         "Vombel Chess is free software written by the Vombel Chess developers. "
         "          "
         "Send questions and reports through the project's issue tracker.";
}

void acerca_Click() {
  messageBox(aboutText());
}

void force_Click() {
  computerMove();
}

void info_Click() {
  if (windowHeight == kFullHeight) {
    windowHeight = kCompactHeight;
    setCaption(info, "More Information");
  } else if (windowHeight == kCompactHeight) {
    windowHeight = kFullHeight;
    setCaption(info, "Less Information");
  }
  redrawWindow();
}

void historia_Scroll(int value) {
  if (value < 0) value = 0;
  if (value > historia.max) value = historia.max;
  if (value == historia.value) return;
  clearSelection();
  setHistoriaValue(value);
}

}  // namespace vombel
