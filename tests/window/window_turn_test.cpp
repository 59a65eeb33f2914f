// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window during the computer's turn and when a file cannot be used: input during a turn is
// dropped, input waiting before it is played, Exit and the close button end the program in the
// middle of a long turn, failures show a warning box. Runs on Qt's offscreen platform.
//
// Ending the program is watched from outside: the test starts this program again with
// --close-during-turn or --exit-during-turn, and the child reports on standard output.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "game/saved_game.h"
#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "tests/support/window_support.h"
#include "window/window.h"

using vombel::Square;
using vombel::Tablero;
using vombel::testing_support::ModalCloser;

namespace {

// Takes 13 s at Difficult: queens on both sides.
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

// The child: a long turn that Exit or the close button ends after a second and a half. It prints
// "close <ns> clock=<player's clock> busy=<busy cursor> greyed=<New greyed>" before the request
// and "exit visible=<0|1> <ns>" from the window's exit function; "turn finished" means the turn
// was not abandoned.
Tablero* childWindow = nullptr;

int closeDuringTurn(bool byExitShortcut) {
  auto* window = new Tablero;  // never destroyed: the program ends inside the turn
  childWindow = window;
  window->setExitFunction([](int status) {
    std::printf("exit visible=%d %lld\n", childWindow->isVisible() ? 1 : 0, nowNanoseconds());
    std::fflush(stdout);
    std::_Exit(status);
  });
  window->show();
  if (!vombel::loadGameFile(kCrowded)) return 3;
  vombel::selectLevel(true);
  window->syncFromState(false);
  const long long started = nowNanoseconds();
  auto* progress = child<QProgressBar>(window, "Progreso");
  QObject::connect(progress, &QProgressBar::valueChanged, [=](int value) {
    if (value < 2 || nowNanoseconds() - started < 1'500'000'000) return;
    const bool busy = window->centralWidget()->cursor().shape() == Qt::BusyCursor;
    const bool greyed = !window->findChild<QAction*>(QStringLiteral("nuevo"))->isEnabled();
    std::printf("close %lld clock=%s busy=%d greyed=%d\n", nowNanoseconds(),
                qPrintable(child<QLabel>(window, "tiempous")->text()), busy ? 1 : 0,
                greyed ? 1 : 0);
    std::fflush(stdout);
    if (byExitShortcut) {
      QTest::keyClick(window, Qt::Key_X, Qt::ControlModifier);
    } else {
      window->close();  // what the close button asks
    }
  });
  QTest::mouseClick(child<QPushButton>(window, "force"), Qt::LeftButton);
  std::printf("turn finished\n");
  return 1;
}

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

  // Runs this program as the child of the named scenario in an empty folder; returns its output.
  QString runChild(const char* scenario, long long& endedAt, int& exitCode, QString& folder) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), {QString::fromUtf8(scenario)});
    // Generous: under the sanitizers the turn runs many times slower, and is abandoned anyway.
    const bool finished = process.waitForFinished(180000);
    endedAt = nowNanoseconds();
    if (!finished) process.kill();
    exitCode = finished ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAllStandardOutput());
  }

  void checkEndedInTheTurn(const char* scenario) {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QString path = folder.path();
    long long endedAt = 0;
    int exitCode = 0;
    const QString out = runChild(scenario, endedAt, exitCode, path);
    QVERIFY2(!out.contains("turn finished"), qPrintable(out));
    const QRegularExpression close(
        QStringLiteral("close (\\d+) clock=(\\d+) busy=(\\d) greyed=(\\d)"));
    const QRegularExpressionMatch closing = close.match(out);
    QVERIFY2(closing.hasMatch(), qPrintable(out));
    QVERIFY2(out.contains("exit visible=0"), qPrintable(out));  // hidden before the end
    QCOMPARE(exitCode, 0);
    // Gone within a second of the request, from a turn that had seconds left to run.
    const long long closedAt = closing.captured(1).toLongLong();
    QVERIFY2(endedAt - closedAt < 1'000'000'000LL, qPrintable(QString::number(endedAt - closedAt)));
    QCOMPARE(closing.captured(2), QStringLiteral("0"));  // no tick counted during the turn
    QCOMPARE(closing.captured(3), QStringLiteral("1"));  // the busy cursor shows
    QCOMPARE(closing.captured(4), QStringLiteral("1"));  // New is greyed, Exit is not
    QCOMPARE(QDir(path).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{});
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
  void exitShortcutEndsALongTurnAtOnce() { checkEndedInTheTurn("--exit-during-turn"); }

  // In the middle of a turn (the computer moves first from the start position) the user clicks a
  // legal move, "->", the level, set-up and the scroll bar, and presses New: none of it is
  // played, then or afterwards.
  void inputDuringATurnIsIgnored() {
    Tablero* w = window_.get();
    auto* progress = child<QProgressBar>(w, "Progreso");
    bool clicked = false;
    connect(progress, &QProgressBar::valueChanged, this, [&](int value) {
      if (value != 2 || clicked) return;
      clicked = true;
      click(52);
      click(36);
      QTest::mouseClick(child<QPushButton>(w, "force"), Qt::LeftButton);
      QTest::mouseClick(child<QRadioButton>(w, "easy"), Qt::LeftButton, {}, QPoint(6, 8));
      auto* boardsu = child<QCheckBox>(w, "boardsu");
      QTest::mouseClick(boardsu, Qt::LeftButton, {}, QPoint(6, boardsu->height() / 2));
      auto* historia = child<QScrollBar>(w, "historia");
      QTest::mouseClick(historia, Qt::LeftButton, {}, QPoint(4, historia->height() / 2));
      QTest::keyClick(w, Qt::Key_N, Qt::ControlModifier);
    });
    QTest::mouseClick(child<QPushButton>(w, "force"), Qt::LeftButton);
    QVERIFY(clicked);
    QTest::qWait(50);  // anything queued would be played now
    QCOMPARE(text("lbl_jugada"), QStringLiteral("1"));
    QCOMPARE(vombel::clickState, 0);
    QCOMPARE(square(w, 52)->shownAppearance(), 0);
    QVERIFY(child<QRadioButton>(w, "difficult")->isChecked());
    QVERIFY(!child<QCheckBox>(w, "boardsu")->isChecked());
    QCOMPARE(child<QScrollBar>(w, "historia")->value(), 1);
    QVERIFY(w->findChild<QAction*>(QStringLiteral("nuevo"))->isEnabled());
    QCOMPARE(w->centralWidget()->cursor().shape(), Qt::ArrowCursor);
    // After the turn the board takes clicks again.
    click(52);
    click(36);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("3"));
  }

  // A click that was already waiting when the turn began is played after it, as before.
  void clickWaitingBeforeATurnIsPlayedAfterIt() {
    Square* e2 = square(window_.get(), 52);
    const QPointF at(12, 12);
    const QPointF global = e2->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QCoreApplication::postEvent(
          e2, new QMouseEvent(type, at, global, Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier));
    }
    // The force button's click starts the turn before the posted click is delivered.
    QTest::mouseClick(child<QPushButton>(window_.get(), "force"), Qt::LeftButton);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("1"));
    QTRY_COMPARE(vombel::clickState, 1);
    QCOMPARE(vombel::fromSquare, 52);
    QCOMPARE(e2->shownAppearance(), 1);
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
  if (argc == 2 && std::strcmp(argv[1], "--close-during-turn") == 0) return closeDuringTurn(false);
  if (argc == 2 && std::strcmp(argv[1], "--exit-during-turn") == 0) return closeDuringTurn(true);
  WindowTurnTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "window_turn_test.moc"
