// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <algorithm>
#include <initializer_list>
#include <utility>

#include "game/events.h"
#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "state/history.h"
#include "state/state.h"
#include "window/accessible.h"
#include "window/pictures.h"
#include "window/scroll_keys.h"
#include "window/sound.h"
#include "window/turn_gate.h"

namespace vombel {

namespace {

// The layout is designed in twips; 15 twips make one pixel at 96 dots per inch.
constexpr int px(int twips) {
  return twips / 15;
}

// A control's rectangle on the form, in twips.
struct Twips {
  int left, top, width, height;
};

// Where each control sits, top to bottom, in twips. The 64 squares form a grid: square a (0 is
// the top-left, 63 the bottom-right) has its corner kSquareStep * (a % 8) right of and
// kSquareStep * (a / 8) below kFirstSquare's. For example square 9 (b7) is at left
// 120 + 360 = 480, top 480 + 360 = 840 twips, that is (32, 56) pixels, 25 pixels wide. Squares
// are 375 twips wide but only 360 apart, so neighbouring squares share their one-pixel edge.
// clang-format off
constexpr Twips kTitle        {120,  120, 2895, 375};  // Label1, "Vombel Chess" in red
constexpr Twips kFirstSquare  {120,  480,  375, 375};  // c(0), the top-left square
constexpr int   kSquareStep = 360;                     // from one square to the next
constexpr Twips kInfo         {120, 3480, 2895, 255};  // "Less Information" / "More Information"
constexpr Twips kProgreso     {120, 3840, 2895, 255};  // the progress bar of the search
constexpr Twips kHistoria     {120, 4200, 2895, 255};  // the scroll bar over the game's positions
constexpr Twips kLabel2       {240, 4680, 1095, 255};  // "Movement #:"
constexpr Twips kLblJugada   {1320, 4680, 1575, 255};  // the move number
constexpr Twips kLabel3       {240, 5160,  855, 255};  // "Level:"
constexpr Twips kEasy         {840, 5160,  855, 255};  // the "Easy" option
constexpr Twips kDifficult   {1920, 5160,  855, 255};  // the "Difficult" option
constexpr Twips kBoardsu      {240, 5640, 1935, 255};  // "Setup Board.Positions"
constexpr Twips kForce       {2280, 5640,  615, 255};  // "->", the computer moves now
constexpr Twips kLabel4       {600, 6240,  615, 255};  // "Player"
constexpr Twips kLabel5      {1920, 6240,  735, 255};  // "Computer"
constexpr Twips kTiempous     {360, 6480,  975, 255};  // the player's clock
constexpr Twips kTiempoco    {1800, 6480,  975, 255};  // the computer's clock
constexpr Twips kLabel6       {120, 6960, 2895, 255};  // "Play well, have fun"
// clang-format on

void place(QWidget* widget, const Twips& r) {
  widget->setGeometry(px(r.left), px(r.top), px(r.width), px(r.height));
}

constexpr int kClientWidth = 205;
const char* const kCaption = "Vombel Chess V.2.0";
const char* const kMessageTitle = "Vombel Chess";

// The form itself: the rectangles Shape1..Shape4 and the lines Line1 and Line2 are drawn on its
// background, beneath every control.
class Form : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setPen(Qt::black);
    struct Rect {
      int left, top, width, height;
    };
    static constexpr Rect shapes[] = {
        {120, 4560, 2895, 495},  // Shape2: the move number
        {120, 5040, 2895, 495},  // Shape1: the level
        {120, 5520, 2895, 495},  // Shape3: set-up and force
        {120, 6120, 2895, 735},  // Shape4: the clocks
    };
    for (const Rect& r : shapes) {
      p.drawRect(px(r.left), px(r.top), px(r.width) - 1, px(r.height) - 1);
    }
    p.drawLine(0, 0, px(3120) - 1, 0);                       // Line1, along the top edge
    p.drawLine(px(1560), px(6120), px(1560), px(6840) - 1);  // Line2, between the clocks
  }
};

Tablero* current = nullptr;

