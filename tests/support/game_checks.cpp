// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/game_checks.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "eval/evaluation.h"
#include "movegen/generators.h"
#include "search/instances.h"
#include "state/board_ops.h"
#include "state/history.h"
#include "tests/support/pictures.h"

namespace vombel::checks {

namespace {

// Applies op(name, the part's member of GameSnapshot, the live variable) to every part of the
// state, in one place so that taking, restoring and comparing never disagree about what it is.
template <class Op>
void forEachPart(Op op) {
  op("board", &GameSnapshot::board, vombel::board);
  op("bestBoard", &GameSnapshot::bestBoard, vombel::bestBoard);
  op("trialBoard", &GameSnapshot::trialBoard, vombel::trialBoard);
  op("plyBoard1", &GameSnapshot::plyBoard1, vombel::plyBoard1);
  op("plyBoard2", &GameSnapshot::plyBoard2, vombel::plyBoard2);
  op("plyBoard3", &GameSnapshot::plyBoard3, vombel::plyBoard3);
  op("plyBoard4", &GameSnapshot::plyBoard4, vombel::plyBoard4);
  op("plyBoard5", &GameSnapshot::plyBoard5, vombel::plyBoard5);
  op("plyBoard6", &GameSnapshot::plyBoard6, vombel::plyBoard6);
  op("humanAttackMap", &GameSnapshot::humanAttackMap, vombel::humanAttackMap);
  op("computerAttackMap", &GameSnapshot::computerAttackMap, vombel::computerAttackMap);
  op("rootPositions", &GameSnapshot::rootPositions, vombel::rootPositions);
  op("replyPositions", &GameSnapshot::replyPositions, vombel::replyPositions);
  op("gameHistory", &GameSnapshot::gameHistory, vombel::gameHistory);
  op("squareColours", &GameSnapshot::squareColours, vombel::squareColours);
  op("rootCount", &GameSnapshot::rootCount, vombel::rootCount);
  op("replyCount", &GameSnapshot::replyCount, vombel::replyCount);
  op("rootMaterial", &GameSnapshot::rootMaterial, vombel::rootMaterial);
  op("bestScore1", &GameSnapshot::bestScore1, vombel::bestScore1);
  op("bestScore2", &GameSnapshot::bestScore2, vombel::bestScore2);
  op("bestScore3", &GameSnapshot::bestScore3, vombel::bestScore3);
  op("bestScore4", &GameSnapshot::bestScore4, vombel::bestScore4);
  op("bestScore5", &GameSnapshot::bestScore5, vombel::bestScore5);
  op("bestScore6", &GameSnapshot::bestScore6, vombel::bestScore6);
  op("cutoffFlag", &GameSnapshot::cutoffFlag, vombel::cutoffFlag);
  op("moveNumber", &GameSnapshot::moveNumber, vombel::moveNumber);
  op("gamePhase", &GameSnapshot::gamePhase, vombel::gamePhase);
  op("humanPieceCount", &GameSnapshot::humanPieceCount, vombel::humanPieceCount);
  op("humanKingX", &GameSnapshot::humanKingX, vombel::humanKingX);
  op("humanKingY", &GameSnapshot::humanKingY, vombel::humanKingY);
  op("humanCastled", &GameSnapshot::humanCastled, vombel::humanCastled);
  op("computerTime", &GameSnapshot::computerTime, vombel::computerTime);
  op("thinkStart", &GameSnapshot::thinkStart, vombel::thinkStart);
  op("c", &GameSnapshot::c, vombel::c);
  op("historia", &GameSnapshot::historia, vombel::historia);
  op("lbl_jugada", &GameSnapshot::lbl_jugada, vombel::lbl_jugada);
  op("tiempoco", &GameSnapshot::tiempoco, vombel::tiempoco);
  op("tiempous", &GameSnapshot::tiempous, vombel::tiempous);
  op("boardsu", &GameSnapshot::boardsu, vombel::boardsu);
  op("Progreso", &GameSnapshot::Progreso, vombel::Progreso);
  op("easy", &GameSnapshot::easy, vombel::easy);
  op("difficult", &GameSnapshot::difficult, vombel::difficult);
  op("info", &GameSnapshot::info, vombel::info);
  op("windowHeight", &GameSnapshot::windowHeight, vombel::windowHeight);
  op("clickState", &GameSnapshot::clickState, vombel::clickState);
  op("fromSquare", &GameSnapshot::fromSquare, vombel::fromSquare);
  op("toSquare", &GameSnapshot::toSquare, vombel::toSquare);
  op("plyCalls", &GameSnapshot::plyCalls, vombel::plyCalls);
  op("turnReport", &GameSnapshot::turnReport, vombel::turnReport);
}

template <class T>
void copyPart(T& destination, const T& source) {
  std::memcpy(&destination, &source, sizeof(T));
}

// Structures with padding are compared member by member; everything else byte by byte, which
// also compares floating-point values bit for bit.
template <class T>
bool samePart(const T& a, const T& b) {
  // Bit for bit on purpose: a NaN equals itself, and -0 differs from 0.
  return std::memcmp(&a, &b, sizeof(T)) == 0;  // NOLINT(bugprone-suspicious-memory-comparison)
}
bool samePart(const PictureBox& a, const PictureBox& b) {
  return a.picture == b.picture && a.appearance == b.appearance && a.borderStyle == b.borderStyle &&
         a.visible == b.visible;
}
template <std::size_t n>
bool samePart(const PictureBox (&a)[n], const PictureBox (&b)[n]) {
  for (std::size_t i = 0; i < n; ++i) {
    if (!samePart(a[i], b[i])) return false;
  }
  return true;
}
bool samePart(const OptionButton& a, const OptionButton& b) {
  return a.value == b.value;
}
bool samePart(const TurnReport& a, const TurnReport& b) {
  return a.turns == b.turns && a.resigned == b.resigned && samePart(a.milliseconds, b.milliseconds);
}

std::string describeBoard(const char* name, int entry, int x, int y, std::int32_t value) {
  char text[96];
  if (entry >= 0) {
    std::snprintf(text, sizeof text, "%s[%d](%d, %d) = %d", name, entry, x, y, value);
  } else {
    std::snprintf(text, sizeof text, "%s(%d, %d) = %d", name, x, y, value);
  }
  return text;
}

// Border cells 2; playable cells piece codes when playableCodes, else anything.
std::string badCell(const char* name, int entry, const Board& b, bool playableCodes) {
  for (int x = kLow; x <= kHigh; ++x) {
    for (int y = kLow; y <= kHigh; ++y) {
      const std::int32_t v = b(x, y);
      if (isPlayable(x, y) ? (playableCodes && !isPieceCodeOrEmpty(v)) : v != kBorder) {
        return describeBoard(name, entry, x, y, v);
      }
    }
  }
  return {};
}

// Move collection for legalClickPairs: the generators hand moves to plain functions, so the
// moves found land in these buffers.
struct Square {
  int x;
  int y;
};
Square foundMoves[64];
int foundCount;
Board* attackTarget;

void collectMove(int toX, int toY, int, int) {
  if (foundCount < 64) foundMoves[foundCount++] = {toX, toY};
}

void markAttack(int toX, int toY, int, int) {
  (*attackTarget)(toX, toY) = 1;
}

// 1 on every square some computer piece of b can move to.
void computerAttacks(const Board& b, Board& map) {
  map = Board{};
  attackTarget = &map;
  for (int x = 1; x <= 8; ++x) {
    for (int y = 1; y <= 8; ++y)
      generateComputerMoves<markAttack>(b, x, y);
  }
}

}  // namespace

std::unique_ptr<GameSnapshot> takeSnapshot() {
  auto snapshot = std::make_unique<GameSnapshot>();
  takeSnapshot(*snapshot);
  return snapshot;
}

void takeSnapshot(GameSnapshot& snapshot) {
  forEachPart(
      [&](const char*, auto member, const auto& live) { copyPart(snapshot.*member, live); });
}

void restoreSnapshot(const GameSnapshot& snapshot) {
  forEachPart([&](const char*, auto member, auto& live) { copyPart(live, snapshot.*member); });
}

std::string firstDifference(const GameSnapshot& a, const GameSnapshot& b) {
  std::string difference;
  forEachPart([&](const char* name, auto member, const auto&) {
    if (difference.empty() && !samePart(a.*member, b.*member)) difference = name;
  });
  if (difference == "gameHistory") {
    for (int i = 0; i <= kMaxHistory; ++i) {
      if (!samePart(a.gameHistory[i], b.gameHistory[i])) {
        return difference + " entry " + std::to_string(i);
      }
    }
  }
  return difference;
}

std::string brokenInvariant() {
  const std::pair<const char*, const Board*> working[] = {
      {"board", &board},         {"bestBoard", &bestBoard}, {"trialBoard", &trialBoard},
      {"plyBoard1", &plyBoard1}, {"plyBoard2", &plyBoard2}, {"plyBoard3", &plyBoard3},
      {"plyBoard4", &plyBoard4}, {"plyBoard5", &plyBoard5}, {"plyBoard6", &plyBoard6}};
  for (const auto& [name, b] : working) {
    if (auto bad = badCell(name, -1, *b, b == &board); !bad.empty()) return "bad cell " + bad;
  }

  if (!(moveNumber >= 0 && moveNumber <= kMaxHistory && std::floor(moveNumber) == moveNumber)) {
    return "moveNumber " + std::to_string(moveNumber) + " is not a whole number 0..300";
  }
  if (currentMove() != historia.value) {
    return "moveNumber " + std::to_string(currentMove()) + " but historia.value " +
           std::to_string(historia.value);
  }
  if (historia.value < 0 || historia.max < historia.value || historia.max > kMaxHistory) {
    return "historia value " + std::to_string(historia.value) + ", max " +
           std::to_string(historia.max);
  }
  for (int i = 0; i <= historia.max; ++i) {
    if (auto bad = badCell("gameHistory", i, gameHistory[i], true); !bad.empty()) {
      return "bad cell " + bad;
    }
  }
  if (rootCount < 0 || rootCount > kMaxListEntries || replyCount < 0 ||
      replyCount > kMaxListEntries) {
    return "rootCount " + std::to_string(rootCount) + ", replyCount " + std::to_string(replyCount);
  }
  if (clickState != 0 && clickState != 1) return "clickState " + std::to_string(clickState);
  if (fromSquare < 0 || fromSquare > 63) return "fromSquare " + std::to_string(fromSquare);

  for (int a = 0; a < 64; ++a) {
    const int x = screenFile(a);
    const int y = screenRank(a);
    const int expected = testing_support::expectedPicture(board(x, y), x, y);
    if (c[a].picture != expected) {
      return "square " + std::to_string(a) + " shows picture " + std::to_string(c[a].picture) +
             " for code " + std::to_string(board(x, y));
    }
    if (c[a].appearance != 0 && !(clickState == 1 && a == fromSquare)) {
      return "square " + std::to_string(a) + " highlighted without being selected";
    }
  }
  return {};
}

std::vector<ClickPair> legalClickPairs() {
  std::vector<ClickPair> pairs;
  if (historyFull()) return pairs;

  Board attacks;
  computerAttacks(board, attacks);
  const auto free = [](int x) { return board(x, 1) == kEmpty; };
  if (board(5, 1) == kHumanKing) {
    if (free(6) && free(7) && board(8, 1) == -kRook && attacks(5, 1) == 0 && attacks(6, 1) == 0 &&
        attacks(7, 1) == 0) {
      pairs.push_back({60, 62, true, 0});
    }
    if (free(4) && free(3) && free(2) && board(1, 1) == -kRook && attacks(5, 1) == 0 &&
        attacks(4, 1) == 0 && attacks(3, 1) == 0) {
      pairs.push_back({60, 58, true, 0});
    }
  }

  for (int fy = 1; fy <= 8; ++fy) {
    for (int fx = 1; fx <= 8; ++fx) {
      if (board(fx, fy) >= 0) continue;
      foundCount = 0;
      generateHumanMoves<collectMove>(board, fx, fy);
      for (int m = 0; m < foundCount; ++m) {
        const int tx = foundMoves[m].x;
        const int ty = foundMoves[m].y;
        Board trial = board;
        trial(tx, ty) = trial(fx, fy);
        trial(fx, fy) = kEmpty;
        if (wholeMaterialSum(trial) < 0) continue;  // takes the computer's king
        // The king's square as the turn cycle finds it: the last one rank by rank, or the one
        // it knew before when the trial position has none.
        int kx = static_cast<int>(humanKingX);
        int ky = static_cast<int>(humanKingY);
        for (int y = 1; y <= 8; ++y) {
          for (int x = 1; x <= 8; ++x) {
            if (trial(x, y) == kHumanKing) {
              kx = x;
              ky = y;
            }
          }
        }
        computerAttacks(trial, attacks);
        if (kx >= kLow && kx <= kHigh && ky >= kLow && ky <= kHigh && attacks(kx, ky) == 1) {
          continue;
        }
        const int mover = -board(fx, fy);
        const int promotion = mover == kPawn && ty == 8 ? kQueen - kPawn : 0;
        const int lost = attacks(tx, ty) == 1 ? mover + promotion : 0;
        pairs.push_back(
            {screenIndex(fx, fy), screenIndex(tx, ty), false, board(tx, ty) + promotion - lost});
      }
    }
  }
  return pairs;
}

}  // namespace vombel::checks
