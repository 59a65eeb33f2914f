// The search's signature: how often each ply's callback runs over the benchmark suite at each
// level, with a checksum of the positions played and the scores found; the crowded positions
// have signatures of their own. A change that makes the search visit, score or choose anything
// differently changes these numbers. Change them only together with the reason in the commit
// message.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "movegen/instances.h"
#include "state/state.h"
#include "suite.h"

namespace vombel {
namespace {

struct Signature {
  unsigned long long calls[9];  // index 1..8
  double scoreSum;              // bestScore1 of every turn
  std::uint64_t played;         // FNV-1a over the 64 squares of every position played
};

Signature playFiles(const std::vector<std::filesystem::path>& files, bool isDifficult) {
  Signature s{};
  s.played = 14695981039346656037ull;
  for (const auto& file : files) {
    if (!testing::loadTurn(file, isDifficult)) {
      ADD_FAILURE() << "cannot load " << file;
      continue;
    }
    computerMove();
    for (int k = 1; k <= 8; ++k)
      s.calls[k] += plyCalls[k];
    s.scoreSum += bestScore1;
    for (int x = 1; x <= 8; ++x) {
      for (int y = 1; y <= 8; ++y) {
        s.played = (s.played ^ static_cast<std::uint32_t>(board(x, y))) * 1099511628211ull;
      }
    }
  }
  return s;
}

Signature playSuite(bool isDifficult) {
  const auto files = testing::suiteFiles();
  EXPECT_GE(files.size(), 40u);
  return playFiles(files, isDifficult);
}

Signature playCrowded(bool isDifficult) {
  const auto files = testing::crowdedFiles();
  EXPECT_EQ(files.size(), 6u);
  return playFiles(files, isDifficult);
}

void expectSignature(const Signature& actual, const Signature& pinned) {
  for (int k = 1; k <= 8; ++k)
    EXPECT_EQ(actual.calls[k], pinned.calls[k]) << "ply " << k;
  EXPECT_EQ(actual.scoreSum, pinned.scoreSum);
  EXPECT_EQ(actual.played, pinned.played);
}

TEST(SearchSignature, Easy) {
  expectSignature(playSuite(false),
                  {{0, 1205, 30431, 72073, 624681, 0, 0, 4, 1282}, 201570, 3474584882837067911ull});
}

TEST(SearchSignature, Difficult) {
  expectSignature(playSuite(true), {{0, 1205, 29527, 61264, 596065, 6314526, 55714628, 4, 1282},
                                    201518,
                                    17251993066587848945ull});
}

// The crowded positions, pinned before the last ply was counted in bulk.
TEST(SearchSignature, CrowdedEasy) {
  expectSignature(
      playCrowded(false),
      {{0, 501, 42942, 103097, 1607991, 0, 0, 130, 13152}, 24176, 4867796828657985113ull});
}

TEST(SearchSignature, CrowdedDifficult) {
  expectSignature(playCrowded(true),
                  {{0, 501, 42309, 79664, 2407200, 93627719, 3710829665, 130, 13152},
                   19314,
                   7203453125146436715ull});
}

}  // namespace
}  // namespace vombel
