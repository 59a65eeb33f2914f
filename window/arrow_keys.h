// The history scroll bar by keyboard. A horizontal QScrollBar steps the wrong way on Left and
// Right (it inverts its controls so that the mouse wheel scrolls the usual way), so these two
// keys are taken before it sees them.
#pragma once

class QScrollBar;

namespace vombel {

// Left steps bar one position back (towards the start of the game), Right one forward, as a
// click on the bar's arrow buttons does. Other keys and the mouse are left to the bar.
void stepWithArrowKeys(QScrollBar* bar);

}  // namespace vombel
