// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Helpers shared by the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "state/board.h"

namespace vombel::fuzz {

// While one lives, a scratch directory of the given name is the current directory, so that
// juego.vmb lands there; the directory the fuzzer was started in comes back after each input,
// where libFuzzer reads and writes its corpus.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(const char* name);
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

 private:
  int home_;
};

// Prints what went wrong and aborts, which libFuzzer reports as a crash and keeps the input.
[[noreturn]] void fail(const std::string& what);

// The thirteen codes a playable square may hold.
inline constexpr std::int32_t kCodes[13] = {kEmpty,  kPawn,         -kPawn,    kKnight, -kKnight,
                                            kBishop, -kBishop,      kRook,     -kRook,  kQueen,
                                            -kQueen, kComputerKing, kHumanKing};

// A game file read independently of the game's loader. Lines end at '\n'; each of the first
// 1 + 144 (n + 1) lines holds one whole number (an optional sign and at most 15 characters) with
// any spaces, tabs or CRs around it; the counter n lies in 0..300, border cells hold 2 and
// playable cells piece codes; only blank space may follow. Anything else is not a game file.
struct GameFile {
  int counter;
  std::vector<Board> entries;  // 0..counter
};
std::optional<GameFile> readGameFile(const std::uint8_t* data, std::size_t size);

// The position as the window shows it: a pawn on its last rank becomes a queen.
Board promoted(const Board& b);

// True when border cells hold 2 and playable cells piece codes.
bool validEntry(const Board& b);

// Writes text to path; aborts when it cannot.
void writeFile(const char* path, const void* data, std::size_t size);

}  // namespace vombel::fuzz
