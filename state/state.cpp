// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "state/state.h"

namespace vombel {

Board board;
Board bestBoard;
Board trialBoard;
VOMBEL_PER_THREAD Board plyBoard1{}, plyBoard2{}, plyBoard3{}, plyBoard4{}, plyBoard5{},
    plyBoard6{};
Board humanAttackMap;
Board computerAttackMap;
Board rootPositions[kMaxListEntries + 1];
VOMBEL_PER_THREAD Board replyPositions[kMaxListEntries + 1]{};
Board gameHistory[kMaxHistory + 1];
char squareColours[64][2];
std::int32_t rootCount;
VOMBEL_PER_THREAD std::int32_t replyCount{};
float rootMaterial;
float bestScore1;
VOMBEL_PER_THREAD float bestScore2{}, bestScore3{}, bestScore4{}, bestScore5{}, bestScore6{};
VOMBEL_PER_THREAD std::int16_t cutoffFlag{};
float moveNumber;
std::uint32_t historyRecords;
std::int32_t gamePhase;
std::int32_t humanPieceCount;
float humanKingX, humanKingY;
std::int32_t humanCastled;
double computerTime;
double thinkStart;

void clearAttackMaps() {
  for (int x = 1; x <= 8; ++x) {
    for (int y = 1; y <= 8; ++y) {
      humanAttackMap(x, y) = 0;
      computerAttackMap(x, y) = 0;
    }
  }
}

}  // namespace vombel
