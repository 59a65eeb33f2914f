// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// vombel-headless: plays the game without a window, for checks and experiments.
//
//   vombel-headless [--threads N] [--level easy|difficult] [--in FILE] [--out FILE]
//                   [--keep-last-game] EVENT...
//
// Events, run in order: force, new, click:A (A = 0..63), scroll:N, setup:on, setup:off,
// level:easy, level:difficult, tick, open, save, pgn:FILE (Export Game: the game as PGN to
// FILE), fen (Copy Position: prints the FEN of the position shown), resume (Resume Last Game),
// unload (the game ends, as on Exit: the last game is kept), wait:S (waits up to S seconds for
// SIGTERM, SIGHUP or SIGINT). Each computer move prints one line:
//   move=<n> resigned=<0|1> score=<bestScore1> calls=<c1>,...,<c8> ms=<duration>
// --in starts from a game file as Open takes it in; --out writes the game as Save writes it.
// --threads sets how many threads search the candidates (1 to 64; one per core unless told): the
// moves and counts are the same for every number.
// Bad arguments or an unreadable --in file: a message on standard error and exit status 2.
// A save that fails, or a juego.vmb that Open cannot use, is told on standard error as the
// window tells it in a box; the later events still run, and a failed save or export makes the
// exit status 1 (a failed --out: 2).
// --keep-last-game keeps the last game in the state folder, as the window does (a state folder
// that cannot be used is told and the current folder used), and catches SIGTERM, SIGHUP and
// SIGINT: after the event running when one comes, the last game is kept and the driver ends as
// the signal ends a program.
#include <poll.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "files/end_signals.h"
#include "files/folders.h"
#include "files/printable.h"
#include "game/events.h"
#include "game/exchange.h"
#include "game/last_game.h"
#include "game/saved_game.h"
#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "platform/game_view.h"
#include "search/instances.h"
#include "search/search.h"
#include "search/search_threads.h"
#include "state/history.h"
#include "state/state.h"

namespace {

using namespace vombel;

enum class Kind {
  force,
  newGame,
  click,
  scroll,
  setupOn,
  setupOff,
  easyLevel,
  difficultLevel,
  tick,
  open,
  save,
  exportPgn,
  fen,
  resume,
  unload,
  wait
};

struct Event {
  Kind kind;
  int argument;
  std::string path;  // pgn:FILE's file
};

int fail(const std::string& message) {
  std::fprintf(stderr, "vombel-headless: %s\n", printable(message).c_str());
  return 2;
}

// Parses a whole decimal number in [low, high].
bool parseNumber(const char* text, int low, int high, int& value) {
  if (*text == '\0') return false;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (errno != 0 || *end != '\0' || v < low || v > high) return false;
  value = static_cast<int>(v);
  return true;
}

bool parseEvent(const std::string& word, Event& event) {
  static const struct {
    const char* name;
    Kind kind;
  } plain[] = {{"force", Kind::force},
               {"new", Kind::newGame},
               {"setup:on", Kind::setupOn},
               {"setup:off", Kind::setupOff},
               {"level:easy", Kind::easyLevel},
               {"level:difficult", Kind::difficultLevel},
               {"tick", Kind::tick},
               {"open", Kind::open},
               {"save", Kind::save},
               {"fen", Kind::fen},
               {"resume", Kind::resume},
               {"unload", Kind::unload}};
  for (const auto& p : plain) {
    if (word == p.name) {
      event = {p.kind, 0, {}};
      return true;
    }
  }
  if (word.rfind("pgn:", 0) == 0) {
    event = {Kind::exportPgn, 0, word.substr(4)};
    return !event.path.empty();
  }
  if (word.rfind("click:", 0) == 0) {
    event.kind = Kind::click;
    return parseNumber(word.c_str() + 6, 0, 63, event.argument);
  }
  if (word.rfind("wait:", 0) == 0) {
    event.kind = Kind::wait;
    return parseNumber(word.c_str() + 5, 0, 3600, event.argument);
  }
  if (word.rfind("scroll:", 0) == 0) {
    event.kind = Kind::scroll;
    // The user cannot move the bar past its ends: any other number lands on the nearer end.
    return parseNumber(word.c_str() + 7, -1000000, 1000000, event.argument);
  }
  return false;
}

int warnings = 0;         // warning boxes shown so far
bool saveFailed = false;  // a save or export event failed

// Messages and warnings go to standard error; warnings are counted.
class DriverView : public GameView {
 public:
  void tell(const char* text) override { std::fprintf(stderr, "%s\n", text); }
  void warn(const char* text) override {
    ++warnings;
    std::fprintf(stderr, "vombel-headless: %s\n", printable(text).c_str());
  }
};

void run(const Event& e) {
  switch (e.kind) {
    case Kind::force:
      force_Click();
      break;
    case Kind::newGame:
      nuevo_Click();
      break;
    case Kind::click:
      c_Click(e.argument);
      break;
    case Kind::scroll:
      historia_Scroll(e.argument);
      break;
    case Kind::setupOn:
      boardsu.value = 1;
      break;
    case Kind::setupOff:
      boardsu.value = 0;
      break;
    case Kind::easyLevel:
      selectLevel(false);
      break;
    case Kind::difficultLevel:
      selectLevel(true);
      break;
    case Kind::tick:
      Timer1_Timer();
      break;
    case Kind::open:
      open_Click();
      break;
    case Kind::save: {
      const int before = warnings;
      guardar_Click();
      if (warnings != before) saveFailed = true;
      break;
    }
    case Kind::exportPgn: {
      char reason[kExportReasonSize];
      if (!exportGame(e.path.c_str(), reason)) {
        std::fprintf(stderr, "vombel-headless: the game could not be exported to %s: %s.\n",
                     printable(e.path).c_str(), reason);
        saveFailed = true;
      }
      break;
    }
    case Kind::fen: {
      char fen[kFenSize];
      copyPosition(fen);
      std::printf("%s\n", fen);
      break;
    }
    case Kind::resume:
      resume_Click();
      break;
    case Kind::unload:
      tablero_Unload();
      break;
    case Kind::wait: {
      pollfd watch{endingSignalWatch(), POLLIN, 0};  // fd -1: only the time passes
      ::poll(&watch, 1, e.argument * 1000);
      break;
    }
  }
}

// After an ending signal: the game is kept as the window keeps it on Exit, then the driver ends.
void endIfSignalled() {
  if (endingSignal() == 0) return;
  tablero_Unload();
  std::fflush(stdout);
  endAsSignalled();
}

void printTurn() {
  std::printf("move=%d resigned=%d score=%d calls=", currentMove(), turnReport.resigned ? 1 : 0,
              static_cast<int>(bestScore1));
  for (int k = 1; k <= 8; ++k)
    std::printf(k == 1 ? "%llu" : ",%llu", plyCalls[k]);
  std::printf(" ms=%.1f\n", turnReport.milliseconds);
}

}  // namespace

