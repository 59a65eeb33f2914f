// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Scoring a single position, always from the computer's side (larger is better for it).
#pragma once

#include "state/board.h"

namespace vombel {

// Sum of the codes on the 64 playable squares: +5000 in the start position, negative without the
// computer's king, above 10000 without the human's. The score of every node of the search.
float materialSum(const Board& position);

// materialSum as the whole number it is; the search carries it from ply to ply.
std::int32_t wholeMaterialSum(const Board& position);

// materialSum plus small positional terms of the current gamePhase; orders the candidates only.
// Reads gamePhase and humanKingX/Y; the accumulator is rounded to single precision after every
// single addition, so the order of the terms is part of the result.
float evaluatePosition(const Board& position);

}  // namespace vombel