// The message box's word wrap breaks the text's space-separated paragraphs. Runs of spaces wide
// enough to push the next paragraph onto a new line in one font can fall anywhere in another, so
// every run of two or more spaces becomes a paragraph break.
QString paragraphs(const char* text) {
  static const QRegularExpression runs(QStringLiteral(" {2,}"));
  return QString::fromUtf8(text).replace(runs, QStringLiteral("\n\n"));
}

// A modal box with the game's title and an OK button over the window; returns when closed.
void showBox(QMessageBox::Icon icon, const QString& text) {
  QMessageBox box(icon, QString::fromUtf8(kMessageTitle), text, QMessageBox::Ok, current);
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

void redrawNow() {
  if (current != nullptr) current->redrawDuringHandler();
}

// The game rings once at the end of every computer turn: the chime, and the move in words.
void afterComputerMove() {
  beepAfterMove();
  if (current != nullptr) current->announceComputerMove();
}

bool setText(QLabel* label, const char* text) {
  const QString s = QString::fromUtf8(text);
  if (label->text() == s) return false;
  label->setText(s);
  return true;
}

}  // namespace

void prepareApplication(QApplication& app) {
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setPalette(app.style()->standardPalette());
  // The desktop entry's id names the window too: Wayland's app id and X11's window class
  // (WM_CLASS, taken from the application name), so a dock shows the game under its launcher.
  QCoreApplication::setApplicationName(QStringLiteral("io.github.vombel.chess"));
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.vombel.chess"));
  QApplication::setWindowIcon(programIcon());
  installAccessibleInterfaces();
}

// --- Tablero --------------------------------------------------------------------------------

Tablero::Tablero(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("tablero"));
  setWindowTitle(QString::fromUtf8(kCaption));
  // Fixed single border: a close button, no maximise or minimise.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);

  form_ = new Form(this);
  form_->setObjectName(QStringLiteral("form"));
  setCentralWidget(form_);
  gate_ = new TurnGate(this, form_);
  announcer_ = new Announcer(form_);
  buildControls();
  createMenus();
  chooseFont();
  describeControls(this);

  // The window is created: nothing is selected, the layout is full.
  clickState = 0;
  fromSquare = 0;
  toSquare = 0;
  windowHeight = kFullHeight;
  setCaption(info, "Less Information");

  current = this;
  platform.messageBox = showMessage;
  prepareSound(this);
  platform.beep = afterComputerMove;
  platform.redraw = redrawNow;
  platform.warningBox = showWarning;

  clientHeight_ = -1;  // so that the first sync sets the size
  run(tablero_Load);

  const QRect screen = this->screen()->availableGeometry();
  move(screen.center() - QPoint(width() / 2, height() / 2));

  // The keyboard starts on the board's bottom-left square.
  squares_[Square::kFirstFocus]->setFocus();
}

Tablero::~Tablero() {
  if (current == this) {
    current = nullptr;
    platform.messageBox = nullptr;
    platform.beep = nullptr;
    platform.redraw = nullptr;
    platform.warningBox = nullptr;
  }
}

template <typename Handler>
void Tablero::run(Handler handler) {
  if (!gate_->enter()) return;
  handler();
  syncFromState(false);
  gate_->leave();
}

void Tablero::redrawDuringHandler() {
  syncFromState(true);
  gate_->pass();
}

// The turn has recorded its position: the one before it is the previous history entry.
void Tablero::announceComputerMove() {
  const int after = currentMove();
  if (after < 1) return;
  announcer_->say(computerMoveWords(gameHistory[after - 1], board));
}

// A click on a square. A second click on another square tries a move; when no half-move is
// recorded after it, the game refused it, which the player hears (the board shows nothing).
void Tablero::clickSquare(int index) {
  const bool triesMove = clickState == 1 && index != fromSquare && boardsu.value == 0;
  const int from = fromSquare;
  const float movesBefore = moveNumber;
  run([index] { c_Click(index); });
  // clickState is still 1 when the gate kept the click out.
  if (triesMove && clickState == 0 && moveNumber == movesBefore) {
    announcer_->say(refusedMoveWords(from, index));
  }
}

