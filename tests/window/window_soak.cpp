// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// vombel-window-soak: the real window on Qt's offscreen platform, driven by seeded random input:
// clicks on the board (legal moves most of the time), keys, the buttons, the level, set-up, the
// scroll bar, menu choices by mouse and by shortcut, Open of valid and damaged files and Save.
// Random input is thrown at the window while the computer thinks, which must all be dropped; some
// turns are long ones, a crowded position at Difficult. Message boxes are answered as a
// user would. After every event the game's invariants must hold and the window must show the
// game's state with no busy cursor or greyed item left; at the end Save must write a file that
// Open takes back whole. Each event is logged to DIR/events.log as it starts, so that the last
// ones are known after a crash too; a broken invariant prints them and ends with exit status 1.
//
//   vombel-window-soak [--events N] [--long-turns N] [--seed S] [--dir DIR]
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "game/saved_game.h"
#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "state/history.h"
#include "state/state.h"
#include "tests/support/game_checks.h"
#include "tests/support/game_file.h"
#include "tests/support/soak_options.h"
#include "tests/support/window_support.h"
#include "window/window.h"

namespace {

namespace fs = std::filesystem;
using vombel::Tablero;
using vombel::testing_support::namedChild;
using vombel::testing_support::squareControl;

const char* const kLongTurn = BENCH_POSITIONS_DIR "/crowded/queens_both_sides.vmb";

struct Options {
  long events = 2000;
  long longTurns = 2;
  long seed = 1;
  fs::path dir = ".";
};

class Soak {
 public:
  Soak(Tablero* window, const Options& options)
      : window_(window), options_(options), random_(static_cast<std::uint32_t>(options.seed)) {
    log_ = std::fopen((options.dir / "events.log").c_str(), "w");
    boxes_.chooseFile(QString::fromStdString((options.dir / "export.pgn").string()));
    // Input thrown at the window while the computer thinks, as the search reports its steps.
    QObject::connect(namedChild<QProgressBar>(window_, "Progreso"), &QProgressBar::valueChanged,
                     [this](int value) {
                       if (value >= 2 && pick(4) == 0) inputDuringTurn();
                     });
  }
  ~Soak() {
    if (log_ != nullptr) std::fclose(log_);
  }
  Soak(const Soak&) = delete;
  Soak& operator=(const Soak&) = delete;

  // Runs the events, then the final round trip; the exit status.
  int run() {
    const auto started = std::chrono::steady_clock::now();
    const long longEvery = options_.longTurns > 0 ? options_.events / (options_.longTurns + 1) : 0;
    for (event_ = 1; event_ <= options_.events; ++event_) {
      activate();
      if (longEvery > 0 && event_ % longEvery == 0 && longTurns_ < options_.longTurns) {
        longTurn();
      } else {
        randomEvent();
      }
      settle();
      if (const std::string broken = check(); !broken.empty()) return fail(broken);
    }
    if (const std::string broken = roundTrip(); !broken.empty()) return fail(broken);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf(
        "window soak: seed %ld, %ld events in %.1f s, %d long turns (longest %.1f s), %d moves "
        "answered "
        "by the computer, %d boxes answered, %d inputs during turns, %d files opened (%d damaged), "
        "no "
        "fault\n",
        options_.seed, options_.events, seconds, longTurns_, longestTurn_, computerMoves_,
        static_cast<int>(boxes_.texts().size()), inputsDuringTurns_, opened_, damaged_);
    return 0;
  }

 private:
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  void note(const std::string& what) {
    std::string line = std::to_string(event_) + " " + what;
    recent_.push_back(line);
    if (recent_.size() > 30) recent_.pop_front();
    if (log_ != nullptr) {
      std::fprintf(log_, "%s\n", line.c_str());
      std::fflush(log_);
    }
  }

  int fail(const std::string& what) {
    std::fprintf(stderr, "window soak: seed %ld, event %ld: %s\nthe last events:\n", options_.seed,
                 event_, what.c_str());
    for (const std::string& line : recent_) {
      std::fprintf(stderr, "  %s\n", line.c_str());
    }
    return 1;
  }

  // Lets the computer's turn end, queued and replayed input run, and closes a menu left open.
  void settle() {
    if (!vombel::testing_support::turnOver(window_)) turnStuck_ = true;
    for (int i = 0; i < 3; ++i) {
      QCoreApplication::processEvents();
    }
    while (QWidget* popup = QApplication::activePopupWidget()) {
      popup->close();
    }
    QCoreApplication::processEvents();
  }

