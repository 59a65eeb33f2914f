#include "eval/evaluation.h"

#include <cmath>

#include "state/state.h"

namespace vombel {

std::int32_t wholeMaterialSum(const Board& position) {
  std::int32_t sum = 0;
  for (int y = 1; y <= 8; ++y) {
    for (int x = 1; x <= 8; ++x)
      sum += position(x, y);
  }
  return sum;
}

float materialSum(const Board& position) {
  // Codes are whole numbers far below 2^24, so an integer sum converts to the exact float sum.
  return static_cast<float>(wholeMaterialSum(position));
}

namespace {

// V = V + term, computed in double precision and rounded back to single precision.
inline void add(float& v, double term) {
  v = static_cast<float>(static_cast<double>(v) + term);
}

// 1 / (1 + d), d the distance from (x, y) to (px, py).
inline double closeness(int x, int y, double px, double py) {
  const double dx = px - x;
  const double dy = py - y;
  return 1.0 / (1.0 + std::sqrt(dx * dx + dy * dy));
}

// Adds bonus when (x, y) holds code.
inline void bonusIf(float& v, const Board& p, int x, int y, std::int32_t code, double bonus) {
  if (p(x, y) == code) add(v, bonus);
}

}  // namespace

float evaluatePosition(const Board& p) {
  float v = 0.0f;
  const int phase = gamePhase;
  const double kingX = humanKingX;
  const double kingY = humanKingY;
  for (int y = 1; y <= 8; ++y) {
    for (int x = 1; x <= 8; ++x) {
      const std::int32_t code = p(x, y);
      add(v, code);
      switch (phase) {
        case 1:
        case 2:
        case 3:
          // Opening: the human's pieces count a little less the closer they come to the middle
          // of the computer's back rank.
          if (code < 0) add(v, -closeness(x, y, 4.5, 8.0));
          break;
        case 5:
          // Middlegame: minor pieces forward, pieces central, the king at home.
          if (code == kKnight) add(v, 1.0 / (1.0 + std::fabs(3.5 - y)));
          if (code == kBishop) add(v, 1.0 / (1.0 + std::fabs(3.5 - y)));
          if (code > kPawn) add(v, closeness(x, y, 4.5, 4.5));
          if (code == kComputerKing) add(v, y);
          break;
        case 6:
          // Endgame: pawns advance, pieces close in on the human's king.
          if (code == kPawn) add(v, 2.0 / y);
          if (code > kPawn && code < 100) add(v, closeness(x, y, kingX, kingY));
          break;
        default:
          break;
      }
    }
  }
  switch (phase) {
    case 1:
      bonusIf(v, p, 4, 5, kPawn, 1.0);
      bonusIf(v, p, 5, 5, kPawn, 1.0);
      bonusIf(v, p, 4, 6, kPawn, 0.8);
      bonusIf(v, p, 5, 6, kPawn, 0.8);
      if (p(4, 5) == kPawn && p(4, 4) == -kPawn) add(v, 0.2);
      if (p(5, 5) == kPawn && p(5, 4) == -kPawn) add(v, 0.2);
      bonusIf(v, p, 6, 6, kBishop, 0.9);
      bonusIf(v, p, 3, 6, kBishop, 0.9);
      break;
    case 2:
      bonusIf(v, p, 4, 6, kPawn, 1.0);
      bonusIf(v, p, 5, 6, kPawn, 1.0);
      bonusIf(v, p, 6, 6, kKnight, 0.9);
      bonusIf(v, p, 3, 6, kKnight, 0.9);
      break;
    case 3:
      bonusIf(v, p, 6, 6, kKnight, 1.2);
      bonusIf(v, p, 3, 6, kKnight, 1.0);
      break;
    case 5:
      bonusIf(v, p, 6, 6, kKnight, 1.3);
      bonusIf(v, p, 3, 6, kKnight, 1.0);
      bonusIf(v, p, 4, 5, kPawn, 1.0);
      bonusIf(v, p, 5, 5, kPawn, 1.0);
      bonusIf(v, p, 4, 6, kPawn, 1.0);
      bonusIf(v, p, 5, 6, kPawn, 1.0);
      // The king and rook as they stand after castling on either side.
      if (p(7, 8) == kComputerKing && p(6, 8) == kRook) add(v, 5.0);
      if (p(3, 8) == kComputerKing && p(4, 8) == kRook) add(v, 5.0);
      break;
    default:
      break;
  }
  return v;
}

}  // namespace vombel
