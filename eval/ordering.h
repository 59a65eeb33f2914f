// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Ordering of the candidate and reply lists before they are searched, and the repetition test.
#pragma once

#include "state/board.h"

namespace vombel {

// Sorts rootPositions 1..rootCount by evaluatePosition, highest first (exchange sort).
void orderRootMoves();

// Sorts replyPositions 1..replyCount by materialSum, lowest first (exchange sort).
void orderReplies();

// True when playing the candidate would bring the computer's pieces back, for the third time, to
// where they stood two of its moves earlier (placements A, B, A, B, A). Only computer pieces count.
bool isRepetition(const Board& candidate);

}  // namespace vombel
