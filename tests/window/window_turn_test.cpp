// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window during the computer's turn and when a file cannot be used: the computer thinks on
// a thread of its own while the window stays live, input during a turn is dropped, input waiting
// before it is played after it, the menu bar opens with only Exit live, Exit and the close button
// end the program in the middle of a long turn or with a message box up, failures show a warning
// box. Runs on Qt's offscreen platform.
//
// Ending the program is watched from outside: the test starts this program again with one of the
// scenarios of main(), and the child reports on standard output. The scenarios that need X11 (the
// close button with a box up, the window destroyed by another client) run the child on a private
// Xvfb server, and are skipped where Xvfb is missing.
#include <fcntl.h>
#include <xcb/xcb.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "files/end_signals.h"
#include "game/last_game.h"
#include "game/saved_game.h"
#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "search/search_threads.h"
#include "state/state.h"
#include "tests/support/window_support.h"
#include "window/window.h"

using vombel::Square;
using vombel::Tablero;
using vombel::testing_support::ModalCloser;
using vombel::testing_support::turnOver;

namespace {

// Takes seconds at Difficult: queens on both sides.
const char* const kCrowded = BENCH_POSITIONS_DIR "/crowded/queens_both_sides.vmb";

long long nowNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

template <typename T>
T* child(QWidget* window, const char* name) {
  return vombel::testing_support::namedChild<T>(window, name);
}

Square* square(QWidget* window, int a) {
  return vombel::testing_support::squareControl(window, a);
}

// Runs the child's event loop to its end, then prints "returned <ns> kept=<0|1>", kept=1 when
// the game is still at the position it had before (no half-move recorded, the board as
// recorded). "still running" means the program went on.
int runToTheEnd(int movesBefore) {
  QTimer::singleShot(10000, [] {
    std::printf("still running\n");
    std::fflush(stdout);
    QCoreApplication::exit(1);
  });
  const int status = QApplication::exec();
  const int n = vombel::currentMove();
  const bool kept = n == movesBefore && std::memcmp(&vombel::board, &vombel::gameHistory[n],
                                                    sizeof(vombel::Board)) == 0;
  std::printf("returned %lld kept=%d\n", nowNanoseconds(), kept ? 1 : 0);
  std::fflush(stdout);
  return status;
}

// How the child asks to end the program in the middle of a long turn.
enum class Ending { CloseButton, ExitShortcut, MenuClick, MenuMnemonic, Signal };

// Opens the Game menu by a click on the menu bar or by Alt+G, prints "menu open=<0|1>
// enabled=<names of the live items>", and clicks Exit in it.
void exitFromTheMenu(Tablero* window, bool byMnemonic) {
  auto* game = window->findChild<QMenu*>(QStringLiteral("File"));
  if (byMnemonic) {
    QTest::keyClick(window, Qt::Key_G, Qt::AltModifier);
  } else {
    QMenuBar* bar = window->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(game->menuAction()).center());
  }
  QStringList enabled;
  for (QAction* action : game->actions()) {
    if (!action->isSeparator() && action->isEnabled()) enabled << action->objectName();
  }
  std::printf("menu open=%d enabled=%s\n", game->isVisible() ? 1 : 0,
              qPrintable(enabled.join(',')));
  std::fflush(stdout);
  QAction* exit = window->findChild<QAction*>(QStringLiteral("salir"));
  QTest::mouseClick(game, Qt::LeftButton, {}, game->actionGeometry(exit).center());
}

