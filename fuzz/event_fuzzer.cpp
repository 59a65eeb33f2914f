// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Sequences of window events from a new game: square clicks, legal moves, "->", the history
// scroll bar, set-up on and off, level changes, New, Save, Open of a saved, edited, built or
// garbled juego.vmb, and clock ticks. The invariants are checked after every event, and at the
// end the notation must describe the history: a PGN that fits, and a FEN of every entry that
// reads back as the entry. Every search
// runs at level Easy to keep each input fast: the harness selects Easy before an event that can
// start one, so level Difficult is only ever seen between events.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/fuzz_support.h"
#include "game/events.h"
#include "game/saved_game.h"
#include "game/turn_cycle.h"
#include "notation/pgn.h"
#include "notation/record.h"
#include "platform/controls.h"
#include "state/board_ops.h"
#include "state/history.h"
#include "state/state.h"
#include "tests/support/game_checks.h"
#include "tests/support/game_file.h"

namespace {

using namespace vombel;

constexpr int kMaxEvents = 48;
std::unique_ptr<checks::GameSnapshot> newGameState;

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return at_ >= size_; }
  int next() { return at_ < size_ ? data_[at_++] : 0; }
  std::size_t take(std::size_t count, const std::uint8_t*& start) {
    start = data_ + at_;
    count = std::min(count, size_ - at_);
    at_ += count;
    return count;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

std::string log;

void check(const char* event) {
  log += event;
  log += ' ';
  if (auto broken = checks::brokenInvariant(); !broken.empty()) {
    fuzz::fail(broken + "\n  after: " + log);
  }
}

void writeGame(int counter, const Board* entries) {
  const std::string text = testing_support::gameFileText(counter, entries);
  fuzz::writeFile(kGameFileName, text.data(), text.size());
}

// Open must take a well-formed file in whole.
void openExpectingGame(int counter, const char* event) {
  open_Click();
  check(event);
  if (currentMove() != counter || historia.max != counter || clickState != 0) {
    fuzz::fail("a well-formed file was not taken in\n  after: " + log);
  }
}

Board entries[kMaxHistory + 1];

void openFile(Bytes& in) {
  const int n = currentMove();
  const int mode = in.next() % 6;
  switch (mode) {
    case 0:  // whatever juego.vmb holds, if anything
      open_Click();
      check("open");
      return;
    case 1: {  // the game so far with one playable cell of one entry changed
      std::memcpy(entries, gameHistory, sizeof(Board) * (n + 1));
      const int i = in.next() % (n + 1);
      const int a = in.next() % 64;
      entries[i](screenFile(a), screenRank(a)) = fuzz::kCodes[in.next() % 13];
      writeGame(n, entries);
      openExpectingGame(n, "open-edited");
      return;
    }
    case 2: {  // the history under another counter, well-formed only if every entry is
      const int counter = (in.next() * 256 + in.next()) % (kMaxHistory + 2);
      const int written = std::min(counter, kMaxHistory);
      std::memcpy(entries, gameHistory, sizeof(Board) * (written + 1));
      writeGame(written, entries);
      if (counter != written) {
        // Make the counter say one more entry than the file holds.
        std::string text = testing_support::gameFileText(written, entries);
        text.replace(0, text.find('\r'), " " + std::to_string(counter));
        fuzz::writeFile(kGameFileName, text.data(), text.size());
      }
      bool wellFormed = counter <= kMaxHistory;
      for (int i = 0; wellFormed && i <= written; ++i)
        wellFormed = fuzz::validEntry(entries[i]);
      if (wellFormed) {
        openExpectingGame(counter, "open-recounted");
      } else {
        const auto before = checks::takeSnapshot();
        open_Click();
        check("open-bad-counter");
        if (auto d = checks::firstDifference(*before, *checks::takeSnapshot()); !d.empty()) {
          fuzz::fail("a refused file changed " + d + "\n  after: " + log);
        }
      }
      return;
    }
    case 3:    // a position from the input, repeated up to a long history: crowded
    case 4: {  // ... or sparse between the back ranks, closer to a game
      const bool sparse = mode == 4;
      const int counter = (in.next() * 256 + in.next()) % (kMaxHistory + 1);
      Board& position = entries[0];
      position = gameHistory[0];
      for (int a = 0; a < 64; ++a) {
        const int byte = in.next();
        std::int32_t code = fuzz::kCodes[byte % 13];
        if (sparse && byte % 3 != 0 && a / 8 != 0 && a / 8 != 7) code = kEmpty;
        position(screenFile(a), screenRank(a)) = code;
      }
      for (int i = 1; i <= counter; ++i)
        entries[i] = position;
      writeGame(counter, entries);
      openExpectingGame(counter, "open-built");
      return;
    }
    default: {  // raw bytes
      const std::uint8_t* start = nullptr;
      const std::size_t length = in.take(static_cast<std::size_t>(in.next()) * 4, start);
      fuzz::writeFile(kGameFileName, start, length);
      const auto before = checks::takeSnapshot();
      open_Click();
      check("open-raw");
      if (!fuzz::readGameFile(start, length)) {
        if (auto d = checks::firstDifference(*before, *checks::takeSnapshot()); !d.empty()) {
          fuzz::fail("a refused file changed " + d + "\n  after: " + log);
        }
      }
      return;
    }
  }
}

// Two clicks that must make a move: the selection, if any, is dropped first by clicking it.
void playLegalMove(Bytes& in) {
  if (clickState == 1) c_Click(fromSquare);
  const auto pairs = checks::legalClickPairs();
  if (pairs.empty()) {
    check("no-legal-move");
    return;
  }
  const auto& pair = pairs[in.next() % pairs.size()];
  const int before = currentMove();
  const bool placing = boardsu.value == 1;
  c_Click(pair.from);
  c_Click(pair.to);
  check(pair.castling ? "castle" : "move");
  const int expected = placing && !pair.castling ? before : std::min(before + 2, kMaxHistory);
  if (currentMove() != expected) {
    fuzz::fail("the move " + std::to_string(pair.from) + "-" + std::to_string(pair.to) +
               " left moveNumber at " + std::to_string(currentMove()) + ", expected " +
               std::to_string(expected) + "\n  after: " + log);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const fuzz::ScratchDirectory scratch("vombel-event-fuzz");
  tablero_Load();
  newGameState = checks::takeSnapshot();
  return 0;
}

// The history in notation, whatever it holds: set-up changes, kings taken, files from anywhere.
void checkNotation() {
  static char pgn[kPgnCapacity];
  notateHistory(historia.max);
  if (writePgn({"Player", "Vombel Chess", 2026, 1, 1}, pgn, sizeof pgn) < 0) {
    fuzz::fail("the PGN does not fit\n  after: " + log);
  }
  for (int i = 0; i <= historia.max; ++i) {
    char fen[kFenSize];
    char reason[kFenReasonSize];
    Board back;
    int x = 0;
    int y = 0;
    // A file may hold two kings of a side, which a pasted FEN may not.
    if (findKing(gameHistory[i], false, x, y) > 1 || findKing(gameHistory[i], true, x, y) > 1)
      continue;
    writeEntryFen(i, fen);
    if (!readFenPlacement(fen, back, reason) ||
        std::memcmp(&back, &gameHistory[i], sizeof back) != 0) {
      fuzz::fail("the FEN of entry " + std::to_string(i) + " does not read back: " + fen +
                 "\n  after: " + log);
    }
  }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::ScratchDirectory scratch("vombel-event-fuzz");
  checks::restoreSnapshot(*newGameState);
  std::remove(kGameFileName);
  log.clear();
  Bytes in(data, size);
  for (int events = 0; events < kMaxEvents && !in.empty(); ++events) {
    switch (in.next() % 16) {
      case 0:
      case 1:
      case 2:
      case 3:
        selectLevel(false);
        c_Click(in.next() % 64);
        check("click");
        break;
      case 4:
      case 5:
      case 6:
        selectLevel(false);
        playLegalMove(in);
        break;
      case 7:
        selectLevel(false);
        force_Click();
        check("force");
        break;
      case 8:
        historia_Scroll(in.next() % (historia.max + 3) - 1);
        check("scroll");
        break;
      case 9:
        boardsu.value = 1 - boardsu.value;
        check("setup");
        break;
      case 10:
        selectLevel(in.next() % 2 == 1);
        check("level");
        break;
      case 11:
        nuevo_Click();
        check("new");
        break;
      case 12:
        guardar_Click();
        check("save");
        break;
      case 13:
      case 14:
        selectLevel(false);  // a file's position may be searched by the next event
        openFile(in);
        break;
      default:
        Timer1_Timer();
        check("tick");
        break;
    }
  }
  checkNotation();
  return 0;
}
