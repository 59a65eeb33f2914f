// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "notation/pgn.h"

#include <cstdio>
#include <cstring>

#include "notation/record.h"
#include "state/new_game.h"

namespace vombel {

namespace {

// Movetext lines have fewer than 80 characters, as PGN's export format asks.
constexpr int kLineWidth = 79;
// A tag's value is cut to this many bytes: the longest FEN fits.
constexpr std::size_t kLongestValue = 100;

// The text written so far. A write that does not fit marks it full and writes nothing more.
struct Output {
  char* text;
  int capacity;
  int length;
  int column;  // characters on the movetext line being written
  bool full;
};
Output out;

void put(const char* piece, int length) {
  if (out.full || out.length + length >= out.capacity) {
    out.full = true;
    return;
  }
  std::memcpy(out.text + out.length, piece, static_cast<std::size_t>(length));
  out.length += length;
  out.text[out.length] = '\0';
}

void put(const char* piece) {
  put(piece, static_cast<int>(std::strlen(piece)));
}

// One token of the movetext, after a space or at the start of a new line.
void token(const char* word) {
  const int length = static_cast<int>(std::strlen(word));
  if (out.column > 0 && out.column + 1 + length > kLineWidth) {
    put("\n");
    out.column = 0;
  }
  if (out.column > 0) {
    put(" ");
    ++out.column;
  }
  put(word, length);
  out.column += length;
}

// A comment of words separated by single spaces, wrapped as tokens are.
void comment(const char* text) {
  char word[kLineWidth + 1];
  bool first = true;
  while (*text != '\0') {
    const char* end = std::strchr(text, ' ');
    if (end == nullptr) end = text + std::strlen(text);
    const int length = static_cast<int>(end - text);
    std::snprintf(word, sizeof word, "%s%.*s%s", first ? "{" : "", length, text,
                  *end == '\0' ? "}" : "");
    token(word);
    first = false;
    text = *end == '\0' ? end : end + 1;
  }
}

void tag(const char* name, const char* value) {
  char line[2 * kLongestValue + 32];
  int n = std::snprintf(line, sizeof line, "[%s \"", name);
  // A long value is cut at the start of a character, never inside a UTF-8 sequence.
  std::size_t end = std::strlen(value);
  if (end > kLongestValue) {
    end = kLongestValue;
    while (end > 0 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80)
      --end;
  }
  for (std::size_t i = 0; i < end; ++i) {
    const char ch = value[i];
    if (ch == '"' || ch == '\\') line[n++] = '\\';
    line[n++] = ch >= 0 && ch < ' ' ? ' ' : ch;  // no control characters
  }
  std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), "\"]\n");
  put(line);
}

const char* sideName(bool black) {
  return black ? "Black" : "White";
}

// Why standard chess cannot set up entry i's position.
void positionReason(int i, char* text, std::size_t size) {
  const RecordEntry& e = gameRecord[i];
  switch (e.positionFault) {
    case PositionFault::noWhiteKing:
    case PositionFault::noBlackKing:
      std::snprintf(text, size, "%s has no king",
                    sideName(e.positionFault == PositionFault::noBlackKing));
      return;
    case PositionFault::whiteKings:
    case PositionFault::blackKings:
      std::snprintf(text, size, "%s has more than one king",
                    sideName(e.positionFault == PositionFault::blackKings));
      return;
    case PositionFault::pawnOnEdge:
      std::snprintf(text, size, "a pawn stands on the first or last rank");
      return;
    case PositionFault::notToMoveInCheck:
      std::snprintf(text, size, "%s's king is in check with %s to move", sideName(!e.blackToMove),
                    sideName(e.blackToMove));
      return;
    case PositionFault::none:
      break;
  }
  text[0] = '\0';
}

// The first entry from i on where a game starts; 0 when there is none.
int nextStart(int i) {
  for (; i <= recordLast; ++i) {
    if (gameRecord[i].gameStart) return i;
  }
  return 0;
}

// What the positions from entry i to the next game's start are; "" when a game starts at i.
void gapEnding(int i, char* text, std::size_t size) {
  const int next = nextStart(i);
  if (next == i) {
    std::snprintf(text, size, " The game goes on in the next game of this file.");
    return;
  }
  char reason[64];
  positionReason(i, reason, sizeof reason);
  if (next == 0) {
    std::snprintf(text, size, " Standard chess cannot set up the positions that follow (%s).",
                  reason);
  } else {
    std::snprintf(text, size,
                  " Standard chess cannot set up the positions that follow (%s); the game goes "
                  "on from half-move %d in the next game of this file.",
                  reason, next);
  }
}

