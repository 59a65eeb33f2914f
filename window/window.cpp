// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <utility>

#include "files/end_signals.h"
#include "files/printable.h"
#include "game/events.h"
#include "game/exchange.h"
#include "game/last_game.h"
#include "game/marks.h"
#include "game/turn_cycle.h"
#include "notation/record.h"
#include "platform/controls.h"
#include "platform/game_view.h"
#include "search/search.h"
#include "state/history.h"
#include "state/state.h"
#include "window/accessible.h"
#include "window/layout.h"
#include "window/move_list.h"
#include "window/pictures.h"
#include "window/scroll_keys.h"
#include "window/sound.h"
#include "window/thinking_thread.h"
#include "window/turn_gate.h"
#include "window/x11_watch.h"

namespace vombel {

namespace {

const char* const kCaption = "Vombel Chess V.2.0";
const char* const kMessageTitle = "Vombel Chess";
// A message box's long text wraps at 460 pixels at the normal size, in a box 40 pixels wider.
constexpr int kBoxWrapWidth = 460;
constexpr int kBoxMargins = 40;

// How long the squares of a refused move show it.
constexpr int kRefusedMilliseconds = 700;

Tablero* current = nullptr;

// The message box's word wrap breaks the text's space-separated paragraphs. Runs of spaces wide
// enough to push the next paragraph onto a new line in one font can fall anywhere in another, so
// every run of two or more spaces becomes a paragraph break.
QString paragraphs(const char* text) {
  static const QRegularExpression runs(QStringLiteral(" {2,}"));
  return QString::fromUtf8(text).replace(runs, QStringLiteral("\n\n"));
}

// A modal box with the game's title and an OK button over the window; returns when closed.
// Ctrl+X ends the program from the box as from the window. At the window's scale its icon,
// margins and buttons grow through the style, its text here; a long text wraps as at the normal
// size, at kBoxWrapWidth, where Qt's widest box (1000 pixels, less 480 on a screen under 1480)
// allows.
void showBox(QMessageBox::Icon icon, const QString& text) {
  // What the announcer gathered is told before the box is read out, not over it.
  if (current != nullptr) current->findChild<Announcer*>()->flush();
  QMessageBox box(icon, QString::fromUtf8(kMessageTitle), text, QMessageBox::Ok, current);
  const double scale = layoutScale(&box);
  if (scale > 1) {
    box.setFont(fontAt(box.font(), scale));
    const int screenWidth = box.screen()->availableGeometry().width();
    const int widest = screenWidth <= 1024 ? screenWidth : std::min(screenWidth - 480, 1000);
    const int wrap = std::min(static_cast<int>(std::lround(kBoxWrapWidth * scale)),
                              widest - static_cast<int>(std::lround(kBoxMargins * scale)));
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (label != nullptr && label->sizeHint().width() > wrap) label->setMinimumWidth(wrap);
  }
  if (current != nullptr) box.addAction(current->exitAction());
  box.exec();
}

void showMessage(const char* text) {
  showBox(QMessageBox::NoIcon, paragraphs(text));
}

// A file that could not be saved or opened: the text names the file (in the system's encoding)
// and the reason.
void showWarning(const char* text) {
  showBox(QMessageBox::Warning, QString::fromLocal8Bit(text));
}

void setText(QLabel* label, const char* text) {
  const QString s = QString::fromUtf8(text);
  if (label->text() != s) label->setText(s);
}

}  // namespace

void prepareApplication(QApplication& app) {
  QApplication::setStyle(newScaledStyle());
  QApplication::setPalette(app.style()->standardPalette());
  // The desktop entry's id names the window too: Wayland's app id and X11's window class
  // (WM_CLASS, taken from the application name), so a dock shows the game under its launcher.
  const QString desktopId = QStringLiteral("io.github.vombel.chess");
  QCoreApplication::setApplicationName(desktopId);
  QGuiApplication::setDesktopFileName(desktopId);
  QApplication::setWindowIcon(programIcon());
  installAccessibleInterfaces();
}

// --- Tablero --------------------------------------------------------------------------------

// What the game tells the window. A computer turn asked for by one of the window's handlers is
// deferred: the window starts it once the handler has returned (startTurn).
class Tablero::View final : public GameView {
 public:
  explicit View(Tablero* window) : window_(window) {}

