// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/saved_game.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "state/board_ops.h"
#include "state/history.h"

namespace vombel {

namespace {

// The file's limits. A line holds at most kMaxNumberLength characters (sign included) and its
// number lies within +-kMaxNumberMagnitude; anything longer or larger is refused before it is
// narrowed to a cell, so no number can wrap round to a piece code.
constexpr std::size_t kMaxNumberLength = 15;
constexpr long kMaxNumberMagnitude = 100000;
constexpr const char* kTooLarge = "too large for a saved game";
constexpr const char* kNotAGame = "not a saved game";

// A file being read, staged here until it has proved valid, and its counter.
Board stagedHistory[kMaxHistory + 1];
int stagedCounter = 0;

// --- Reading ------------------------------------------------------------------------------

struct FileCloser {
  std::FILE* file;
  ~FileCloser() {
    if (file != nullptr) std::fclose(file);
  }
};

// The file being read, with a budget of bytes: a file that grows while it is read is still cut
// off at kLargestGameFile.
struct Input {
  std::FILE* file;
  long left = kLargestGameFile;
  bool overBudget = false;

  int get() {
    if (left == 0) {
      overBudget = std::fgetc(file) != EOF;
      return EOF;
    }
    --left;
    return std::fgetc(file);
  }
};

bool isBlank(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

// Reads the next line of in as a single whole number with any blanks around it. Returns false at
// the end of the file or when the line is anything else: a blank line, two numbers, or any other
// byte, a NUL included.
bool readNumber(Input& in, long& value) {
  char text[kMaxNumberLength + 1];
  std::size_t length = 0;
  bool ended = false;  // blank space has followed the number
  int ch;
  while ((ch = in.get()) != EOF && ch != '\n') {
    if (isBlank(static_cast<char>(ch))) {
      ended = length > 0;
      continue;
    }
    if (ended || length == sizeof text - 1) return false;
    text[length++] = static_cast<char>(ch);
  }
  // A sign, then only digits: checked over the whole length, so a NUL among them is refused.
  const std::size_t first = length > 0 && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (first == length) return false;
  for (std::size_t i = first; i < length; ++i) {
    if (std::isdigit(static_cast<unsigned char>(text[i])) == 0) return false;
  }
  text[length] = '\0';
  // At most 15 digits: far inside a 64-bit long, and strtol saturates where long is narrower.
  value = std::strtol(text, nullptr, 10);
  return value <= kMaxNumberMagnitude && value >= -kMaxNumberMagnitude;
}

// True when nothing but blank space is left to read from in.
bool onlyBlankSpaceLeft(Input& in) {
  int ch;
  while ((ch = in.get()) != EOF) {
    if (!isBlank(static_cast<char>(ch))) return false;
  }
  return true;
}

bool validCell(int x, int y, long value) {
  return isPlayable(x, y) ? isPieceCodeOrEmpty(static_cast<std::int32_t>(value)) : value == kBorder;
}

// Reads a whole game from in into stagedHistory; n receives the counter.
bool readGame(Input& in, int& n) {
  long counter = 0;
  if (!readNumber(in, counter) || counter < 0 || counter > kMaxHistory) return false;
  n = static_cast<int>(counter);
  for (int i = 0; i <= n; ++i) {
    for (int y = kLow; y <= kHigh; ++y) {
      for (int x = kLow; x <= kHigh; ++x) {
        long value = 0;
        if (!readNumber(in, value) || !validCell(x, y, value)) return false;
        stagedHistory[i](x, y) = static_cast<std::int32_t>(value);
      }
    }
  }
  return onlyBlankSpaceLeft(in);
}

// --- Writing ------------------------------------------------------------------------------

void writeNumber(std::FILE* f, long value) {
  std::fprintf(f, value < 0 ? "%ld \r\n" : " %ld \r\n", value);
}

void writeEntry(std::FILE* f, const Board& entry) {
  for (int y = kLow; y <= kHigh; ++y) {
    for (int x = kLow; x <= kHigh; ++x)
      writeNumber(f, entry(x, y));
  }
}

// Writes the game to f: the counter, then entries 0..n.
void writeGame(std::FILE* f) {
  const int n = currentMove();
  writeNumber(f, n);
  for (int i = 0; i <= n; ++i)
    writeEntry(f, gameHistory[i]);
}

// Writes every recorded entry to f, the board for the last one when it is on display.
void writeWholeGame(std::FILE* f) {
  const int n = historia.max;
  writeNumber(f, n);
  for (int i = 0; i < n; ++i)
    writeEntry(f, gameHistory[i]);
  writeEntry(f, currentMove() == n ? board : gameHistory[n]);
}

}  // namespace

FileResult saveGameFile(const char* path, int from) {
  return replaceFile(path, writeGame, from);
}

FileResult saveWholeGameFile(const char* path, int from) {
  return replaceFile(path, writeWholeGame, from);
}

FileResult readGameFile(const char* path, int from) {
  int fd = -1;
  if (FileResult opened = openRegularFile(path, kLargestGameFile, kTooLarge, fd, from); !opened)
    return opened;
  FileCloser closer{::fdopen(fd, "rb")};
  if (closer.file == nullptr) {
    const int error = errno;
    ::close(fd);
    return failedWith(error);
  }
  Input in{closer.file};
  if (!readGame(in, stagedCounter)) {
    if (std::ferror(closer.file) != 0) return failedWith(errno);
    return refusedAs(in.overBudget ? kTooLarge : kNotAGame);
  }
  return {};
}

void takeInReadGame() {
  const int n = stagedCounter;
  for (int i = 0; i <= n; ++i)
    copyWholeBoard(gameHistory[i], stagedHistory[i]);
  moveNumber = static_cast<float>(n);
  setHistoriaMax(n);
  setHistoriaValue(n);
  historia_Change();
}

FileResult loadGameFile(const char* path, int from) {
  FileResult result = readGameFile(path, from);
  if (result) takeInReadGame();
  return result;
}

}  // namespace vombel