// Escape: the selected piece is put back, as a click on it does.
void Tablero::putBackSelection() {
  run([] {
    if (clickState == 1) c_Click(fromSquare);
  });
}

// Closing the window ends the program. A close that comes in the middle of a handler (Exit or the
// close button during the computer's turn) is met inside an event pass deep in the search:
// returning would let the turn run on for seconds, and the game's frames below cannot be unwound
// through Qt's. So the window is hidden and the process ends at once with std::_Exit: nothing is
// saved, the half-finished turn is abandoned with the process, and no stream needs flushing (the
// window writes none).
void Tablero::closeEvent(QCloseEvent* event) {
  if (gate_->inHandler()) {
    hide();
    exit_(0);
  }
  QMainWindow::closeEvent(event);
}

void Tablero::buildControls() {
  label1_ = new QLabel(tr("Vombel Chess"), form_);
  label1_->setObjectName(QStringLiteral("Label1"));
  place(label1_, kTitle);
  label1_->setAlignment(Qt::AlignCenter);
  QPalette red = label1_->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  label1_->setPalette(red);

  for (int a = 0; a < 64; ++a) {
    squares_[a] = new Square(a, form_);
    place(squares_[a],
          {kFirstSquare.left + kSquareStep * (a % 8), kFirstSquare.top + kSquareStep * (a / 8),
           kFirstSquare.width, kFirstSquare.height});
    connect(squares_[a], &Square::clicked, this, &Tablero::clickSquare);
  }

  info_ = new QPushButton(form_);
  info_->setObjectName(QStringLiteral("info"));
  place(info_, kInfo);
  connect(info_, &QPushButton::clicked, this, [this] { run(info_Click); });

  progreso_ = new QProgressBar(form_);
  progreso_->setObjectName(QStringLiteral("Progreso"));
  place(progreso_, kProgreso);
  progreso_->setTextVisible(false);
  progreso_->setRange(0, 1);
  progreso_->setValue(0);

  historia_ = new QScrollBar(Qt::Horizontal, form_);
  historia_->setObjectName(QStringLiteral("historia"));
  place(historia_, kHistoria);
  historia_->setRange(0, 0);
  historia_->setSingleStep(1);
  historia_->setPageStep(1);
  connect(historia_, &QScrollBar::valueChanged, this,
          [this](int value) { run([value] { historia_Scroll(value); }); });

  const auto label = [this](const char* name, const char* text, const Twips& r) {
    auto* lbl = new QLabel(tr(text), form_);
    lbl->setObjectName(QString::fromUtf8(name));
    place(lbl, r);
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
    return lbl;
  };

  label("Label2", "Movement #:", kLabel2);
  lblJugada_ = framed("lbl_jugada", "0", kLblJugada);

  label("Label3", "Level:", kLabel3);
  easy_ = new QRadioButton(tr("Easy"), form_);
  easy_->setObjectName(QStringLiteral("easy"));
  place(easy_, kEasy);
  difficult_ = new QRadioButton(tr("Difficult"), form_);
  difficult_->setObjectName(QStringLiteral("difficult"));
  place(difficult_, kDifficult);
  connect(easy_, &QRadioButton::toggled, this, [](bool on) {
    if (on) selectLevel(false);
  });
  connect(difficult_, &QRadioButton::toggled, this, [](bool on) {
    if (on) selectLevel(true);
  });

  boardsu_ = new QCheckBox(tr("Setup Board.Positions"), form_);
  boardsu_->setObjectName(QStringLiteral("boardsu"));
  place(boardsu_, kBoardsu);
  connect(boardsu_, &QCheckBox::toggled, this, [](bool on) { boardsu.value = on ? 1 : 0; });

  force_ = new QPushButton(QStringLiteral("->"), form_);
  force_->setObjectName(QStringLiteral("force"));
  place(force_, kForce);
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
  keysForScrollBar(historia_);

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
    }
  }
}