  // The offscreen platform has no window manager to give the window back its focus after a box,
  // and the shortcuts need it.
  void activate() {
    if (window_->isActiveWindow()) return;
    window_->activateWindow();
    if (!QTest::qWaitFor([this] { return window_->isActiveWindow(); }, 1000)) inactive_ = true;
  }

  QWidget* widget(const char* name) { return namedChild<QWidget>(window_, name); }

  void click(QWidget* target, QPoint at = {}) {
    if (!target->isVisible()) return;  // the compact layout hides the controls below the board
    QTest::mouseClick(target, Qt::LeftButton, {}, at.isNull() ? target->rect().center() : at);
  }
  void clickSquare(int a) { click(squareControl(window_, a)); }

  // A move is played by the window: count the computer's answers by the move number.
  void clickMove(const vombel::checks::ClickPair& move) {
    note("move " + std::to_string(move.from) + "-" + std::to_string(move.to));
    const float before = vombel::moveNumber;
    clickSquare(move.from);
    clickSquare(move.to);
    if (!vombel::testing_support::turnOver(window_)) turnStuck_ = true;
    if (vombel::moveNumber > before + 1) ++computerMoves_;
  }

  void triggerByMenu(QMenu* menu, QAction* action) {
    QMenuBar* bar = window_->menuBar();
    click(bar, bar->actionGeometry(menu->menuAction()).center());
    if (!menu->isVisible()) return;
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
  }