int main(int argc, char** argv) {
  ignoreFileSizeSignal();
  const char* level = nullptr;
  const char* in = nullptr;
  const char* out = nullptr;
  bool keepLastGame = false;
  int threads = defaultSearchThreads();
  std::vector<Event> events;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--level" || arg == "--in" || arg == "--out" || arg == "--threads") {
      if (i + 1 >= argc) return fail("missing value after " + arg);
      const char* value = argv[++i];
      if (arg == "--threads") {
        if (!parseNumber(value, 1, kMaxSearchThreads, threads)) {
          return fail("--threads wants a whole number from 1 to " +
                      std::to_string(kMaxSearchThreads) + ", not '" + value + "'");
        }
      } else if (arg == "--level") {
        if (std::strcmp(value, "easy") != 0 && std::strcmp(value, "difficult") != 0) {
          return fail("unknown level '" + std::string(value) + "' (easy or difficult)");
        }
        level = value;
      } else {
        (arg == "--in" ? in : out) = value;
      }
      continue;
    }
    if (arg == "--keep-last-game") {
      keepLastGame = true;
      continue;
    }
    Event event{};
    if (!parseEvent(arg, event)) return fail("unknown argument '" + arg + "'");
    events.push_back(event);
  }

  DriverView view;
  setGameView(&view);
  if (!setSearchThreads(threads)) {
    std::fprintf(stderr, "vombel-headless: only %d search threads could be started\n",
                 startedSearchThreads());
  }
  tablero_Load();
  if (keepLastGame) {
    int folder = -1;
    std::string path;
    const std::string problem = openUserFolder(UserFolder::state, folder, path);
    if (!problem.empty()) std::fprintf(stderr, "vombel-headless: %s\n", printable(problem).c_str());
    keepLastGameIn(folder, path.c_str());
    if (!catchEndingSignals())
      return fail(std::string("cannot catch signals: ") + std::strerror(errno));
  }
  if (in != nullptr) {
    const FileResult loaded = loadGameFile(in);
    if (!loaded)
      return fail(std::string("cannot read a game from '") + in + "': " + loaded.reason());
  }
  if (level != nullptr) selectLevel(std::strcmp(level, "difficult") == 0);

  for (const Event& e : events) {
    const auto turnsBefore = turnReport.turns;
    run(e);
    if (turnReport.turns != turnsBefore) printTurn();
    std::fflush(stdout);
    endIfSignalled();
  }
  endIfSignalled();  // a signal before the first event, or with none
  if (out != nullptr) {
    const FileResult saved = saveGameFile(out);
    if (!saved) return fail(std::string("cannot write '") + out + "': " + saved.reason());
  }
  return saveFailed ? 1 : 0;
}