  // On the thinking thread: the window shows the latest step on a timer of its own thread, so
  // the bar is painted a few times a second however many candidates there are.
  void progress(int value, int max) override {
    window_->progressMax_.store(max, std::memory_order_relaxed);
    window_->progressValue_.store(value, std::memory_order_relaxed);
  }
  void boardChanged() override { window_->syncFromState(); }
  void tell(const char* text) override { showMessage(text); }
  // At the program's end, with no one to click a box away, a warning goes to standard error.
  void warn(const char* text) override {
    if (window_->quiet_) {
      std::fprintf(stderr, "vombel-chess: %s\n", printable(text).c_str());
    } else {
      showWarning(text);
    }
  }
  void beep() override {
    if (!window_->closing_) beepAfterMove();
  }
  // Outside the window's handlers (a test calling the game directly) the turn is played at once.
  bool deferComputerMove() override {
    if (window_->handlers_ == 0) return false;
    window_->turnWanted_ = true;
    return true;
  }

 private:
  Tablero* window_;
};

Tablero::Tablero(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("tablero"));
  setWindowTitle(QString::fromUtf8(kCaption));
  // A close button and a maximise button: the window keeps its proportions at any size.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::WindowMaximizeButtonHint);

  // A new scale is written once it has held for half a second, not at every step of a drag.
  saveScale_ = new QTimer(this);
  saveScale_->setSingleShot(true);
  saveScale_->setInterval(500);
  connect(saveScale_, &QTimer::timeout, this, &Tablero::rememberScale);

  form_ = new Form(this);
  form_->setObjectName(QStringLiteral("form"));
  form_->installEventFilter(this);
  setCentralWidget(form_);
  gate_ = new TurnGate(this, form_);
  announcer_ = new Announcer(form_);
  buildControls();
  createMenus();
  chooseFont();
  describeControls(this);

  current = this;
  prepareSound(this);
  view_ = std::make_unique<View>(this);
  setGameView(view_.get());
  thinker_ = std::make_unique<ThinkingThread>([this] {
    const bool played = thinkComputerMove();
    QMetaObject::invokeMethod(
        this, [this, played] { turnThought(played); }, Qt::QueuedConnection);
  });

  restoreScale();
  restoreChoices();

  watchX11Window(this, [this] { endProgram(); });

  // SIGTERM, SIGHUP or SIGINT caught (catchEndingSignals): the game is kept and the program ends,
  // main then ending it as the signal would have.
  if (endingSignalWatch() >= 0) {
    auto* watch = new QSocketNotifier(endingSignalWatch(), QSocketNotifier::Read, this);
    connect(watch, &QSocketNotifier::activated, this, [this, watch] {
      watch->setEnabled(false);
      endProgram();
    });
  }

  clientHeight_ = -1;  // so that the first sync sets the size
  run(tablero_Load);

  const QRect screen = this->screen()->availableGeometry();
  move(screen.center() - QPoint(width() / 2, height() / 2));
  keepOnScreen();

  // The keyboard starts on the board's bottom-left square.
  squares_[Square::kFirstFocus]->setFocus();
}

Tablero::~Tablero() {
  abandonTurn();
  thinker_.reset();
  if (saveScale_->isActive()) rememberScale();
  if (current == this) {
    current = nullptr;
    setGameView(nullptr);
  }
}

// Runs one of the game's handlers and shows what it changed. During the computer's turn the game
// belongs to the thinking thread: handlers are dropped (the player's clock stands still).
template <typename Handler>
void Tablero::run(Handler handler) {
  if (turn_ != Turn::none || closing_) return;
  ++handlers_;
  handler();
  --handlers_;
  // cppcheck-suppress knownConditionTrueFalse ; a message box's Exit sets it inside the handler
  if (closing_) return;  // the program is ending
  syncFromState();
  if (turnWanted_ && handlers_ == 0) startTurn();
}

// The handler has shown the position the computer answers: the thinking thread takes the turn,
// and the window keeps its input out until the turn is over.
void Tablero::startTurn() {
  turnWanted_ = false;
  turn_ = Turn::thinking;
  gate_->begin();
  progressValue_.store(0);
  progressTimer_->start();
  stopSearch.store(false);
  thinker_->start();
}

// The thinking thread is done; played is false when there was nothing to play.
void Tablero::turnThought(bool played) {
  if (turn_ != Turn::thinking) return;  // abandoned
  thinker_->waitUntilIdle();            // its last writes are seen here
  progressTimer_->stop();
  turn_ = Turn::finishing;
  ++handlers_;
  if (played) finishComputerMove();  // the resignation box, if any, comes first
  --handlers_;
  if (closing_) {
    gate_->end(false);
    return;
  }
  turn_ = Turn::none;
  syncFromState();
  if (played) announceComputerMove();
  gate_->end(true);
}

