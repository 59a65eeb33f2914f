// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "notation/fen.h"

#include <cstdio>
#include <cstring>

#include "notation/rules.h"

namespace vombel {

namespace {

// FEN's letters, White's upper case, and the codes they stand for.
constexpr char kLetters[] = "PNBRQKpnbrqk";
constexpr std::int32_t kCodes[] = {-kPawn, -kKnight, -kBishop, -kRook, -kQueen, kHumanKing,
                                   kPawn,  kKnight,  kBishop,  kRook,  kQueen,  kComputerKing};

char letterOf(std::int32_t code) {
  for (int i = 0; i < 12; ++i) {
    if (kCodes[i] == code) return kLetters[i];
  }
  return '?';
}

bool isBlank(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r';
}

bool isDigits(const char* word, int length) {
  if (length == 0 || length > 6) return false;
  for (int i = 0; i < length; ++i) {
    if (word[i] < '0' || word[i] > '9') return false;
  }
  return true;
}

// True when word (length characters) is FEN field number field (1: side to move, 2: castling,
// 3: en passant square, 4: halfmove clock, 5: fullmove number).
bool isField(int field, const char* word, int length) {
  switch (field) {
    case 1:
      return length == 1 && (word[0] == 'w' || word[0] == 'b');
    case 2: {
      if (length == 1 && word[0] == '-') return true;
      if (length > 4) return false;
      for (int i = 0; i < length; ++i) {
        if (std::strchr("KQkq", word[i]) == nullptr) return false;
        if (std::memchr(word, word[i], static_cast<std::size_t>(i)) != nullptr) return false;
      }
      return true;
    }
    case 3:
      return (length == 1 && word[0] == '-') || (length == 2 && word[0] >= 'a' && word[0] <= 'h' &&
                                                 (word[1] == '3' || word[1] == '6'));
    default:
      return isDigits(word, length);
  }
}

}  // namespace

void writeFen(const Board& b, const FenFields& fields, char (&fen)[kFenSize]) {
  char placement[72];
  int n = 0;
  for (int y = 8; y >= 1; --y) {
    int empty = 0;
    for (int x = 1; x <= 8; ++x) {
      if (b(x, y) == kEmpty) {
        ++empty;
        continue;
      }
      if (empty > 0) placement[n++] = static_cast<char>('0' + empty);
      empty = 0;
      placement[n++] = letterOf(b(x, y));
    }
    if (empty > 0) placement[n++] = static_cast<char>('0' + empty);
    if (y > 1) placement[n++] = '/';
  }
  placement[n] = '\0';
  char castling[5] = "-";
  int c = 0;
  const int rights[4] = {kWhiteKingSide, kWhiteQueenSide, kBlackKingSide, kBlackQueenSide};
  for (int i = 0; i < 4; ++i) {
    if ((fields.castling & rights[i]) != 0) castling[c++] = "KQkq"[i];
  }
  if (c > 0) castling[c] = '\0';
  std::snprintf(fen, sizeof fen, "%s %c %s - %d %d", placement, fields.blackToMove ? 'b' : 'w',
                castling, fields.halfmoveClock, fields.fullmoveNumber);
}

bool readFenPlacement(const char* text, Board& b, char (&reason)[kFenReasonSize]) {
  const auto refuse = [&](const char* format, int a, int b2) {
    std::snprintf(reason, sizeof reason, format, a, b2);
    return false;
  };
  const char* p = text;
  while (isBlank(*p))
    ++p;
  if (*p == '\0') return refuse("there is no text", 0, 0);

  Board read = {};
  for (int y = -1; y <= 10; ++y) {
    for (int x = -1; x <= 10; ++x)
      read(x, y) = isPlayable(x, y) ? kEmpty : kBorder;
  }
  int kings[2] = {0, 0};  // White's, Black's
  for (int y = 8; y >= 1; --y) {
    int x = 1;
    for (; *p != '/' && *p != '\0' && !isBlank(*p); ++p) {
      const char* letter = std::strchr(kLetters, *p);
      if (*p >= '1' && *p <= '8') {
        x += *p - '0';
      } else if (letter != nullptr) {
        if (x <= 8) read(x, y) = kCodes[letter - kLetters];
        if (read(x, y) == kHumanKing) ++kings[0];
        if (read(x, y) == kComputerKing) ++kings[1];
        ++x;
      } else if (*p > ' ' && *p < 127) {
        return refuse("'%c' is neither a piece letter nor a number of empty squares", *p, 0);
      } else {
        return refuse("it holds a character that is neither a piece letter nor a number", 0, 0);
      }
      if (x > 9) return refuse("rank %d has more than 8 squares", y, 0);
    }
    if (x != 9) return refuse("rank %d has %d squares, not 8", y, x - 1);
    if (y > 1) {
      if (*p != '/') return refuse("it has %d ranks, not 8", 9 - y, 0);
      ++p;
    }
  }
  if (*p == '/') return refuse("it has more than 8 ranks", 0, 0);
  if (kings[0] > 1) return refuse("it has %d White kings; the game plays with one", kings[0], 0);
  if (kings[1] > 1) return refuse("it has %d Black kings; the game plays with one", kings[1], 0);

  // What follows the placement, if anything, must be the FEN's other fields.
  for (int field = 1;; ++field) {
    while (isBlank(*p))
      ++p;
    if (*p == '\0') break;
    const char* word = p;
    while (*p != '\0' && !isBlank(*p))
      ++p;
    if (field > 5 || !isField(field, word, static_cast<int>(p - word))) {
      return refuse("the text after the placement is not the rest of a FEN", 0, 0);
    }
  }
  b = read;
  reason[0] = '\0';
  return true;
}

}  // namespace vombel
