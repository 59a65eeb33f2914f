// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// vombel-bench: times the computer's turn over a fixed suite of saved games.
//
//   vombel-bench [--repeat N] [--level easy|difficult] [FILE.vmb | DIR]...
//
// Every game file (by default those in bench/positions, the suite, and in bench/positions/crowded,
// the worst cases) is loaded as Open loads it, and the computer moves once, as the force button
// makes it, at each level; that is repeated N times (5 unless told). Printed per position and
// level, as a Markdown table: the median milliseconds per turn, the callback count of each ply
// (c1..c8) and million callback calls per second; then the totals per folder and level. The counts
// must be the same in every repetition, or the run fails.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "game/events.h"
#include "game/saved_game.h"
#include "platform/controls.h"
#include "search/instances.h"
#include "search/search.h"

namespace fs = std::filesystem;
using namespace vombel;

namespace {

struct Result {
  std::string name;
  fs::path folder;  // the totals are kept per folder
  bool isDifficult;
  double ms;                    // median over the repetitions
  unsigned long long calls[9];  // index 1..8
  unsigned long long total() const {
    unsigned long long t = 0;
    for (int k = 1; k <= 8; ++k)
      t += calls[k];
    return t;
  }
};

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

bool measure(const fs::path& file, bool isDifficult, int repeat, Result& r) {
  r.name = file.stem().string();
  r.folder = file.parent_path();
  r.isDifficult = isDifficult;
  std::vector<double> times;
  for (int i = 0; i <= repeat; ++i) {  // run 0 warms the caches and is not timed
    if (!loadGameFile(file.c_str())) {
      std::fprintf(stderr, "vombel-bench: cannot read %s\n", file.c_str());
      return false;
    }
    selectLevel(isDifficult);
    const auto start = std::chrono::steady_clock::now();
    computerMove();
    const auto end = std::chrono::steady_clock::now();
    if (i == 0) {
      std::copy(std::begin(plyCalls), std::end(plyCalls), r.calls);
      continue;
    }
    if (!std::equal(std::begin(plyCalls), std::end(plyCalls), r.calls)) {
      std::fprintf(stderr, "vombel-bench: %s: the counts differ between runs\n", file.c_str());
      return false;
    }
    times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
  }
  r.ms = median(times);
  return true;
}

void printRow(const char* name, const char* level, double ms, const unsigned long long* calls,
              unsigned long long total) {
  std::printf("| %-22s | %-9s | %8.2f |", name, level, ms);
  for (int k = 1; k <= 8; ++k)
    std::printf(" %9llu |", calls[k]);
  std::printf(" %7.1f |\n", ms > 0 ? static_cast<double>(total) / ms / 1000.0 : 0.0);
}

int usage() {
  std::fprintf(stderr,
               "usage: vombel-bench [--repeat N] [--level easy|difficult] [FILE.vmb | DIR]...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int repeat = 5;
  std::vector<bool> levels = {false, true};
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--repeat" && i + 1 < argc) {
      repeat = std::atoi(argv[++i]);
      if (repeat < 1) return usage();
    } else if (arg == "--level" && i + 1 < argc) {
      const std::string level = argv[++i];
      if (level != "easy" && level != "difficult") return usage();
      levels = {level == "difficult"};
    } else if (!arg.empty() && arg[0] == '-') {
      return usage();
    } else if (fs::is_directory(arg)) {
      for (const auto& e : fs::directory_iterator(arg)) {
        if (e.path().extension() == ".vmb") files.push_back(e.path());
      }
    } else {
      files.emplace_back(arg);
    }
  }
  if (files.empty()) {
    for (const fs::path& folder : {fs::path(POSITIONS_DIR), fs::path(POSITIONS_DIR) / "crowded"}) {
      for (const auto& e : fs::directory_iterator(folder)) {
        if (e.path().extension() == ".vmb") files.push_back(e.path());
      }
    }
  }
  // Folder by folder, names in order within each.
  std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
    return std::pair(a.parent_path(), a.filename()) < std::pair(b.parent_path(), b.filename());
  });
  std::vector<fs::path> folders;
  for (const auto& file : files) {
    if (folders.empty() || folders.back() != file.parent_path())
      folders.push_back(file.parent_path());
  }

  tablero_Load();
  std::printf("median of %d runs per turn, one thread, bulk search copy for %s\n\n", repeat,
              bitCountCopy ? "popcnt" : "any CPU");
  std::printf("| %-22s | %-9s | %8s |", "position", "level", "ms/turn");
  for (int k = 1; k <= 8; ++k)
    std::printf("        c%d |", k);
  std::printf(" Mcall/s |\n|------------------------|-----------|---------:|");
  for (int k = 1; k <= 9; ++k)
    std::printf("----------:|");
  std::printf("\n");

  std::vector<Result> results;
  for (const bool isDifficult : levels) {
    for (const auto& file : files) {
      Result r{};
      if (!measure(file, isDifficult, repeat, r)) return 1;
      printRow(r.name.c_str(), isDifficult ? "difficult" : "easy", r.ms, r.calls, r.total());
      std::fflush(stdout);
      results.push_back(r);
    }
  }
  // The total rows, one per folder and level: milliseconds summed over the folder's positions,
  // calls per second over all of them. The suite's row is named "total", another folder's row
  // after the folder.
  for (const auto& folder : folders) {
    for (const bool isDifficult : levels) {
      double ms = 0;
      unsigned long long calls[9] = {};
      unsigned long long total = 0;
      int turns = 0;
      for (const auto& r : results) {
        if (r.isDifficult != isDifficult || r.folder != folder) continue;
        ms += r.ms;
        for (int k = 1; k <= 8; ++k)
          calls[k] += r.calls[k];
        total += r.total();
        ++turns;
      }
      std::error_code error;
      const std::string label =
          fs::equivalent(folder, POSITIONS_DIR, error) ? "total" : folder.filename().string();
      char name[64];
      std::snprintf(name, sizeof name, "%s, %d turns", label.c_str(), turns);
      printRow(name, isDifficult ? "difficult" : "easy", ms, calls, total);
    }
  }
  std::printf("\n");
  for (const auto& folder : folders) {
    for (const bool isDifficult : levels) {
      const Result* slowest = nullptr;
      for (const auto& r : results) {
        if (r.isDifficult == isDifficult && r.folder == folder &&
            (slowest == nullptr || r.ms > slowest->ms)) {
          slowest = &r;
        }
      }
      if (slowest != nullptr) {
        std::printf("slowest %s turn in %s: %s, %.2f ms\n", isDifficult ? "difficult" : "easy",
                    folder.filename().c_str(), slowest->name.c_str(), slowest->ms);
      }
    }
  }
  return 0;
}