// The closing comment of a game whose last position is entry i: why the history leaves
// standard chess at entry i + 1; "" when the history ends at i.
void closingComment(int i, char* text, std::size_t size) {
  text[0] = '\0';
  if (i >= recordLast) return;
  const RecordEntry& e = gameRecord[i + 1];
  const char* side = sideName(e.move.black);
  int n = 0;
  switch (e.fault) {
    case MoveFault::setUp:
      n = std::snprintf(text, size, "Then the position was changed in set-up mode.");
      break;
    case MoveFault::wrongSide:
      n = std::snprintf(text, size, "Then %s played %s out of turn.", side, e.san);
      break;
    case MoveFault::takesKing:
      n = std::snprintf(text, size, "Then %s played %s, taking the king.", side, e.san);
      break;
    case MoveFault::leavesCheck:
      n = std::snprintf(text, size, "Then %s played %s, leaving its king in check.", side, e.san);
      break;
    case MoveFault::castlingForbidden:
      n = std::snprintf(text, size,
                        "Then %s castled, %s, which standard chess does not allow here.", side,
                        e.san);
      break;
    case MoveFault::none:
      return;
  }
  gapEnding(i + 1, text + n, size - static_cast<std::size_t>(n));
}

bool isStandardStart(int s) {
  Board start;
  setStartPosition(start);
  for (int y = 1; y <= 8; ++y) {
    for (int x = 1; x <= 8; ++x) {
      if (start(x, y) != gameHistory[s](x, y)) return false;
    }
  }
  return !gameRecord[s].blackToMove && numberFor(s, false) == 1;
}

const char* resultText(GameEnd end) {
  switch (end) {
    case GameEnd::whiteWins:
      return "1-0";
    case GameEnd::blackWins:
      return "0-1";
    case GameEnd::drawn:
      return "1/2-1/2";
    case GameEnd::none:
    case GameEnd::undecided:
      break;
  }
  return "*";
}

// The result of the game that starts at entry s: "1-0" if Black resigns it, else as it ends.
const char* resultOf(int s) {
  for (int j = s; j <= recordLast; ++j) {
    if (j > s && gameRecord[j].resigns) return "1-0";
    if (gameRecord[j].end != GameEnd::none) return resultText(gameRecord[j].end);
  }
  return "*";
}

void openGame(int s, const PgnHeader& header, const char* result) {
  char date[16];
  std::snprintf(date, sizeof date, "%04d.%02d.%02d", header.year, header.month, header.day);
  tag("Event", "Vombel Chess game");
  tag("Site", "?");
  tag("Date", date);
  tag("Round", "-");
  tag("White", header.white);
  tag("Black", header.black);
  tag("Result", result);
  // The tags after the seven go in ASCII order: FEN before SetUp.
  if (!isStandardStart(s)) {
    char fen[kFenSize];
    writeEntryFen(s, fen);
    tag("FEN", fen);
    tag("SetUp", "1");
  }
  put("\n");
  out.column = 0;
}

void closeGame(const char* result) {
  token(result);
  put("\n\n");
  out.column = 0;
}

}  // namespace

int writePgn(const PgnHeader& header, char* text, int capacity) {
  out = {text, capacity, 0, 0, false};
  if (capacity > 0) text[0] = '\0';
  int games = 0;
  bool firstMove = false;  // the next move is its game's first
  char note[320];
  for (int i = 0; i <= recordLast; ++i) {
    const RecordEntry& e = gameRecord[i];
    if (e.gameMove && (e.move.kind == EntryKind::move || e.move.kind == EntryKind::castling)) {
      if (!e.move.black || firstMove) {
        char number[16];
        std::snprintf(number, sizeof number, e.move.black ? "%d..." : "%d.", e.number);
        token(number);
      }
      token(e.san);
      firstMove = false;
    }
    if (e.resigns) closeGame("1-0");
    if (e.gameStart) {
      openGame(i, header, resultOf(i));
      if (games == 0 && i > 0) {
        // The history began where standard chess cannot follow it.
        char reason[64];
        positionReason(0, reason, sizeof reason);
        std::snprintf(note, sizeof note,
                      "Standard chess cannot set up the game's first positions (%s); the game "
                      "goes on here from half-move %d.",
                      reason, i);
        comment(note);
      }
      ++games;
      firstMove = true;
    }
    if (e.end != GameEnd::none) {
      closingComment(i, note, sizeof note);
      if (note[0] != '\0') comment(note);
      closeGame(resultText(e.end));
    }
  }
  if (out.full) return -1;
  return games == 0 ? 0 : out.length;
}

}  // namespace vombel