// The search ends at its next check and the turn is dropped: the game stays as it was before it.
void Tablero::abandonTurn() {
  if (turn_ != Turn::thinking) return;
  stopSearch.store(true);
  thinker_->waitUntilIdle();
  progressTimer_->stop();
  turn_ = Turn::none;
  gate_->end(false);
}

// The search's progress, as the thinking thread last reported it.
void Tablero::showProgress() {
  setProgress(progressValue_.load(std::memory_order_relaxed),
              progressMax_.load(std::memory_order_relaxed));
}

// A range of 0..0 would turn the bar into a busy indicator; an empty list shows an empty bar.
void Tablero::setProgress(int value, int max) {
  max = std::max(1, max);
  value = std::clamp(value, 0, max);
  if (progreso_->maximum() != max || progreso_->value() != value) {
    progreso_->setRange(0, max);
    progreso_->setValue(value);
  }
}

// The program ends at once: the turn is abandoned, and the event loops return, message boxes'
// included, so that main returns.
void Tablero::endProgram() {
  abandonTurn();
  keepGameAtEnd(false);
  closing_ = true;
  QCoreApplication::exit(0);
}

void Tablero::warn(const char* text) {
  showWarning(text);
}

// The turn has recorded its position: the one before it is the previous history entry.
void Tablero::announceComputerMove() {
  const int after = currentMove();
  if (after < 1) return;
  announcer_->say(computerMoveWords(gameHistory[after - 1], board));
}

// A click on a square. A move the game refused is heard and shows on its two squares for a
// moment; a click the gate kept out refuses nothing.
void Tablero::clickSquare(int index) {
  MoveSquares refused = kNoSquares;
  run([index, &refused] { refused = vombel::clickSquare(index); });
  if (refused.from >= 0) {
    announcer_->say(refusedMoveWords(refused.from, refused.to));
    showRefused(refused.from, refused.to);
  }
}

// Tints the squares of a refused move until the timer ends it; -1, -1 ends it at once.
void Tablero::showRefused(int from, int to) {
  for (int a : refused_) {
    if (a >= 0) squares_[a]->setRefused(false);
  }
  refused_ = {from, to};
  for (int a : refused_) {
    if (a >= 0) squares_[a]->setRefused(true);
  }
  if (from >= 0) refusedTimer_->start();
}

// Escape: the selected piece is put back, as a click on it does.
void Tablero::putBackSelection() {
  run([] {
    if (clickState == 1) c_Click(fromSquare);
  });
}

// Closing the window ends the program, during the computer's turn too: the turn is abandoned.
// Closed from inside a handler (under a message box), the program ends at once, the box's loop
// and the window's returning.
void Tablero::closeEvent(QCloseEvent* event) {
  if (handlers_ > 0 || QApplication::activeModalWidget() != nullptr) {
    endProgram();
  } else {
    abandonTurn();
    keepGameAtEnd(true);
  }
  QMainWindow::closeEvent(event);
}

// The game ends with the program, as it was before a turn that was abandoned: it is kept as the
// last game, once. A failure is told in a box when told (Exit, the close button with nothing
// else up), on standard error otherwise.
void Tablero::keepGameAtEnd(bool told) {
  if (gameKeptAtEnd_) return;
  gameKeptAtEnd_ = true;
  quiet_ = !told;
  ++handlers_;
  tablero_Unload();
  --handlers_;
  quiet_ = false;
}