// A long turn that the child ends after a second and a half. Prints "close <ns> clock=<player's
// clock> busy=<busy cursor> greyed=<New greyed>" before the request.
int closeDuringTurn(Ending how) {
  // A logout's SIGTERM: the game is kept in the child's folder, caught as the game catches it.
  if (how == Ending::Signal) {
    vombel::keepLastGameIn(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC), ".");
    if (!vombel::catchEndingSignals()) return 3;
  }
  // The search threads stop as the single search does: half of the scenarios search with two, as
  // the game does on a machine with two cores.
  if (how == Ending::ExitShortcut || how == Ending::MenuMnemonic) vombel::setSearchThreads(2);
  Tablero window;
  window.show();
  if (!vombel::loadGameFile(kCrowded)) return 3;
  vombel::selectLevel(true);
  vombel::noteGameUnkept();  // as a game played up to here would be
  window.syncFromState();
  const int movesBefore = vombel::currentMove();
  const long long started = nowNanoseconds();
  auto* progress = child<QProgressBar>(&window, "Progreso");
  bool asked = false;
  QObject::connect(progress, &QProgressBar::valueChanged, [&](int value) {
    if (asked || value < 2 || nowNanoseconds() - started < 1'500'000'000) return;
    asked = true;
    const bool busy = window.centralWidget()->cursor().shape() == Qt::BusyCursor;
    const bool greyed = !window.findChild<QAction*>(QStringLiteral("nuevo"))->isEnabled();
    std::printf("close %lld clock=%s busy=%d greyed=%d\n", nowNanoseconds(),
                qPrintable(child<QLabel>(&window, "tiempous")->text()), busy ? 1 : 0,
                greyed ? 1 : 0);
    std::fflush(stdout);
    switch (how) {
      case Ending::CloseButton:
        window.close();  // what the close button asks
        break;
      case Ending::ExitShortcut:
        QTest::keyClick(&window, Qt::Key_X, Qt::ControlModifier);
        break;
      case Ending::MenuClick:
      case Ending::MenuMnemonic:
        exitFromTheMenu(&window, how == Ending::MenuMnemonic);
        break;
      case Ending::Signal:
        ::kill(::getpid(), SIGTERM);
        break;
    }
  });
  QTest::mouseClick(child<QPushButton>(&window, "force"), Qt::LeftButton);
  const int status = runToTheEnd(movesBefore);
  if (how != Ending::Signal) return status;
  // Prints "last game <moves> of <moves before the turn>", then ends as SIGTERM would have.
  const bool read = static_cast<bool>(vombel::loadGameFile(vombel::kLastGameFileName));
  std::printf("last game %d of %d\n", read ? vombel::currentMove() : -1, movesBefore);
  std::fflush(stdout);
  if (vombel::endingSignal() != 0) vombel::endAsSignalled();
  return status;
}

// A second connection to the child's X server, as another program would open.
xcb_connection_t* otherClient() {
  static xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  return connection;
}

xcb_atom_t atom(const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      otherClient(),
      xcb_intern_atom(otherClient(), 0, static_cast<std::uint16_t>(std::strlen(name)), name),
      nullptr);
  const xcb_atom_t value = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return value;
}

// What a window manager's close button sends.
void sendDeleteWindow(QWidget* window) {
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = static_cast<xcb_window_t>(window->winId());
  message.type = atom("WM_PROTOCOLS");
  message.data.data32[0] = atom("WM_DELETE_WINDOW");
  message.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(otherClient(), 0, message.window, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char*>(&message));
  xcb_flush(otherClient());
}

// A message box over the window (About, or the computer's resignation after a turn), and the
// user ends the program from it with Ctrl+X or the window's close button. Prints "box <text>".
int endWithABoxUp(bool resign, bool byCloseButton) {
  Tablero window;
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 3;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    // Ctrl+X reaches the box's Exit once the box is the active window.
    if (box == nullptr || !box->isVisible() || (!byCloseButton && !box->isActiveWindow())) return;
    watch.stop();
    std::printf("box %s\n", qPrintable(box->text().left(40)));
    std::fflush(stdout);
    if (byCloseButton) {
      sendDeleteWindow(&window);
    } else {
      QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
    }
    QTimer::singleShot(5000, box, &QMessageBox::accept);  // the program went on: OK ends the box
  });
  watch.start(50);
  if (resign && !vombel::loadGameFile(BENCH_POSITIONS_DIR "/resignation.vmb")) return 3;
  window.syncFromState();
  const int movesBefore = vombel::currentMove();
  QTimer::singleShot(0, &window, [&] {
    if (resign) {
      QTest::mouseClick(child<QPushButton>(&window, "force"), Qt::LeftButton);
    } else {
      window.findChild<QAction*>(QStringLiteral("acerca"))->trigger();
    }
  });
  return runToTheEnd(movesBefore);
}

