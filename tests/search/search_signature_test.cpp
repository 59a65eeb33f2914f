// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The search's signature: how often each ply's callback runs over the benchmark suite at each
// level, with a checksum of the positions played and the scores found; the crowded positions
// have signatures of their own. A change that makes the search visit, score or choose anything
// differently changes these numbers. Change them only together with the reason in the commit
// message. Every signature is the same with any number of search threads: each test runs with 1,
// 2, 3 and 8.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "search/instances.h"
#include "search/search_threads.h"
#include "state/state.h"
#include "tests/support/sanitized.h"
#include "tests/support/suite.h"

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

std::vector<std::filesystem::path> crowdedFiles() {
  auto files = testing::crowdedFiles();
  EXPECT_EQ(files.size(), 6u);
  return files;
}

void expectSignature(const Signature& actual, const Signature& pinned) {
  for (int k = 1; k <= 8; ++k)
    EXPECT_EQ(actual.calls[k], pinned.calls[k]) << "ply " << k;
  EXPECT_EQ(actual.scoreSum, pinned.scoreSum);
  EXPECT_EQ(actual.played, pinned.played);
}

class SearchSignature : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { ASSERT_TRUE(setSearchThreads(GetParam())); }
  void TearDown() override { setSearchThreads(1); }
};

INSTANTIATE_TEST_SUITE_P(Threads, SearchSignature, ::testing::Values(1, 2, 3, 8),
                         ::testing::PrintToStringParamName());

TEST_P(SearchSignature, Easy) {
  expectSignature(playSuite(false),
                  {{0, 1205, 30431, 72073, 624681, 0, 0, 4, 1282}, 201570, 3474584882837067911ull});
}

TEST_P(SearchSignature, Difficult) {
  expectSignature(playSuite(true), {{0, 1205, 29527, 61264, 596065, 6314526, 55714628, 4, 1282},
                                    201518,
                                    17251993066587848945ull});
}

// The crowded positions, pinned before the last ply was counted in bulk. The slowest of them,
// queens_both_sides, takes seconds at Difficult even counted in bulk: it has a test of its own,
// skipped under a sanitizer, and the other five make CrowdedDifficult.
const char* const kSlowest = "queens_both_sides.vmb";

TEST_P(SearchSignature, CrowdedEasy) {
  expectSignature(
      playFiles(crowdedFiles(), false),
      {{0, 501, 42942, 103097, 1607991, 0, 0, 130, 13152}, 24176, 4867796828657985113ull});
}

TEST_P(SearchSignature, CrowdedDifficult) {
  auto files = crowdedFiles();
  std::erase_if(files, [](const auto& f) { return f.filename() == kSlowest; });
  EXPECT_EQ(files.size(), 5u);
  expectSignature(playFiles(files, true),
                  {{0, 408, 34091, 38639, 580876, 10543073, 166417693, 130, 13063},
                   19148,
                   4231209121227140909ull});
}

TEST_P(SearchSignature, SlowestCrowdedDifficult) {
#ifdef VOMBEL_SANITIZED
  GTEST_SKIP() << "seconds in a Release build, minutes under a sanitizer";
#endif
  expectSignature(
      playFiles({testing::crowdedFiles().back().parent_path() / kSlowest}, true),
      {{0, 93, 8218, 41025, 1826324, 83084646, 3544411972, 0, 89}, 166, 13706680248751633571ull});
}

}  // namespace
}  // namespace vombel