// The layout is fixed in pixels, so the text must fit the boxes: the largest of a few compact
// fonts with which every caption fits its control. DejaVu Sans Condensed comes first; where it is
// missing the system's sans serif face is measured the same way.
void Tablero::chooseFont() {
  const auto fits = [this](const QFont& font) {
    form_->setFont(font);
    if (QFontMetrics(font).height() > px(255) - 2) return false;
    for (QWidget* w : form_->findChildren<QWidget*>()) {
      if (auto* button = qobject_cast<QPushButton*>(w)) {
        // Push buttons ask for more room than their caption needs.
        if (w->fontMetrics().horizontalAdvance(button->text()) + 6 > w->width()) return false;
      } else if (qobject_cast<QLabel*>(w) != nullptr ||
                 qobject_cast<QAbstractButton*>(w) != nullptr) {
        if (w->sizeHint().width() > w->width()) return false;
      }
    }
    return true;
  };
  const auto compact = [](const char* family, int pixels) {
    QFont font(QString::fromUtf8(family));
    font.setStretch(QFont::SemiCondensed);
    font.setPixelSize(pixels);
    return font;
  };
  const auto largestFitting = [&] {
    for (const char* family : {"DejaVu Sans", "Sans Serif"}) {
      for (int pixels : {11, 10, 9}) {
        if (fits(compact(family, pixels))) return compact(family, pixels);
      }
    }
    return compact("DejaVu Sans", 9);
  };
  form_->setFont(largestFitting());
  // Label1: the credit line in 12-point bold.
  QFont title(QStringLiteral("DejaVu Sans"));
  title.setPixelSize(16);
  title.setBold(true);
  label1_->setFont(title);
}

void Tablero::syncFromState(bool immediate) {
  const auto shown = [immediate](QWidget* w) {
    if (immediate && w->isVisible()) w->repaint();
  };

  for (int a = 0; a < 64; ++a) {
    if (squares_[a]->setState(c[a].picture, c[a].appearance)) shown(squares_[a]);
  }
  for (auto [widget, label] : {std::pair{lblJugada_, &lbl_jugada}, std::pair{tiempous_, &tiempous},
                               std::pair{tiempoco_, &tiempoco}}) {
    if (setText(widget, label->caption)) shown(widget);
  }

  // The program moves the scroll bar without raising its user event: only the user's moves call
  // historia_Scroll.
  if (historia_->maximum() != historia.max || historia_->value() != historia.value) {
    const QSignalBlocker block(historia_);
    historia_->setRange(0, historia.max);
    historia_->setValue(historia.value);
    shown(historia_);
  }

  // A range of 0..0 would turn the bar into a busy indicator; an empty list shows an empty bar.
  const int progressMax = std::max(1, Progreso.max);
  const int progressValue = std::clamp(Progreso.value, 0, progressMax);
  if (progreso_->maximum() != progressMax || progreso_->value() != progressValue) {
    progreso_->setRange(0, progressMax);
    progreso_->setValue(progressValue);
    shown(progreso_);
  }

  {
    const QSignalBlocker blockEasy(easy_);
    const QSignalBlocker blockDifficult(difficult_);
    if (difficult.value && !difficult_->isChecked()) difficult_->setChecked(true);
    if (easy.value && !easy_->isChecked()) easy_->setChecked(true);
  }
  if (boardsu_->isChecked() != (boardsu.value == 1)) {
    const QSignalBlocker block(boardsu_);
    boardsu_->setChecked(boardsu.value == 1);
    shown(boardsu_);
  }
  const QString infoCaption = QString::fromUtf8(info.caption);
  if (info_->text() != infoCaption) {
    info_->setText(infoCaption);
    shown(info_);
  }

  // The layout: the compact window keeps Label1, the board and info; the controls below the
  // client area are hidden so that the keyboard cannot reach them either.
  int height = clientHeight_;
  if (windowHeight == kFullHeight) height = kFullClientHeight;
  if (windowHeight == kCompactHeight) height = kCompactClientHeight;
  if (height != clientHeight_) {
    clientHeight_ = height;
    for (QWidget* w : form_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      w->setVisible(w->y() < height);
    }
    form_->setFixedSize(kClientWidth, height);
    const int menuHeight =
        std::max(menuBar()->sizeHint().height(), menuBar()->heightForWidth(kClientWidth));
    setFixedSize(kClientWidth, menuHeight + height);
  }
}

}  // namespace vombel
