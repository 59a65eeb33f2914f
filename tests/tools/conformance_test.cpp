// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Replays the recorded cases of the headless driver. A case NAME.txt holds one argument list per
// line; line k runs as `vombel-headless --out out.vmb ARGS...` in a fresh directory that starts
// with NAME.juego.vmb (as juego.vmb) and every --in file, and is checked against NAME.k.rc,
// NAME.k.stdout (without the ms= fields), NAME.k.out.vmb and NAME.k.juego.vmb.
//
//   conformance_tests [--threads N] [GoogleTest's options]
//
// --threads N passes the same to the driver: the recorded results hold for every number of search
// threads. Without it the driver uses its default, one per core.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/game_file.h"

namespace fs = std::filesystem;

namespace {

using vombel::testing_support::readFile;

const fs::path kCases = CASES_DIR;
std::string threadsOption;    // " --threads N", or empty
fs::path workDir = WORK_DIR;  // WORK_DIR, or its folder threads-N

std::vector<std::string> splitWords(const std::string& line) {
  std::istringstream s(line);
  std::vector<std::string> words;
  for (std::string w; s >> w;)
    words.push_back(w);
  return words;
}

// The driver's output without its times, which vary: each " ms=" and what follows it up to the
// next space or line end. (<regex> would do it in one line and compile for seconds.)
std::string withoutTimes(const std::string& out) {
  std::string kept;
  for (std::size_t i = 0; i < out.size();) {
    if (out.compare(i, 4, " ms=") == 0) {
      i = std::min(out.find_first_of(" \n", i + 4), out.size());
    } else {
      kept += out[i++];
    }
  }
  return kept;
}

std::vector<std::string> caseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kCases)) {
    const auto name = entry.path().filename().string();
    if (entry.path().extension() == ".txt") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

struct DriverRun {
  int status;
  std::string out;
};

DriverRun runDriver(const fs::path& dir, const std::vector<std::string>& args) {
  std::string command = "cd '" + dir.string() + "' && '" DRIVER_PATH "'" + threadsOption;
  command += " --out out.vmb";
  for (const auto& a : args)
    command += " '" + a + "'";
  command += " 2>/dev/null";
  DriverRun run{-1, {}};
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class Conformance : public testing::TestWithParam<std::string> {};

TEST_P(Conformance, MatchesRecordedResults) {
  const std::string name = GetParam();
  const fs::path dir = workDir / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  if (fs::exists(kCases / (name + ".juego.vmb"))) {
    fs::copy_file(kCases / (name + ".juego.vmb"), dir / "juego.vmb");
  }
  std::istringstream script(readFile(kCases / (name + ".txt")));
  std::string line;
  int k = 0;
  while (std::getline(script, line)) {
    const auto args = splitWords(line);
    if (args.empty()) continue;
    ++k;
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
      if (args[i] == "--in" && fs::exists(kCases / args[i + 1]) && !fs::exists(dir / args[i + 1])) {
        fs::copy_file(kCases / args[i + 1], dir / args[i + 1]);
      }
    }
    fs::remove(dir / "out.vmb");
    const DriverRun run = runDriver(dir, args);
    const std::string step = name + " line " + std::to_string(k);
    const std::string prefix = (kCases / (name + "." + std::to_string(k))).string();

    EXPECT_EQ(run.status, std::stoi(readFile(prefix + ".rc"))) << step;
    EXPECT_EQ(withoutTimes(run.out), readFile(prefix + ".stdout")) << step;
    for (const char* file : {"out.vmb", "juego.vmb"}) {
      const fs::path expected = prefix + "." + file;
      if (fs::exists(expected)) {
        ASSERT_TRUE(fs::exists(dir / file)) << step << ": " << file << " missing";
        EXPECT_TRUE(readFile(dir / file) == readFile(expected))
            << step << ": " << file << " differs";
      } else {
        EXPECT_FALSE(fs::exists(dir / file)) << step << ": " << file << " should not exist";
      }
    }
  }
  EXPECT_GT(k, 0);
}

INSTANTIATE_TEST_SUITE_P(Recorded, Conformance, testing::ValuesIn(caseNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string n = info.param;
                           for (char& ch : n) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return n;
                         });

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--threads" && i + 1 < argc) {
      threadsOption = std::string(" --threads ") + argv[++i];
      workDir = fs::path(WORK_DIR) / ("threads-" + std::string(argv[i]));
    } else {
      std::fprintf(stderr, "usage: conformance_tests [--threads N] [GoogleTest options]\n");
      return 2;
    }
  }
  return RUN_ALL_TESTS();
}
