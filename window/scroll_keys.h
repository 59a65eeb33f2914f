// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The history scroll bar by keyboard: a focus frame, and Left and Right stepping the right way.
// A horizontal QScrollBar inverts its controls so that the mouse wheel scrolls the usual way,
// which makes Left step forward and Right back; and Fusion draws no focus on a scroll bar.
#pragma once

#include <functional>

class QScrollBar;

namespace vombel {

// Left steps bar one position back (towards the start of the game), Right one forward, as a
// click on the bar's arrow buttons does; while bar has the focus, the squares' focus frame is
// drawn around its edge, as wide as scale() (the window's scale) makes the squares' lines. Other
// keys and the mouse are left to the bar.
void keysForScrollBar(QScrollBar* bar, std::function<double()> scale);

}  // namespace vombel
