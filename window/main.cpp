// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Vombel Chess: the window and its event loop. The command line is read before Qt starts, so that
// --help and --version work without a display.
#include <QApplication>
#include <QTimer>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>

#include "files/end_signals.h"
#include "files/folders.h"
#include "files/printable.h"
#include "game/last_game.h"
#include "game/saved_game.h"
#include "search/search_threads.h"
#include "window/window.h"

#ifndef VOMBEL_VERSION
#error "VOMBEL_VERSION must be defined by the build (the project's version)"
#endif

namespace {

constexpr const char* kUsage =
    "Usage: vombel-chess [OPTION]...\n"
    "Play chess against the computer in a window: you have White, the computer Black.\n"
    "\n"
    "  -h, --help             show this help and exit\n"
    "      --version          show the version and exit\n"
    "      --use-data-folder  save and open the game in the user's data folder,\n"
    "                         $XDG_DATA_HOME/vombel-chess (~/.local/share/vombel-chess),\n"
    "                         made on first use, rather than in the current folder;\n"
    "                         the desktop menu starts the game so\n"
    "      --threads=N        search the computer's moves with N threads (1 to 64);\n"
    "                         one per core unless told, the same moves with any N\n"
    "\n"
    "Qt's own options, such as -platform NAME, -display DISPLAY or -style NAME, are passed on\n"
    "to Qt.\n";

// The options QApplication itself reads on Linux, with or without a value. Each may also be
// written with two dashes; -style and -stylesheet also as -style=NAME.
struct QtOption {
  std::string_view name;
  bool takesValue;
};
constexpr QtOption kQtOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"display", true},         {"geometry", true},
    {"qwindowgeometry", true}, {"title", true},
    {"qwindowtitle", true},    {"icon", true},
    {"qwindowicon", true},     {"name", true},
    {"session", true},         {"style", true},
    {"stylesheet", true},      {"reverse", false},
    {"widgetcount", false},    {"nograb", false},
    {"dograb", false},         {"sync", false},
    {"testability", false},
};

enum class Outcome { Run, Done, Misuse };

bool useDataFolder = false;                          // --use-data-folder
int searchThreads = vombel::defaultSearchThreads();  // --threads

Outcome misuse(const char* what, const char* arg) {
  std::fprintf(stderr, "vombel-chess: %s '%s'\n\n%s", what, vombel::printable(arg).c_str(), kUsage);
  return Outcome::Misuse;
}

// Reads the command line: our own options are handled here, Qt's are left to QApplication,
// anything else is a misuse (exit status 2).
Outcome readCommandLine(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      std::fputs(kUsage, stdout);
      return Outcome::Done;
    }
    if (arg == "--version") {
      std::puts("Vombel Chess " VOMBEL_VERSION);
      return Outcome::Done;
    }
    if (arg == "--use-data-folder") {
      useDataFolder = true;
      continue;
    }
    // --threads=N or --threads N.
    if (arg == "--threads" || arg.starts_with("--threads=")) {
      std::string_view value = arg.substr(std::string_view("--threads").size());
      if (value.empty()) {
        if (i + 1 >= argc) return misuse("missing value after", argv[i]);
        value = argv[++i];
      } else {
        value.remove_prefix(1);
      }
      const auto [end, error] =
          std::from_chars(value.data(), value.data() + value.size(), searchThreads);
      if (error != std::errc() || end != value.data() + value.size() || searchThreads < 1 ||
          searchThreads > vombel::kMaxSearchThreads) {
        return misuse("--threads wants a whole number from 1 to 64, not", value.data());
      }
      continue;
    }
    if (arg.size() < 2 || arg[0] != '-') return misuse("unexpected argument", argv[i]);
    std::string_view name = arg.substr(arg.starts_with("--") ? 2 : 1);
    const std::size_t equals = name.find('=');
    const bool valueAttached = equals != std::string_view::npos;
    if (valueAttached) name = name.substr(0, equals);
    const QtOption* known = nullptr;
    for (const QtOption& option : kQtOptions) {
      if (option.name == name) known = &option;
    }
    if (known == nullptr || (valueAttached && name != "style" && name != "stylesheet")) {
      return misuse("unknown option", argv[i]);
    }
    if (known->takesValue && !valueAttached) {
      if (i + 1 >= argc) return misuse("missing value after", argv[i]);
      ++i;  // the value, whatever it looks like
    }
  }
  return Outcome::Run;
}

}  // namespace

int main(int argc, char* argv[]) {
  vombel::ignoreFileSizeSignal();
  switch (readCommandLine(argc, argv)) {
    case Outcome::Done:
      return std::fflush(stdout) == 0 ? 0 : 1;
    case Outcome::Misuse:
      return 2;
    case Outcome::Run:
      break;
  }
  // A data folder that cannot be made or entered leaves the game in the current folder, told
  // on standard error and, once the window shows, in a warning box; so does a state folder, where
  // the last game is kept.
  const std::string dataProblem = useDataFolder ? vombel::enterDataFolder() : std::string();
  int stateFolder = -1;
  std::string stateFolderPath;
  const std::string stateProblem =
      vombel::openUserFolder(vombel::UserFolder::state, stateFolder, stateFolderPath);
  vombel::keepLastGameIn(stateFolder, stateFolderPath.c_str());
  for (const std::string& problem : {dataProblem, stateProblem}) {
    if (!problem.empty())
      std::fprintf(stderr, "vombel-chess: %s\n", vombel::printable(problem).c_str());
  }
  const std::string folderProblem =
      dataProblem + (dataProblem.empty() || stateProblem.empty() ? "" : "\n\n") + stateProblem;
  // The search threads start now, before any game: the computer searches with as many as could
  // be started.
  if (!vombel::setSearchThreads(searchThreads)) {
    std::fprintf(stderr, "vombel-chess: only %d of %d search threads could be started\n",
                 vombel::startedSearchThreads(), searchThreads);
  }
  QApplication app(argc, argv);
  vombel::prepareApplication(app);
  // SIGTERM, SIGHUP and SIGINT (a desktop logout, a terminal) end the program once the game is
  // kept, then as the signal would have.
  if (!vombel::catchEndingSignals()) {
    std::fprintf(stderr, "vombel-chess: the game cannot be kept if the session ends: %s\n",
                 std::strerror(errno));
  }
  int status = 0;
  {
    vombel::Tablero tablero;
    tablero.show();
    if (!folderProblem.empty()) {
      QTimer::singleShot(0, &tablero, [&] { tablero.warn(folderProblem.c_str()); });
    }
    status = QApplication::exec();
  }
  if (vombel::endingSignal() != 0) vombel::endAsSignalled();
  return status;
}