void Tablero::buildControls() {
  const auto put = [this](QWidget* widget, const Twips& r) {
    place(widget, QRect(r.left, r.top, r.width, r.height));
  };
  label1_ = new QLabel(tr("Vombel Chess"), form_);
  label1_->setObjectName(QStringLiteral("Label1"));
  put(label1_, kTitle);
  label1_->setAlignment(Qt::AlignCenter);
  QPalette red = label1_->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  label1_->setPalette(red);

  for (int a = 0; a < 64; ++a) {
    squares_[a] = new Square(a, form_);
    connect(squares_[a], &Square::clicked, this, &Tablero::clickSquare);
    // Qt 6.4 tells a new name of the focused square without the name, which Orca cannot read
    // out: the announcer says it instead ("e4, white pawn" after a move onto it, "selected").
    connect(squares_[a], &Square::changedWhileFocused, this,
            [this](int index) { announcer_->say(squareWords(squares_[index])); });
  }

  info_ = new QPushButton(form_);
  info_->setObjectName(QStringLiteral("info"));
  put(info_, kInfo);
  connect(info_, &QPushButton::clicked, this, [this] { run(info_Click); });

  progreso_ = new QProgressBar(form_);
  progreso_->setObjectName(QStringLiteral("Progreso"));
  put(progreso_, kProgreso);
  progreso_->setTextVisible(false);
  progressTimer_ = new QTimer(this);
  progressTimer_->setInterval(40);
  connect(progressTimer_, &QTimer::timeout, this, &Tablero::showProgress);
  progreso_->setRange(0, 1);
  progreso_->setValue(0);

  historia_ = new QScrollBar(Qt::Horizontal, form_);
  historia_->setObjectName(QStringLiteral("historia"));
  put(historia_, kHistoria);
  historia_->setRange(0, 0);
  historia_->setSingleStep(1);
  historia_->setPageStep(1);
  connect(historia_, &QScrollBar::valueChanged, this,
          [this](int value) { run([value] { historia_Scroll(value); }); });

  const auto label = [this, &put](const char* name, const char* text, const Twips& r) {
    auto* lbl = new QLabel(tr(text), form_);
    lbl->setObjectName(QString::fromUtf8(name));
    put(lbl, r);
    return lbl;
  };
  // Framed labels: single-line border, flat, window-background fill, centred text.
  const auto framed = [&](const char* name, const char* text, const Twips& r) {
    QLabel* lbl = label(name, text, r);
    lbl->setFrameStyle(QFrame::Box | QFrame::Plain);
    lbl->setLineWidth(1);
    lbl->setAlignment(Qt::AlignCenter);
    lbl->setAutoFillBackground(true);
    lbl->setBackgroundRole(QPalette::Base);
    framed_.push_back(lbl);
    return lbl;
  };

  label("Label2", "Movement #:", kLabel2);
  lblJugada_ = framed("lbl_jugada", "0", kLblJugada);

  label("Label3", "Level:", kLabel3);
  easy_ = new QRadioButton(tr("Easy"), form_);
  easy_->setObjectName(QStringLiteral("easy"));
  put(easy_, kEasy);
  difficult_ = new QRadioButton(tr("Difficult"), form_);
  difficult_->setObjectName(QStringLiteral("difficult"));
  put(difficult_, kDifficult);
  connect(easy_, &QRadioButton::toggled, this, [](bool on) {
    if (on) selectLevel(false);
  });
  connect(difficult_, &QRadioButton::toggled, this, [](bool on) {
    if (on) selectLevel(true);
  });

  boardsu_ = new QCheckBox(tr("Setup Board.Positions"), form_);
  boardsu_->setObjectName(QStringLiteral("boardsu"));
  put(boardsu_, kBoardsu);
  connect(boardsu_, &QCheckBox::toggled, this, [this](bool on) {
    boardsu.value = on ? 1 : 0;
    paste_->setEnabled(on);
  });

  force_ = new QPushButton(QStringLiteral("->"), form_);
  force_->setObjectName(QStringLiteral("force"));
  put(force_, kForce);
  force_->setToolTip(tr("Force Computer to make a move"));
  connect(force_, &QPushButton::clicked, this, [this] { run(force_Click); });

  label("Label4", "Player", kLabel4);
  label("Label5", "Computer", kLabel5);
  tiempous_ = framed("tiempous", "0", kTiempous);
  tiempoco_ = framed("tiempoco", "0", kTiempoco);
  framed("Label6", "Play well, have fun", kLabel6);

  // Buttons take the keyboard focus only by Tab, so that a click on one does not leave a focus
  // frame drawn across the small captions.
  for (QPushButton* b : {info_, force_}) {
    b->setFocusPolicy(Qt::TabFocus);
  }
  // The scroll bar likewise, and then steps through the history with the arrow keys.
  historia_->setFocusPolicy(Qt::TabFocus);
  keysForScrollBar(historia_, [this] { return scale_; });

  // The move list, placed and shown by the layout (layOut, fitClientSize), not with the others.
  moveList_ = new MoveList(form_);
  moveList_->hide();
  connect(moveList_, &MoveList::chosen, this,
          [this](int entry) { run([entry] { historia_Scroll(entry); }); });

  refusedTimer_ = new QTimer(this);
  refusedTimer_->setSingleShot(true);
  refusedTimer_->setInterval(kRefusedMilliseconds);
  connect(refusedTimer_, &QTimer::timeout, this, [this] { showRefused(-1, -1); });

  timer1_ = new QTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setInterval(1000);
  connect(timer1_, &QTimer::timeout, this, [this] { run(Timer1_Timer); });
  timer1_->start();
}