// The window destroyed by another X client, the program idle.
int destroyedFromOutside() {
  Tablero window;
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 3;
  QTimer::singleShot(200, &window, [&window] {
    xcb_destroy_window(otherClient(), static_cast<xcb_window_t>(window.winId()));
    xcb_flush(otherClient());
  });
  return runToTheEnd(vombel::currentMove());
}

// Counts the paint events a widget receives while the computer's turn is under way.
class PaintsDuringTurn : public QObject {
 public:
  PaintsDuringTurn(QWidget* widget, const Tablero* window) : window_(window) {
    widget->installEventFilter(this);
  }
  int count = 0;

 protected:
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() == QEvent::Paint && window_->turnUnderWay()) ++count;
    return false;
  }

 private:
  const Tablero* window_;
};

}  // namespace

class WindowTurnTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<Tablero> window_;
  QTemporaryDir scratch_;

  QString text(const char* label) { return child<QLabel>(window_.get(), label)->text(); }
  // The offscreen platform has no window manager to give the window back its focus after a box.
  void reactivate() {
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  }
  void click(int a) { QTest::mouseClick(square(window_.get(), a), Qt::LeftButton, {}, {12, 12}); }

  QProcess xvfb_;
  QString display_;  // the private X server's, once started

  // Starts a private Xvfb for the X11 scenarios; false where there is none.
  bool startXServer() {
    if (!display_.isEmpty()) return true;
    xvfb_.start(QStringLiteral("Xvfb"),
                {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                 QStringLiteral("tcp"), QStringLiteral("-noreset")});
    if (!xvfb_.waitForStarted(10000)) return false;
    while (!xvfb_.canReadLine() && xvfb_.waitForReadyRead(10000)) {
    }
    const QString number = QString::fromUtf8(xvfb_.readLine()).trimmed();
    if (number.isEmpty()) return false;
    display_ = ":" + number;
    return true;
  }

  // What a child printed, when it ended, its exit status (-1 when it did not end or could not
  // start) and whether the empty folder it ran in stayed empty.
  struct ChildRun {
    QString out;
    long long endedAt = 0;
    int exitCode = -1;
    int signal = 0;  // the signal that ended it, 0 when it exited
    bool folderLeftEmpty = false;
  };

  // Runs this program as the child of the named scenario in an empty folder, on the private X
  // server when x11 is set.
  ChildRun runChild(const char* scenario, bool x11 = false) {
    QTemporaryDir folder;
    if (!folder.isValid()) return {};
    QProcess process;
    process.setWorkingDirectory(folder.path());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList arguments{QString::fromUtf8(scenario)};
    if (x11) {
      QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
      environment.insert(QStringLiteral("DISPLAY"), display_);
      // Under the sanitizers: libxkbcommon-x11, which Qt's X11 platform loads, duplicates strings
      // from the server's replies with strndup past their end, which strict string checks report.
      const QString asan = environment.value(QStringLiteral("ASAN_OPTIONS"));
      if (!asan.isEmpty()) {
        environment.insert(QStringLiteral("ASAN_OPTIONS"), asan + ":strict_string_checks=0");
      }
      process.setProcessEnvironment(environment);
      arguments << QStringLiteral("-platform") << QStringLiteral("xcb");
    }
    process.start(QCoreApplication::applicationFilePath(), arguments);
    // Generous: under the sanitizers the turn runs many times slower, and is abandoned anyway.
    const bool finished = process.waitForFinished(180000);
    ChildRun run;
    run.endedAt = nowNanoseconds();
    if (!finished) process.kill();
    run.exitCode = finished ? process.exitCode() : -1;
    if (finished && process.exitStatus() == QProcess::CrashExit)
      std::swap(run.signal, run.exitCode);
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.folderLeftEmpty =
        QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty();
    return run;
  }

  // The child's loop returned within 200 ms of the request printed as "close <ns>", with the game
  // as it was before the turn, and the process ended with status 0 soon after.
  void checkEndedInTheTurn(const char* scenario) {
    const auto [out, endedAt, exitCode, signal, folderLeftEmpty] = runChild(scenario);
    const QRegularExpression close(
        QStringLiteral("close (\\d+) clock=(\\d+) busy=(\\d) greyed=(\\d)\n"
                       "returned (\\d+) kept=1\n"));
    const QRegularExpressionMatch closing = close.match(out);
    QVERIFY2(closing.hasMatch(), qPrintable(out));
    QCOMPARE(signal, 0);
    QCOMPARE(exitCode, 0);
    const long long closedAt = closing.captured(1).toLongLong();
    const long long returned = closing.captured(5).toLongLong() - closedAt;
    QVERIFY2(returned < 200'000'000LL, qPrintable(QString::number(returned)));
    QVERIFY2(endedAt - closedAt < 1'000'000'000LL, qPrintable(QString::number(endedAt - closedAt)));
    QCOMPARE(closing.captured(2), QStringLiteral("0"));  // no tick counted during the turn
    QCOMPARE(closing.captured(3), QStringLiteral("1"));  // the busy cursor shows
    QCOMPARE(closing.captured(4), QStringLiteral("1"));  // New is greyed, Exit is not
    QVERIFY(folderLeftEmpty);
  }

 private slots:
  void initTestCase() {
    vombel::testing_support::useScratchSettings();
    vombel::prepareApplication(*qApp);
    QVERIFY(scratch_.isValid());
    QVERIFY(QDir::setCurrent(scratch_.path()));
  }

  void init() {
    QDir folder(scratch_.path());
    for (const QString& name : folder.entryList(QDir::NoDotAndDotDot | QDir::AllEntries)) {
      QVERIFY(QFile::remove(folder.filePath(name)) ||
              QDir(folder.filePath(name)).removeRecursively());
    }
    window_ = std::make_unique<Tablero>();
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  }

  void cleanup() { window_.reset(); }

  void closeButtonEndsALongTurnAtOnce() { checkEndedInTheTurn("--close-during-turn"); }

  // SIGTERM during a long turn: the game as it was before the turn is kept as the last game, and
  // the program ends as the signal would have.
  void signalDuringATurnKeepsTheGameBeforeIt() {
    const ChildRun run = runChild("--signal-during-turn");
    const QRegularExpressionMatch kept =
        QRegularExpression(QStringLiteral("kept=1\nlast game (\\d+) of (\\d+)\n")).match(run.out);
    QVERIFY2(kept.hasMatch(), qPrintable(run.out));
    QCOMPARE(kept.captured(1), kept.captured(2));
    QCOMPARE(run.signal, SIGTERM);
  }

  // Exit keeps a game with unsaved moves as the last game; the next start's Resume Last Game,
  // live only when there is one, brings it back.
  void exitKeepsTheGameAndResumeBringsItBack() {
    vombel::keepLastGameIn(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC), ".");
    const auto resume = [this] { return window_->findChild<QAction*>(QStringLiteral("resume")); };
    QVERIFY(!resume()->isEnabled());
    click(52);
    click(36);
    QVERIFY(turnOver(window_.get()));
    QCOMPARE(text("lbl_jugada"), QStringLiteral("2"));
    const int e4 = square(window_.get(), 36)->shownPicture();
    window_->findChild<QAction*>(QStringLiteral("salir"))->trigger();
    QVERIFY(QFile::exists(QStringLiteral("last-game.vmb")));
    QVERIFY(!QFile::exists(QStringLiteral("juego.vmb")));

    window_ = std::make_unique<Tablero>();
    window_->show();
    QCOMPARE(text("lbl_jugada"), QStringLiteral("0"));
    QVERIFY(resume()->isEnabled());
    resume()->trigger();
    QCOMPARE(text("lbl_jugada"), QStringLiteral("2"));
    QCOMPARE(square(window_.get(), 36)->shownPicture(), e4);
    vombel::keepLastGameIn(-1, "");
  }
  void exitShortcutEndsALongTurnAtOnce() { checkEndedInTheTurn("--exit-during-turn"); }

  void cleanupTestCase() {
    if (xvfb_.state() != QProcess::NotRunning) {
      xvfb_.kill();
      xvfb_.waitForFinished();
    }
  }

  // During a long turn the Game menu opens by a click on it or by Alt+G, with only Exit live, and
  // Exit chosen in it ends the program at once.
  void gameMenuOpensDuringATurnAndItsExitEndsIt_data() {
    QTest::addColumn<QString>("scenario");
    QTest::newRow("click") << QStringLiteral("--menu-exit-during-turn");
    QTest::newRow("Alt+G") << QStringLiteral("--alt-g-exit-during-turn");
  }
  void gameMenuOpensDuringATurnAndItsExitEndsIt() {
    QFETCH(QString, scenario);
    const ChildRun run = runChild(qPrintable(scenario));
    const QString& out = run.out;
    QVERIFY2(out.contains("menu open=1 enabled=salir\n"), qPrintable(out));
    QVERIFY2(out.contains("returned ") && out.contains("kept=1"), qPrintable(out));
    QCOMPARE(run.exitCode, 0);
  }

  // Ctrl+X ends the program while a message box is up, as the close button does on X11.
  void exitWithABoxUp_data() {
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<bool>("x11");
    QTest::newRow("Ctrl+X, About") << QStringLiteral("--ctrl-x-with-about") << false;
    QTest::newRow("Ctrl+X, resignation") << QStringLiteral("--ctrl-x-with-resignation") << false;
    QTest::newRow("close, About") << QStringLiteral("--close-with-about") << true;
    QTest::newRow("close, resignation") << QStringLiteral("--close-with-resignation") << true;
  }
  void exitWithABoxUp() {
    QFETCH(QString, scenario);
    QFETCH(bool, x11);
    if (x11 && !startXServer()) QSKIP("no Xvfb");
    const ChildRun run = runChild(qPrintable(scenario), x11);
    const QString& out = run.out;
    QVERIFY2(out.contains(scenario.endsWith("about") ? "box Uses a" : "box Computer resignes"),
             qPrintable(out));
    QVERIFY2(out.contains("returned ") && !out.contains("still running"), qPrintable(out));
    QCOMPARE(run.exitCode, 0);
  }

  // A window destroyed by another X client (xdotool windowclose) ends the program.
  void destroyedWindowEndsTheProgram() {
    if (!startXServer()) QSKIP("no Xvfb");
    const ChildRun run = runChild("--destroyed", true);
    const QString& out = run.out;
    QVERIFY2(out.contains("returned ") && !out.contains("still running"), qPrintable(out));
    QCOMPARE(run.exitCode, 0);
  }

  // A long turn (queens on both sides, Difficult). The window's own thread stays live: a timer
  // of its fires on time and the progress bar fills. The busy cursor shows and every menu
  // item but Exit is greyed. The player's clicks on a piece, "->", the level, set-up and the
  // scroll bar, New, Save and Zoom In are dropped, then and afterwards, and the player's clock
  // stands still; after the turn all is as before but the computer's move.
  void aLongTurnKeepsTheWindowLiveAndItsInputOut() {
    Tablero* w = window_.get();
    QVERIFY(vombel::loadGameFile(kCrowded));
    vombel::selectLevel(true);
    w->syncFromState();
    const int moves = text("lbl_jugada").toInt();
    const QString clock = text("tiempous");
    int piece = 0;  // a square of the player's: even pictures up to 24 are White's
    while (square(w, piece)->shownPicture() % 2 != 0 || square(w, piece)->shownPicture() > 24)
      ++piece;
    auto* progress = child<QProgressBar>(w, "Progreso");
    const PaintsDuringTurn progressPaints(progress, w);
    int highest = 0;
    connect(progress, &QProgressBar::valueChanged, this,
            [&](int value) { highest = std::max(highest, value); });

    QTest::mouseClick(child<QPushButton>(w, "force"), Qt::LeftButton);
    QVERIFY(w->turnUnderWay());
    QElapsedTimer elapsed;
    elapsed.start();
    qint64 last = 0;
    qint64 latest = 0;  // the latest a tick came after its due time, in milliseconds
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    connect(&ticks, &QTimer::timeout, this, [&] {
      latest = std::max(latest, elapsed.elapsed() - last - 50);
      last = elapsed.elapsed();
    });
    ticks.start(50);
    QTest::qWait(300);
    QVERIFY(w->turnUnderWay());
    QCOMPARE(w->centralWidget()->cursor().shape(), Qt::BusyCursor);
    QVERIFY(!w->findChild<QAction*>(QStringLiteral("nuevo"))->isEnabled());
    QVERIFY(w->findChild<QAction*>(QStringLiteral("salir"))->isEnabled());

    click(piece);
    QTest::mouseClick(child<QPushButton>(w, "force"), Qt::LeftButton);
    QTest::mouseClick(child<QRadioButton>(w, "easy"), Qt::LeftButton, {}, QPoint(6, 8));
    auto* boardsu = child<QCheckBox>(w, "boardsu");
    QTest::mouseClick(boardsu, Qt::LeftButton, {}, QPoint(6, boardsu->height() / 2));
    auto* historia = child<QScrollBar>(w, "historia");
    QTest::mouseClick(historia, Qt::LeftButton, {}, QPoint(4, historia->height() / 2));
    for (Qt::Key key : {Qt::Key_N, Qt::Key_S, Qt::Key_Plus})
      QTest::keyClick(w, key, Qt::ControlModifier);
    QTest::qWait(1200);  // a tick of the player's clock is due
    QVERIFY(w->turnUnderWay());
    QVERIFY2(latest < 200, qPrintable(QString::number(latest)));

    QVERIFY(turnOver(w));
    QVERIFY(progressPaints.count > 1);
    QVERIFY(highest > 1);  // the bar filled
    QTest::qWait(50);      // anything queued would be played now
    QCOMPARE(text("lbl_jugada").toInt(), moves + 1);
    QCOMPARE(text("tiempous"), clock);
    QCOMPARE(vombel::clickState, 0);
    QCOMPARE(square(w, piece)->shownAppearance(), 0);
    QVERIFY(child<QRadioButton>(w, "difficult")->isChecked());
    QVERIFY(!boardsu->isChecked());
    QCOMPARE(historia->value(), moves + 1);
    QVERIFY(!QFile::exists(QStringLiteral("juego.vmb")));
    QCOMPARE(w->scale(), 1.0);
    QCOMPARE(progress->value(), 0);
    QVERIFY(w->findChild<QAction*>(QStringLiteral("nuevo"))->isEnabled());
    QCOMPARE(w->centralWidget()->cursor().shape(), Qt::ArrowCursor);
    // After the turn the board takes clicks again.
    click(piece);
    QCOMPARE(square(w, piece)->shownAppearance(), 1);
  }

  // A click and a Ctrl+S that were already waiting when the turn began are played after it.
  void inputWaitingBeforeATurnIsPlayedAfterIt() {
    Square* e2 = square(window_.get(), 52);
    const QPointF at(12, 12);
    const QPointF global = e2->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QCoreApplication::postEvent(
          e2, new QMouseEvent(type, at, global, Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier));
      QCoreApplication::postEvent(
          window_.get(),
          new QKeyEvent(type == QEvent::MouseButtonPress ? QEvent::KeyPress : QEvent::KeyRelease,
                        Qt::Key_S, Qt::ControlModifier));
    }
    // The force button's click starts the turn before the posted input is delivered.
    QTest::mouseClick(child<QPushButton>(window_.get(), "force"), Qt::LeftButton);
    QVERIFY(turnOver(window_.get()));
    QCOMPARE(text("lbl_jugada"), QStringLiteral("1"));
    QTRY_COMPARE(vombel::clickState, 1);
    QCOMPARE(vombel::fromSquare, 52);
    QCOMPARE(e2->shownAppearance(), 1);
    // Saved after the computer's move: the file holds it.
    QTRY_VERIFY(QFile::exists(QStringLiteral("juego.vmb")));
    QVERIFY(vombel::loadGameFile("juego.vmb"));
    QCOMPARE(vombel::currentMove(), 1);
  }

  // A press that was waiting when the turn began, its release not yet come, is not played after
  // it: "->" would stay pressed, and the scroll bar's arrow would step the history by itself.
  void pressWaitingBeforeATurnWithoutItsReleaseIsDropped() {
    auto* force = child<QPushButton>(window_.get(), "force");
    auto* historia = child<QScrollBar>(window_.get(), "historia");
    for (QWidget* target : {static_cast<QWidget*>(force), static_cast<QWidget*>(historia)}) {
      const QPointF at(4, target->height() / 2.0);
      QCoreApplication::postEvent(
          target, new QMouseEvent(QEvent::MouseButtonPress, at, target->mapToGlobal(at),
                                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    }
    QTest::mouseClick(force, Qt::LeftButton);
    QVERIFY(turnOver(window_.get()));
    QCOMPARE(text("lbl_jugada"), QStringLiteral("1"));
    QTest::qWait(600);  // past the scroll bar's auto-repeat delay
    QVERIFY(!force->isDown());
    QCOMPARE(historia->value(), 1);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("1"));
  }

  void fileFailuresAreToldInAWarningBox() {
    QVERIFY(QDir().mkdir(QStringLiteral("juego.vmb")));  // neither saved over nor opened
    ModalCloser closer;
    click(52);  // a selection, which the failed Open keeps
    QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);
    reactivate();
    QTest::keyClick(window_.get(), Qt::Key_O, Qt::ControlModifier);
    reactivate();
    QVERIFY2(closer.texts().size() == 2, qPrintable(closer.texts().join(" | ")));
    const QString file = QDir(scratch_.path()).filePath(QStringLiteral("juego.vmb"));
    QVERIFY2(closer.texts()[0].startsWith("The game could not be saved to " + file + ": "),
             qPrintable(closer.texts()[0]));
    QVERIFY2(closer.texts()[1].contains(file + ": not a regular file."),
             qPrintable(closer.texts()[1]));
    for (int i = 0; i < 2; ++i) {
      QCOMPARE(closer.icons()[i], QMessageBox::Warning);
      QCOMPARE(closer.buttons()[i], 1);
    }
    QCOMPARE(vombel::clickState, 1);
    QCOMPARE(square(window_.get(), 52)->shownAppearance(), 1);

    // No file at all: Open stays silent.
    QVERIFY(QDir().rmdir(QStringLiteral("juego.vmb")));
    reactivate();
    QTest::keyClick(window_.get(), Qt::Key_O, Qt::ControlModifier);
    QTest::qWait(30);
    QCOMPARE(closer.texts().size(), 2);
  }
};

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  vombel::prepareApplication(app);
  const std::string_view scenario = argc == 2 ? argv[1] : "";
  if (scenario == "--close-during-turn") return closeDuringTurn(Ending::CloseButton);
  if (scenario == "--exit-during-turn") return closeDuringTurn(Ending::ExitShortcut);
  if (scenario == "--menu-exit-during-turn") return closeDuringTurn(Ending::MenuClick);
  if (scenario == "--alt-g-exit-during-turn") return closeDuringTurn(Ending::MenuMnemonic);
  if (scenario == "--signal-during-turn") return closeDuringTurn(Ending::Signal);
  if (scenario == "--ctrl-x-with-about") return endWithABoxUp(false, false);
  if (scenario == "--ctrl-x-with-resignation") return endWithABoxUp(true, false);
  if (scenario == "--close-with-about") return endWithABoxUp(false, true);
  if (scenario == "--close-with-resignation") return endWithABoxUp(true, true);
  if (scenario == "--destroyed") return destroyedFromOutside();
  WindowTurnTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "window_turn_test.moc"
