// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// vombel-bench: times the computer's turn over a fixed suite of saved games, with one search
// thread and with several.
//
//   vombel-bench [--repeat N] [--level easy|difficult] [--threads N] [FILE.vmb | DIR]...
//
// Every game file (by default those in bench/positions, the suite, and in bench/positions/crowded,
// the worst cases) is loaded as Open loads it, and the computer moves once, as the force button
// makes it, at each level; that is repeated N times (5 unless told) with one search thread, then
// as often with the threads of --threads (one per core this process may use unless told).
// Printed per position and level, as a Markdown table: the median milliseconds per turn with one
// thread and with the others, the speed-up, the callback count of each ply (c1..c8) and million
// callback calls per second with one thread; then the totals per folder and level. The counts must
// be the same in every repetition and with every number of threads, or the run fails.
//
// Then per folder and level the CPU time of the turn with one thread and of each search thread
// with the others, which give the speed-up on a loaded machine too, and a model of 2, 4, 8 and 16
// threads: the search threads' work replayed in one thread, candidate by candidate, each against
// the bound those threads would have read at that moment of their work (see modelRootLoop).
#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
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
#include "search/search_threads.h"
#include "state/state.h"

namespace fs = std::filesystem;
using namespace vombel;

namespace {

constexpr int kModelThreads[] = {1, 2, 4, 8, 16};
constexpr int kModels = sizeof kModelThreads / sizeof kModelThreads[0];

struct Result {
  std::string name;
  fs::path folder;  // the totals are kept per folder
  bool isDifficult;
  double ms;                        // median over the repetitions, one thread
  double threadedMs;                // the same with the search threads
  double cpuMs;                     // mean CPU time of the turn, one thread
  std::vector<double> threadCpuMs;  // mean CPU time per turn of each search thread
  double modelMs[kModels];          // the root loop's time in the model, per kModelThreads
  unsigned long long calls[9];      // index 1..8
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

double threadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

bool load(const fs::path& file, bool isDifficult) {
  if (!loadGameFile(file.c_str())) {
    std::fprintf(stderr, "vombel-bench: cannot read %s\n", file.c_str());
    return false;
  }
  selectLevel(isDifficult);
  return true;
}

// Times `repeat` turns (after one that warms the caches) with `threads` search threads into
// wall-clock and CPU milliseconds; the counts must be those of r.
bool timeTurns(const fs::path& file, bool isDifficult, int repeat, int threads, Result& r,
               std::vector<double>& times, std::vector<double>& cpuMs) {
  setSearchThreads(threads);
  const int workers = threads > 1 ? threads : 0;
  cpuMs.assign(static_cast<size_t>(workers) + 1, 0);  // the turn's thread, then the search threads
  for (int i = 0; i <= repeat; ++i) {
    if (!load(file, isDifficult)) return false;
    std::vector<double> before(cpuMs.size());
    before[0] = threadCpuMs();
    for (int w = 0; w < workers; ++w)
      before[static_cast<size_t>(w) + 1] = searchThreadCpuSeconds(w) * 1e3;
    const auto start = std::chrono::steady_clock::now();
    computerMove();
    const auto end = std::chrono::steady_clock::now();
    if (r.calls[1] == 0 && r.calls[2] == 0)
      std::copy(std::begin(plyCalls), std::end(plyCalls), r.calls);
    if (!std::equal(std::begin(plyCalls), std::end(plyCalls), r.calls)) {
      std::fprintf(stderr, "vombel-bench: %s: the counts differ between runs (%d threads)\n",
                   file.c_str(), threads);
      return false;
    }
    if (i == 0) continue;
    times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    cpuMs[0] += (threadCpuMs() - before[0]) / repeat;
    for (int w = 0; w < workers; ++w) {
      cpuMs[static_cast<size_t>(w) + 1] +=
          (searchThreadCpuSeconds(w) * 1e3 - before[static_cast<size_t>(w) + 1]) / repeat;
    }
  }
  return true;
}

// The model of the search threads. The root loop with T threads hands the candidates out in root
// order to whichever thread is free first; each thread searches its candidate reply by reply, and
// at every reply that could end the loop reads the bound: bestScore1 after the candidates already
// taken, raised by the scores of earlier ones already finished; the turn's thread takes them in
// root order as they finish. Replayed in this thread, candidate by candidate in root order, on a
// clock of this thread's CPU time: a candidate starts when the first model thread is free, and
// whenever its search asks for the bound the model answers with the bound of that moment.
struct ModelCandidate {
  double finished;   // model time at which its search ended
  double committed;  // model time at which the turn's thread took it
  float score;       // its bestScore2 where its search stopped
  bool repetition;
  float bestScore1;  // bestScore1 once it is taken
};
std::vector<ModelCandidate> modelled;  // 1 .. the candidate being searched - 1
double modelStart = 0;                 // model time at which that candidate started
double cpuStart = 0;                   // this thread's CPU time then

float modelBound(int n) {
  const double now = modelStart + threadCpuMs() - cpuStart;
  float bound = kLowestScore;
  for (int j = 1; j < n; ++j) {
    const ModelCandidate& c = modelled[static_cast<size_t>(j)];
    if (c.committed <= now) {
      bound = std::max(bound, c.bestScore1);
    } else if (c.finished <= now && !c.repetition) {
      bound = std::max(bound, c.score);
    }
  }
  return bound;
}

// The root loop's time in the model with `threads` threads, for the candidates left in
// rootPositions by the turn just played from this position. Its counts must be those of r.
bool modelRootLoop(int threads, Result& r, double& ms) {
  static CandidateResult result;
  const int count = rootCount;
  modelled.assign(static_cast<size_t>(count) + 1, {});
  std::vector<double> freeAt(static_cast<size_t>(threads), 0);
  float bestScore = kLowestScore;
  double committed = 0;
  // The counts of the candidates taken; plyCalls counts the searches too, in this thread.
  unsigned long long taken[9] = {};
  for (int n = 1; n <= count; ++n) {
    auto first = std::min_element(freeAt.begin(), freeAt.end());
    modelStart = *first;
    cpuStart = threadCpuMs();
    searchCandidate(n, result, modelBound);
    ModelCandidate& c = modelled[static_cast<size_t>(n)];
    c.finished = *first = modelStart + threadCpuMs() - cpuStart;
    c.committed = committed = std::max(committed, c.finished);
    c.score = result.score;
    c.repetition = result.repetition;
    std::copy(std::begin(taken), std::end(taken), plyCalls);
    const float score = commitCandidate(result, bestScore);
    std::copy(std::begin(plyCalls), std::end(plyCalls), taken);
    if (score > bestScore && !result.repetition) bestScore = score;
    c.bestScore1 = bestScore;
    if (bestScore > rootMaterial + kEnoughGain) break;
  }
  ms = committed;
  // Plies 2 to 6 are the root loop's; ply 1, the castling test and the fallback are not modelled.
  if (!std::equal(taken + 2, taken + 7, r.calls + 2)) {
    std::fprintf(stderr, "vombel-bench: %s: the model's counts differ\n", r.name.c_str());
    return false;
  }
  return true;
}

bool measure(const fs::path& file, bool isDifficult, int repeat, int threads, Result& r) {
  r.name = file.stem().string();
  r.folder = file.parent_path();
  r.isDifficult = isDifficult;
  std::vector<double> times, cpuMs;
  if (!timeTurns(file, isDifficult, repeat, 1, r, times, cpuMs)) return false;
  r.ms = median(times);
  r.cpuMs = cpuMs[0];
  if (threads > 1) {
    std::vector<double> threadedTimes;
    if (!timeTurns(file, isDifficult, repeat, threads, r, threadedTimes, cpuMs)) return false;
    r.threadedMs = median(threadedTimes);
    r.threadCpuMs.assign(cpuMs.begin() + 1, cpuMs.end());
  } else {
    r.threadedMs = r.ms;
  }
  // The model: the candidates of one more turn with one thread, searched again from the position.
  setSearchThreads(1);
  if (!load(file, isDifficult)) return false;
  computerMove();
  for (int m = 0; m < kModels; ++m) {
    if (!load(file, isDifficult) || !modelRootLoop(kModelThreads[m], r, r.modelMs[m])) return false;
  }
  return true;
}

void printRow(const char* name, const char* level, double ms, double threadedMs,
              const unsigned long long* calls, unsigned long long total) {
  std::printf("| %-22s | %-9s | %8.2f | %8.2f | %5.2f |", name, level, ms, threadedMs,
              threadedMs > 0 ? ms / threadedMs : 0.0);
  for (int k = 1; k <= 8; ++k)
    std::printf(" %9llu |", calls[k]);
  std::printf(" %7.1f |\n", ms > 0 ? static_cast<double>(total) / ms / 1000.0 : 0.0);
}

int usage() {
  std::fprintf(stderr,
               "usage: vombel-bench [--repeat N] [--level easy|difficult] [--threads N] "
               "[FILE.vmb | DIR]...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int repeat = 5;
  int threads = defaultSearchThreads();
  std::vector<bool> levels = {false, true};
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--repeat" && i + 1 < argc) {
      repeat = std::atoi(argv[++i]);
      if (repeat < 1) return usage();
    } else if (arg == "--threads" && i + 1 < argc) {
      threads = std::atoi(argv[++i]);
      if (threads < 1 || threads > kMaxSearchThreads) return usage();
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

  // Every search thread is started before the first turn, as the game starts them.
  if (!setSearchThreads(threads)) {
    std::fprintf(stderr, "vombel-bench: only %d search threads could be started\n",
                 startedSearchThreads());
    return 1;
  }
  setSearchThreads(1);
  tablero_Load();
  std::printf("median of %d runs per turn, 1 and %d search threads, bulk search copy for %s\n\n",
              repeat, threads, bitCountCopy ? "popcnt" : "any CPU");
  std::printf("| %-22s | %-9s | %8s | %8s | %5s |", "position", "level", "ms/turn",
              (std::to_string(threads) + " thr.").c_str(), "x");
  for (int k = 1; k <= 8; ++k)
    std::printf("        c%d |", k);
  std::printf(" Mcall/s |\n|------------------------|-----------|---------:|---------:|------:|");
  for (int k = 1; k <= 9; ++k)
    std::printf("----------:|");
  std::printf("\n");

  std::vector<Result> results;
  for (const bool isDifficult : levels) {
    for (const auto& file : files) {
      Result r{};
      if (!measure(file, isDifficult, repeat, threads, r)) return 1;
      printRow(r.name.c_str(), isDifficult ? "difficult" : "easy", r.ms, r.threadedMs, r.calls,
               r.total());
      std::fflush(stdout);
      results.push_back(r);
    }
  }
  // The total rows, one per folder and level: milliseconds summed over the folder's positions,
  // calls per second over all of them. The suite's row is named "total", another folder's row
  // after the folder.
  struct Total {
    std::string label;
    bool isDifficult;
    double ms = 0, threadedMs = 0, cpuMs = 0;
    std::vector<double> threadCpuMs;
    double modelMs[kModels] = {};
  };
  std::vector<Total> totals;
  for (const auto& folder : folders) {
    for (const bool isDifficult : levels) {
      Total t;
      t.isDifficult = isDifficult;
      t.threadCpuMs.assign(threads > 1 ? static_cast<size_t>(threads) : 0, 0);
      unsigned long long calls[9] = {};
      unsigned long long total = 0;
      int turns = 0;
      for (const auto& r : results) {
        if (r.isDifficult != isDifficult || r.folder != folder) continue;
        t.ms += r.ms;
        t.threadedMs += r.threadedMs;
        t.cpuMs += r.cpuMs;
        for (size_t w = 0; w < r.threadCpuMs.size(); ++w)
          t.threadCpuMs[w] += r.threadCpuMs[w];
        for (int m = 0; m < kModels; ++m)
          t.modelMs[m] += r.modelMs[m];
        for (int k = 1; k <= 8; ++k)
          calls[k] += r.calls[k];
        total += r.total();
        ++turns;
      }
      std::error_code error;
      t.label = fs::equivalent(folder, POSITIONS_DIR, error) ? "total" : folder.filename().string();
      char name[64];
      std::snprintf(name, sizeof name, "%s, %d turns", t.label.c_str(), turns);
      printRow(name, isDifficult ? "difficult" : "easy", t.ms, t.threadedMs, calls, total);
      totals.push_back(t);
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

  // CPU time: the busiest search thread bounds the turn when every thread has a core of its own.
  if (threads > 1) {
    std::printf(
        "\nCPU time per folder and level, ms: the turn with 1 thread, each of the %d search"
        " threads; the speed-up they allow (1 thread / busiest) and the work added\n\n",
        threads);
    std::printf("| %-22s | %-9s | %8s | %-30s | %5s | %6s |\n", "folder", "level", "1 thread",
                "search threads", "x", "added");
    std::printf(
        "|------------------------|-----------|---------:|--------------------------------|"
        "------:|-------:|\n");
    for (const Total& t : totals) {
      std::string each;
      double busiest = 0, sum = 0;
      for (const double ms : t.threadCpuMs) {
        char text[32];
        std::snprintf(text, sizeof text, "%s%.1f", each.empty() ? "" : ", ", ms);
        each += text;
        busiest = std::max(busiest, ms);
        sum += ms;
      }
      std::printf("| %-22s | %-9s | %8.1f | %-30s | %5.2f | %5.1f%% |\n", t.label.c_str(),
                  t.isDifficult ? "difficult" : "easy", t.cpuMs, each.c_str(),
                  busiest > 0 ? t.cpuMs / busiest : 0.0,
                  t.cpuMs > 0 ? (sum / t.cpuMs - 1) * 100 : 0.0);
    }
  }
  std::printf(
      "\nModel of the root loop with 1 to 16 threads (CPU time of the candidates' searches,"
      " replayed in one thread), ms and speed-up over 1 thread\n\n");
  std::printf("| %-22s | %-9s |", "folder", "level");
  for (const int n : kModelThreads)
    std::printf(" %6d thr. |", n);
  std::printf("\n|------------------------|-----------|");
  for (int m = 0; m < kModels; ++m)
    std::printf("------------:|");
  std::printf("\n");
  for (const Total& t : totals) {
    std::printf("| %-22s | %-9s |", t.label.c_str(), t.isDifficult ? "difficult" : "easy");
    for (int m = 0; m < kModels; ++m) {
      if (m == 0) {
        std::printf(" %11.2f |", t.modelMs[0]);
      } else {
        std::printf(" %5.2f %5.2fx |", t.modelMs[m],
                    t.modelMs[m] > 0 ? t.modelMs[0] / t.modelMs[m] : 0.0);
      }
    }
    std::printf("\n");
  }
  return 0;
}