void Tablero::createMenus() {
  struct Item {
    QMenu* menu;
    const char* name;
    QString caption;
    QKeySequence shortcut;
    void (*handler)();
  };
  QMenu* game = menuBar()->addMenu(tr("&Game"));
  game->setObjectName(QStringLiteral("File"));
  QMenu* help = menuBar()->addMenu(tr("&Help"));
  help->setObjectName(QStringLiteral("ayuda"));
  const Item items[] = {
      {game, "nuevo", tr("&New"), QKeySequence(Qt::CTRL | Qt::Key_N), nuevo_Click},
      {game, "open", tr("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O), open_Click},
      {game, "resume", tr("&Resume Last Game"), QKeySequence(), resume_Click},
      {game, "guardar", tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), guardar_Click},
      {game, "nada", QString(), QKeySequence(), nullptr},
      {game, "salir", tr("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X), nullptr},
      {help, "acerca", tr("&About..."), QKeySequence(Qt::CTRL | Qt::Key_A), acerca_Click},
  };
  // Escape puts back the selected piece wherever the focus is.
  auto* putBack = new QAction(this);
  putBack->setObjectName(QStringLiteral("putBack"));
  putBack->setShortcut(QKeySequence(Qt::Key_Escape));
  addAction(putBack);
  connect(putBack, &QAction::triggered, this, &Tablero::putBackSelection);
  for (const Item& item : items) {
    if (item.caption.isEmpty()) {
      item.menu->addSeparator()->setObjectName(QString::fromUtf8(item.name));
      continue;
    }
    QAction* action = item.menu->addAction(item.caption);
    action->setObjectName(QString::fromUtf8(item.name));
    action->setShortcut(item.shortcut);
    if (item.handler != nullptr) {
      connect(action, &QAction::triggered, this, [this, h = item.handler] { run(h); });
    } else {
      // Exit: closing the only window ends the program at once, without a question.
      connect(action, &QAction::triggered, this, &QWidget::close);
      exitAction_ = action;
      gate_->setExit(action);
    }
  }
  resume_ = game->findChild<QAction*>(QStringLiteral("resume"));
  // The game and its positions for other chess programs, after Save: Export Game… and, in a
  // group of their own, Copy Position and Paste Position (set-up mode only).
  QAction* exit = game->findChild<QAction*>(QStringLiteral("nada"));
  const auto insert = [this, game, exit](const char* name, const QString& caption,
                                         const QKeySequence& shortcut, auto slot) {
    auto* action = new QAction(caption, game);
    action->setObjectName(QString::fromUtf8(name));
    action->setShortcut(shortcut);
    game->insertAction(exit, action);
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  insert("exportGame", tr("&Export Game…"), QKeySequence(), [this] { exportGameAs(); });
  game->insertSeparator(exit);
  insert("copyPosition", tr("&Copy Position"), QKeySequence(Qt::CTRL | Qt::Key_C), [this] {
    run([] {
      char fen[kFenSize];
      copyPosition(fen);
      QGuiApplication::clipboard()->setText(QString::fromLatin1(fen));
    });
  });
  paste_ =
      insert("pastePosition", tr("&Paste Position"), QKeySequence(Qt::CTRL | Qt::Key_V), [this] {
        run([] { pastePosition_Click(QGuiApplication::clipboard()->text().toUtf8().constData()); });
      });
  paste_->setEnabled(boardsu.value == 1);
  // The window's size, between Save and Exit: the menu bar keeps its two menus.
  struct Zoom {
    const char* name;
    QString caption;
    QList<QKeySequence> shortcuts;
    int steps;
  };
  const Zoom zooms[] = {
      {"zoomIn",
       tr("Zoom &In"),
       {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
       1},
      {"zoomOut", tr("Zoom O&ut"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, -1},
      {"normalSize", tr("Normal Si&ze"), {QKeySequence(Qt::CTRL | Qt::Key_0)}, 0},
  };
  game->insertSeparator(exit);
  for (const Zoom& z : zooms) {
    auto* action = new QAction(z.caption, game);
    action->setObjectName(QString::fromUtf8(z.name));
    action->setShortcuts(z.shortcuts);
    game->insertAction(exit, action);
    connect(action, &QAction::triggered, this, [this, steps = z.steps] {
      if (turn_ == Turn::none) zoom(steps);
    });
  }
  // What the window shows besides the position, each remembered.
  game->insertSeparator(exit);
  const auto toggle = [&](const char* name, const QString& caption, void (Tablero::*set)(bool)) {
    auto* action = new QAction(caption, game);
    action->setObjectName(QString::fromUtf8(name));
    action->setCheckable(true);
    game->insertAction(exit, action);
    connect(action, &QAction::triggered, this, [this, action, set](bool on) {
      if (turn_ != Turn::none) {
        action->setChecked(!on);
      } else {
        (this->*set)(on);
      }
    });
    return action;
  };
  markAction_ = toggle("lastMoveMarked", tr("Mark &Last Move"), &Tablero::setLastMoveMarked);
  listAction_ = toggle("moveListShown", tr("&Move List"), &Tablero::setMoveListShown);
}

// Game > Export Game…: the desktop's file chooser asks where, starting in the folder of the last
// export (the documents folder at first) with a name of the day, "vombel-chess-2026-03-01.pgn".
void Tablero::exportGameAs() {
  run([this] {
    if (exportFolder_.isEmpty()) {
      exportFolder_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
      if (exportFolder_.isEmpty() || !QDir(exportFolder_).exists())
        exportFolder_ = QDir::homePath();
    }
    QFileDialog chooser(this, tr("Export Game"), exportFolder_,
                        tr("PGN games (*.pgn);;All files (*)"));
    chooser.setObjectName(QStringLiteral("exportChooser"));
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setDefaultSuffix(QStringLiteral("pgn"));
    chooser.selectFile(
        QStringLiteral("vombel-chess-%1.pgn").arg(QDate::currentDate().toString(Qt::ISODate)));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    const QString path = chooser.selectedFiles().constFirst();
    exportFolder_ = QFileInfo(path).absolutePath();
    exportGame_Click(QFile::encodeName(path).constData());
  });
}

void Tablero::syncFromState() {
  const MoveSquares last = lastMoveMarked_ ? lastMoveSquares() : kNoSquares;
  for (int a = 0; a < 64; ++a) {
    const bool changed = squares_[a]->setState(c[a].picture, c[a].appearance);
    const bool marked = a == last.from || a == last.to;
    if (changed || marked != squares_[a]->lastMove()) {
      squares_[a]->setLastMove(marked);
    }
  }
  for (auto [widget, label] : {std::pair{lblJugada_, &lbl_jugada}, std::pair{tiempous_, &tiempous},
                               std::pair{tiempoco_, &tiempoco}}) {
    setText(widget, label->caption);
  }

  // The program moves the scroll bar without raising its user event: only the user's moves call
  // historia_Scroll.
  if (historia_->maximum() != historia.max || historia_->value() != historia.value) {
    const QSignalBlocker block(historia_);
    historia_->setRange(0, historia.max);
    historia_->setValue(historia.value);
  }

  setProgress(Progreso.value, Progreso.max);

  {
    const QSignalBlocker blockEasy(easy_);
    const QSignalBlocker blockDifficult(difficult_);
    if (difficult.value && !difficult_->isChecked()) difficult_->setChecked(true);
    if (easy.value && !easy_->isChecked()) easy_->setChecked(true);
  }
  if (boardsu_->isChecked() != (boardsu.value == 1)) {
    const QSignalBlocker block(boardsu_);
    boardsu_->setChecked(boardsu.value == 1);
    paste_->setEnabled(boardsu.value == 1);  // changes only between turns: no item is greyed
  }
  const QString infoCaption = QString::fromUtf8(info.caption);
  if (info_->text() != infoCaption) info_->setText(infoCaption);

  fitClientSize(windowHeight == kCompactHeight ? kCompactClientHeight : kFullClientHeight,
                moveListShown_);
  // Resume Last Game is live when there is one; during a turn the gate greys it with the rest.
  if (turn_ == Turn::none) resume_->setEnabled(hasLastGame());

  if (listInLayout_) {
    notateHistory(historia.max);
    moveList_->showRecord(historia.max, historia.value);
  }
}

}  // namespace vombel