  void randomEvent() {
    switch (pick(20)) {
      case 0:
      case 1:
      case 2:
      case 3:
      case 4:
      case 5: {
        const auto moves = vombel::checks::legalClickPairs();
        if (vombel::boardsu.value == 0 && !moves.empty()) {
          clickMove(moves[static_cast<std::size_t>(pick(static_cast<int>(moves.size())))]);
          break;
        }
        [[fallthrough]];
      }
      case 6: {
        const int a = pick(64);
        note("click square " + std::to_string(a));
        clickSquare(a);
        break;
      }
      case 7: {
        static constexpr Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right,   Qt::Key_Up,
                                           Qt::Key_Down, Qt::Key_Space,   Qt::Key_Return,
                                           Qt::Key_Tab,  Qt::Key_Backtab, Qt::Key_Escape};
        const Qt::Key key = keys[pick(static_cast<int>(std::size(keys)))];
        note("key " + QKeySequence(key).toString().toStdString());
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr ? focus : window_, key);
        break;
      }
      case 8:
        note("force");
        click(widget("force"));
        break;
      case 9: {
        const char* level = pick(2) == 0 ? "easy" : "difficult";
        note(level);
        click(widget(level), QPoint(6, 8));
        break;
      }
      case 10:
        note("set-up");
        click(widget("boardsu"), QPoint(6, widget("boardsu")->height() / 2));
        break;
      case 11: {
        auto* historia = namedChild<QScrollBar>(window_, "historia");
        const bool left = pick(2) == 0;
        note(left ? "scroll left" : "scroll right");
        click(historia, QPoint(left ? 4 : historia->width() - 4, historia->height() / 2));
        break;
      }
      case 12:
        note("information");
        click(widget("info"));
        break;
      case 13:
      case 14: {
        QList<std::pair<QMenu*, QAction*>> items;
        for (QMenu* menu : window_->menuBar()->findChildren<QMenu*>()) {
          for (QAction* action : menu->actions()) {
            if (!action->isSeparator() && action->objectName() != QLatin1String("salir")) {
              items.append({menu, action});
            }
          }
        }
        const auto [menu, action] = items[pick(static_cast<int>(items.size()))];
        note("menu " + action->objectName().toStdString());
        triggerByMenu(menu, action);
        break;
      }
      case 15:
      case 16: {
        static constexpr Qt::Key keys[] = {Qt::Key_N, Qt::Key_O,    Qt::Key_S,    Qt::Key_A,
                                           Qt::Key_0, Qt::Key_Plus, Qt::Key_Minus};
        const Qt::Key key = keys[pick(static_cast<int>(std::size(keys)))];
        note("shortcut Ctrl+" + QKeySequence(key).toString().toStdString());
        QTest::keyClick(window_, key, Qt::ControlModifier);
        break;
      }
      default:
        plantAndOpen();
        break;
    }
  }

  // A saved game at juego.vmb, valid or damaged in one of several ways, then Game > Open.
  void plantAndOpen() {
    const fs::path target = options_.dir / "juego.vmb";
    std::error_code ignored;
    fs::remove_all(target, ignored);
    static const std::vector<fs::path> games = [] {
      std::vector<fs::path> found;
      for (const char* folder : {BENCH_POSITIONS_DIR, BENCH_POSITIONS_DIR "/crowded"}) {
        for (const auto& entry : fs::directory_iterator(folder)) {
          if (entry.path().extension() == ".vmb") found.push_back(entry.path());
        }
      }
      std::sort(found.begin(), found.end());
      return found;
    }();
    const fs::path& source = games[static_cast<std::size_t>(pick(static_cast<int>(games.size())))];
    std::string text = vombel::testing_support::readFile(source);
    std::string kind;
    switch (pick(10)) {
      case 0:
        kind = "truncated";
        text.resize(static_cast<std::size_t>(pick(static_cast<int>(text.size()))));
        break;
      case 1:
        kind = "byte changed";
        text[static_cast<std::size_t>(pick(static_cast<int>(text.size())))] =
            static_cast<char>(pick(256));
        break;
      case 2:
        kind = "random bytes";
        for (char& ch : text) {
          ch = static_cast<char>(pick(256));
        }
        break;
      case 3:
        kind = "counter out of range";
        text.replace(0, text.find('\n') + 1, vombel::testing_support::numberLine(9999));
        break;
      case 4:
        kind = "a folder";
        break;
      case 5:
        kind = "a FIFO";
        break;
      default:
        kind = "valid";
        break;
    }
    note("open " + source.filename().string() + ", " + kind);
    if (kind == "a folder") {
      fs::create_directory(target, ignored);
    } else if (kind == "a FIFO") {
      ::mkfifo(target.c_str(), 0600);
    } else {
      vombel::testing_support::writeFile(target, text);
    }
    ++opened_;
    if (kind != "valid") ++damaged_;
    QTest::keyClick(window_, Qt::Key_O, Qt::ControlModifier);
  }

  // A crowded position at Difficult: the computer thinks for seconds, and random input comes in.
  void longTurn() {
    ++longTurns_;
    note("long turn");
    const fs::path target = options_.dir / "juego.vmb";
    std::error_code ignored;
    fs::remove_all(target, ignored);
    fs::copy_file(kLongTurn, target, ignored);
    QTest::keyClick(window_, Qt::Key_O, Qt::ControlModifier);
    settle();
    activate();
    if (namedChild<QCheckBox>(window_, "boardsu")->isChecked()) click(widget("boardsu"));
    if (!widget("force")->isVisible()) click(widget("info"));  // back to the full layout
    click(widget("difficult"), QPoint(6, 8));
    const auto started = std::chrono::steady_clock::now();
    click(widget("force"));
    if (!vombel::testing_support::turnOver(window_)) turnStuck_ = true;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    longestTurn_ = std::max(longestTurn_, seconds);
    ++computerMoves_;
  }

  // One piece of input during a turn, which the window must drop.
  void inputDuringTurn() {
    ++inputsDuringTurns_;
    switch (pick(6)) {
      case 0:
        clickSquare(pick(64));
        break;
      case 1:
        click(widget(pick(2) == 0 ? "force" : "boardsu"));
        break;
      case 2:
        QTest::keyClick(window_, pick(2) == 0 ? Qt::Key_N : Qt::Key_O, Qt::ControlModifier);
        break;
      case 3:
        QTest::keyClick(window_, Qt::Key_G, Qt::AltModifier);  // the Game menu, only Exit live
        break;
      case 4:
        if (QWidget* popup = QApplication::activePopupWidget()) {
          QTest::keyClick(popup, Qt::Key_Escape);
        }
        break;
      default:
        click(widget("easy"), QPoint(6, 8));
        break;
    }
  }

  // What the window shows against the game's state, and nothing left of a turn.
  std::string check() {
    if (std::string broken = vombel::checks::brokenInvariant(); !broken.empty()) return broken;
    for (int a = 0; a < 64; ++a) {
      const vombel::Square* square = squareControl(window_, a);
      if (square->shownPicture() != vombel::c[a].picture ||
          square->shownAppearance() != vombel::c[a].appearance) {
        return "square " + std::to_string(a) + " does not show the game's state";
      }
    }
    if (namedChild<QLabel>(window_, "lbl_jugada")->text() !=
        QString::fromUtf8(vombel::lbl_jugada.caption)) {
      return "the move number shown is not the game's";
    }
    if (window_->centralWidget()->cursor().shape() == Qt::BusyCursor) {
      return "the busy cursor stayed after the turn";
    }
    for (const char* name : {"nuevo", "open", "guardar", "acerca"}) {
      if (!window_->findChild<QAction*>(QString::fromUtf8(name))->isEnabled()) {
        return std::string(name) + " stayed greyed after the turn";
      }
    }
    if (QApplication::activeModalWidget() != nullptr) return "a box stayed open";
    if (inactive_) return "the window cannot be activated";
    if (turnStuck_) return "the computer's turn did not end within a minute";
    return {};
  }

  // Save, New, Open: the same game back, and saved again byte for byte the same.
  std::string roundTrip() {
    note("final save, new, open, save");
    const fs::path target = options_.dir / "juego.vmb";
    std::error_code ignored;
    fs::remove_all(target, ignored);
    const auto trigger = [this](const char* name) {
      activate();
      window_->findChild<QAction*>(QString::fromUtf8(name))->trigger();
      settle();
    };
    trigger("guardar");
    const std::string saved = vombel::testing_support::readFile(target);
    if (saved.empty()) return "Save wrote nothing";
    // Save writes the game up to the position shown, which Open shows as the last one.
    const int n = vombel::currentMove();
    const auto before = vombel::checks::takeSnapshot();
    trigger("nuevo");
    trigger("open");
    if (vombel::currentMove() != n || vombel::historia.value != n || vombel::historia.max != n) {
      return "after Open the game has " + std::to_string(vombel::historia.max) +
             " moves, not the " + std::to_string(n) + " saved";
    }
    for (int i = 0; i <= n; ++i) {
      if (std::memcmp(&before->gameHistory[i], &vombel::gameHistory[i], sizeof(vombel::Board)) !=
          0) {
        return "history entry " + std::to_string(i) + " differs after Open";
      }
    }
    if (std::memcmp(&vombel::board, &vombel::gameHistory[n], sizeof(vombel::Board)) != 0) {
      return "after Open the board is not the last position saved";
    }
    fs::remove(target, ignored);
    trigger("guardar");
    if (vombel::testing_support::readFile(target) != saved) return "saved again, the file differs";
    return check();
  }

  Tablero* window_;
  Options options_;
  std::mt19937 random_;
  std::FILE* log_ = nullptr;
  std::deque<std::string> recent_;
  // Every box is answered with OK as soon as it is up, as a user in a hurry would; Export Game
  // writes export.pgn in the soak's folder.
  vombel::testing_support::ModalCloser boxes_;
  long event_ = 0;
  bool inactive_ = false;   // the window could not be made active again
  bool turnStuck_ = false;  // a computer turn outlasted the wait for it
  int longTurns_ = 0;
  double longestTurn_ = 0;
  int computerMoves_ = 0;
  int inputsDuringTurns_ = 0;
  int opened_ = 0;
  int damaged_ = 0;
};

}  // namespace

int main(int argc, char* argv[]) {
  Options options;
  std::string dir = ".";
  if (!vombel::testing_support::readSoakOptions(argc, argv,
                                                {{"--events", &options.events},
                                                 {"--long-turns", &options.longTurns},
                                                 {"--seed", &options.seed}},
                                                dir)
           .empty() ||
      options.events == 0) {
    std::fputs("usage: vombel-window-soak [--events N] [--long-turns N] [--seed S] [--dir DIR]\n",
               stderr);
    return 2;
  }
  std::error_code error;
  fs::create_directories(dir, error);
  options.dir = fs::absolute(dir);
  // The window's remembered size goes to the soak's folder, not the user's settings.
  qputenv("XDG_CONFIG_HOME", QByteArray((options.dir / "config").c_str()));
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  vombel::prepareApplication(app);
  if (!QDir::setCurrent(QString::fromStdString(options.dir.string()))) return 2;
  Tablero window;
  window.show();
  if (!QTest::qWaitForWindowActive(&window)) return 2;
  Soak soak(&window, options);
  return soak.run();
}
