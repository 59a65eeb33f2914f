#include "game/saved_game.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "platform/controls.h"
#include "state/board_ops.h"
#include "state/history.h"
#include "state/state.h"

namespace vombel {

namespace {

// The file's limits. A line holds at most kMaxNumberLength characters (sign included) and its
// number lies within +-kMaxNumberMagnitude; anything longer or larger is refused before it is
// narrowed to a cell, so no number can wrap round to a piece code.
constexpr std::size_t kMaxNumberLength = 15;
constexpr long kMaxNumberMagnitude = 100000;
// The longest temporary file name a save builds (path + ".tmp", its terminating NUL included).
constexpr std::size_t kMaxTemporaryPath = 4096;

// A file being read, staged here until it has proved valid.
Board stagedHistory[kMaxHistory + 1];

struct FileCloser {
  std::FILE* file;
  ~FileCloser() {
    if (file != nullptr) std::fclose(file);
  }
};

bool isBlank(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

// Reads the next line of f as a single whole number with any blanks around it. Returns false at
// the end of the file or when the line is anything else: a blank line, two numbers, or any other
// byte, a NUL included.
bool readNumber(std::FILE* f, long& value) {
  char text[kMaxNumberLength + 1];
  std::size_t length = 0;
  bool ended = false;  // blank space has followed the number
  int ch;
  while ((ch = std::fgetc(f)) != EOF && ch != '\n') {
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

// True when nothing but blank space is left in f.
bool onlyBlankSpaceLeft(std::FILE* f) {
  int ch;
  while ((ch = std::fgetc(f)) != EOF) {
    if (!isBlank(static_cast<char>(ch))) return false;
  }
  return true;
}

bool validCell(int x, int y, long value) {
  return isPlayable(x, y) ? isPieceCodeOrEmpty(static_cast<std::int32_t>(value)) : value == kBorder;
}

void writeNumber(std::FILE* f, long value) {
  std::fprintf(f, value < 0 ? "%ld \r\n" : " %ld \r\n", value);
}

}  // namespace

bool saveGameFile(const char* path) {
  char temporary[kMaxTemporaryPath];
  if (std::snprintf(temporary, sizeof temporary, "%s.tmp", path) >=
      static_cast<int>(sizeof temporary)) {
    return false;
  }
  std::FILE* f = std::fopen(temporary, "wb");
  if (f == nullptr) return false;
  const int n = currentMove();
  writeNumber(f, n);
  for (int i = 0; i <= n; ++i) {
    for (int y = kLow; y <= kHigh; ++y) {
      for (int x = kLow; x <= kHigh; ++x)
        writeNumber(f, gameHistory[i](x, y));
    }
  }
  const bool written = std::ferror(f) == 0;
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed || std::rename(temporary, path) != 0) {
    std::remove(temporary);
    return false;
  }
  return true;
}

bool loadGameFile(const char* path) {
  FileCloser input{std::fopen(path, "rb")};
  if (input.file == nullptr) return false;
  long counter = 0;
  if (!readNumber(input.file, counter) || counter < 0 || counter > kMaxHistory) return false;
  const int n = static_cast<int>(counter);
  for (int i = 0; i <= n; ++i) {
    for (int y = kLow; y <= kHigh; ++y) {
      for (int x = kLow; x <= kHigh; ++x) {
        long value = 0;
        if (!readNumber(input.file, value) || !validCell(x, y, value)) return false;
        stagedHistory[i](x, y) = static_cast<std::int32_t>(value);
      }
    }
  }
  if (!onlyBlankSpaceLeft(input.file)) return false;

  // The whole file is valid: take it in.
  for (int i = 0; i <= n; ++i)
    copyWholeBoard(gameHistory[i], stagedHistory[i]);
  moveNumber = static_cast<float>(n);
  setHistoriaMax(n);
  setHistoriaValue(n);
  historia_Change();
  return true;
}

}  // namespace vombel
