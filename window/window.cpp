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
#include <QFontMetrics>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <utility>

#include "game/events.h"
#include "game/exchange.h"
#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "platform/game_view.h"
#include "state/history.h"
#include "state/state.h"
#include "window/accessible.h"
#include "window/pictures.h"
#include "window/scroll_keys.h"
#include "window/sound.h"
#include "window/turn_gate.h"
#include "window/x11_watch.h"

namespace vombel {

namespace {

// The layout is designed in twips; 15 twips make one pixel at 96 dots per inch. Every value of
// the table below is a whole number of pixels at the normal size.
constexpr int px(int twips) {
  return twips / 15;
}

// A length in twips at a scale of the layout, rounded to whole pixels.
int scaled(int twips, double scale) {
  return static_cast<int>(std::lround(twips * scale / 15));
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

constexpr int kClientWidth = 205;
constexpr double kLargestScale = Tablero::kZoomSteps[std::size(Tablero::kZoomSteps) - 1];
constexpr double kSmallestScale = 0.25;  // only a screen smaller than the window at 1 needs it
const char* const kCaption = "Vombel Chess V.2.0";
const char* const kMessageTitle = "Vombel Chess";

// The form itself: the rectangles Shape1..Shape4 and the lines Line1 and Line2 are drawn on its
// background, beneath every control, at the layout's scale and from its left edge.
class Form : public QWidget {
 public:
  using QWidget::QWidget;

  void setLayout(double scale, int left) {
    scale_ = scale;
    left_ = left;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    static constexpr Twips shapes[] = {
        {120, 4560, 2895, 495},  // Shape2: the move number
        {120, 5040, 2895, 495},  // Shape1: the level
        {120, 5520, 2895, 495},  // Shape3: set-up and force
        {120, 6120, 2895, 735},  // Shape4: the clocks
    };
    const int line = lineWidth(scale_);
    const auto at = [this](int twips) { return scaled(twips, scale_); };
    for (const Twips& r : shapes) {
      outline(p, QRect(left_ + at(r.left), at(r.top), at(r.width), at(r.height)), line, Qt::black);
    }
    // Line1, along the top edge, across the whole form when it is wider than the layout.
    p.fillRect(0, 0, std::max(width(), left_ + at(3120)), line, Qt::black);
    // Line2, between the clocks.
    p.fillRect(left_ + at(1560), at(6120), line, at(6840) - at(6120), Qt::black);
  }

 private:
  double scale_ = 1;
  int left_ = 0;
};

// The game's only setting, the scale the window last had, in vombel-chess/vombel-chess.conf of
// the user's configuration folder.
const char* const kSettingsName = "vombel-chess";
const char* const kScaleKey = "scale";

Tablero* current = nullptr;

// Fusion, with the check and radio indicators, their spacing and the scroll bar's arrow buttons
// of the game window's controls in proportion to the window's scale. At the normal size, and for
// every other window, it is Fusion itself.
class ScaledStyle : public QProxyStyle {
 public:
  ScaledStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    const int size = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
      case PM_IndicatorWidth:
      case PM_IndicatorHeight:
      case PM_ExclusiveIndicatorWidth:
      case PM_ExclusiveIndicatorHeight:
      case PM_CheckBoxLabelSpacing:
      case PM_RadioButtonLabelSpacing:
      case PM_ScrollBarExtent: {
        const double scale = layoutScale(widget);
        return scale == 1 ? size : static_cast<int>(std::lround(size * scale));
      }
      default:
        return size;
    }
  }
};

// The message box's word wrap breaks the text's space-separated paragraphs. Runs of spaces wide
// enough to push the next paragraph onto a new line in one font can fall anywhere in another, so
// every run of two or more spaces becomes a paragraph break.
QString paragraphs(const char* text) {
  static const QRegularExpression runs(QStringLiteral(" {2,}"));
  return QString::fromUtf8(text).replace(runs, QStringLiteral("\n\n"));
}

// A modal box with the game's title and an OK button over the window; returns when closed.
// Ctrl+X ends the program from the box as from the window.
void showBox(QMessageBox::Icon icon, const QString& text) {
  // What the announcer gathered is told before the box is read out, not over it.
  if (current != nullptr) current->findChild<Announcer*>()->flush();
  QMessageBox box(icon, QString::fromUtf8(kMessageTitle), text, QMessageBox::Ok, current);
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

bool setText(QLabel* label, const char* text) {
  const QString s = QString::fromUtf8(text);
  if (label->text() == s) return false;
  label->setText(s);
  return true;
}

}  // namespace

double layoutScale(const QWidget* widget) {
  const auto* tablero =
      widget == nullptr ? nullptr : qobject_cast<const Tablero*>(widget->window());
  return tablero == nullptr ? 1 : tablero->scale();
}

void prepareApplication(QApplication& app) {
  QApplication::setStyle(new ScaledStyle);
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

// What the game tells the window. The computer's turn runs inside the handler that asks for it:
// at each step of the search the window shows the controls' state and takes its pending events.
class Tablero::View final : public GameView {
 public:
  explicit View(Tablero* window) : window_(window) {}
  void progress(int /*value*/, int /*max*/) override { window_->redrawDuringHandler(); }
  void boardChanged() override { window_->redrawDuringHandler(); }
  void tell(const char* text) override { showMessage(text); }
  void warn(const char* text) override { showWarning(text); }
  // The game rings once at the end of every computer turn: the chime, and the move in words.
  void beep() override {
    beepAfterMove();
    window_->announceComputerMove();
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

  // The scale the window last had, as large as the screen allows.
  const QSettings stored(QString::fromUtf8(kSettingsName), QString::fromUtf8(kSettingsName));
  const double wanted = stored.value(QString::fromUtf8(kScaleKey), 1.0).toDouble();
  scale_ = std::isfinite(wanted) ? std::clamp(wanted, 1.0, kLargestScale) : 1.0;
  scale_ = fittingScale(scale_);
  smallestScale_ = std::min(1.0, scale_);

  watchX11Window(this);

  clientHeight_ = -1;  // so that the first sync sets the size
  run(tablero_Load);

  const QRect screen = this->screen()->availableGeometry();
  move(screen.center() - QPoint(width() / 2, height() / 2));
  keepOnScreen();

  // The keyboard starts on the board's bottom-left square.
  squares_[Square::kFirstFocus]->setFocus();
}

Tablero::~Tablero() {
  if (saveScale_->isActive()) rememberScale();
  if (current == this) {
    current = nullptr;
    setGameView(nullptr);
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

void Tablero::warn(const char* text) {
  showWarning(text);
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

// Puts a control at its rectangle in twips, at the normal size until the layout is scaled.
void Tablero::place(QWidget* widget, const QRect& twips) {
  twips_.emplace_back(widget, twips);
  widget->setGeometry(px(twips.left()), px(twips.top()), px(twips.width()), px(twips.height()));
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
      exitAction_ = action;
      gate_->setExit(action);
    }
  }
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
      if (!gate_->inHandler()) zoom(steps);
    });
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
  font_ = largestFitting();
  form_->setFont(font_);
  // Label1: the credit line in 12-point bold.
  titleFont_ = QFont(QStringLiteral("DejaVu Sans"));
  titleFont_.setPixelSize(16);
  titleFont_.setBold(true);
  label1_->setFont(titleFont_);
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
    paste_->setEnabled(boardsu.value == 1);  // changes only between turns: no item is greyed
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
    // Compared at the normal size, where every control's top is a whole pixel.
    for (const auto& [widget, twips] : twips_) {
      widget->setVisible(px(twips.top()) < height);
    }
    // The full layout, taller than the compact one, may need a smaller scale to stay on screen.
    setScale(std::min(scale_, fittingScale(scale_)));
    if (isVisible()) keepOnScreen();
  }
}

// --- The scale ------------------------------------------------------------------------------

// The layout's size below the menu bar at a scale.
QSize Tablero::clientSizeAt(double scale) const {
  return {static_cast<int>(std::lround(kClientWidth * scale)),
          static_cast<int>(std::lround(clientHeight_ * scale))};
}

// The window's outer size, menu bar included, for the layout at a scale.
QSize Tablero::windowSizeAt(double scale) const {
  const QSize client = clientSizeAt(scale);
  const int menuHeight =
      std::max(menuBar()->sizeHint().height(), menuBar()->heightForWidth(client.width()));
  return {client.width(), menuHeight + client.height()};
}

double Tablero::fittingScale(double wanted) const {
  const QScreen* screen = this->screen();
  if (screen == nullptr) return wanted;
  // The window manager's frame, or room for a usual one before the window is shown.
  QSize frame = frameGeometry().size() - geometry().size();
  if (!isVisible()) frame = frame.expandedTo(QSize(8, 40));
  const QSize room = screen->availableGeometry().size() - frame;
  const auto fits = [&](double scale) {
    const QSize size = windowSizeAt(scale);
    return size.width() <= room.width() && size.height() <= room.height();
  };
  if (fits(wanted)) return wanted;
  // The menu bar keeps its height: start from the scale the rest of the room allows, then step
  // down while rounding or a wrapping menu bar leaves the window too large.
  const int menuHeight = windowSizeAt(wanted).height() - clientSizeAt(wanted).height();
  double fitted = std::min({wanted, double(room.width()) / kClientWidth,
                            double(room.height() - menuHeight) / clientHeight_});
  while (fitted > kSmallestScale && !fits(fitted))
    fitted -= 0.01;
  return std::max(fitted, kSmallestScale);
}

// Makes every control, line, picture and caption take its size at scale, and the window the size
// of the layout. At 1 every control has its rectangle of the twips table in whole pixels.
void Tablero::setScale(double scale) {
  scale_ = scale;
  resizing_ = true;
  setMinimumSize(windowSizeAt(std::min(scale, smallestScale_)));
  setMaximumSize(windowSizeAt(std::max(scale, kLargestScale)));
  if (!isMaximized() && !isFullScreen()) resize(windowSizeAt(scale));
  resizing_ = false;
  layOut();
}

void Tablero::layOut() {
  const double s = scale_;
  const auto at = [s](int twips) { return scaled(twips, s); };
  // A larger form than the layout (the window made wider by hand) keeps the layout in its middle.
  const int left = std::max(0, (form_->width() - at(kClientWidth * 15)) / 2);
  static_cast<Form*>(form_)->setLayout(s, left);
  for (const auto& [widget, r] : twips_) {
    widget->setGeometry(left + at(r.left()), at(r.top()), at(r.width()), at(r.height()));
  }
  // Neighbouring squares share their border: each reaches over the next one's by the border's
  // width, as at the normal size 25-pixel squares lie 24 pixels apart.
  const int border = lineWidth(s);
  for (int a = 0; a < 64; ++a) {
    const int column = a % 8;
    const int row = a / 8;
    const int x = at(kFirstSquare.left + kSquareStep * column);
    const int y = at(kFirstSquare.top + kSquareStep * row);
    squares_[a]->setGeometry(left + x, y,
                             at(kFirstSquare.left + kSquareStep * (column + 1)) - x + border,
                             at(kFirstSquare.top + kSquareStep * (row + 1)) - y + border);
    squares_[a]->setScale(s);
  }
  for (QLabel* label : framed_) {
    label->setLineWidth(border);
  }
  // Whole pixel sizes, rounded down so that every caption still fits its control.
  const auto fontAt = [s](QFont font) {
    font.setPixelSize(static_cast<int>(std::floor(font.pixelSize() * s + 0.001)));
    return font;
  };
  form_->setFont(fontAt(font_));
  label1_->setFont(fontAt(titleFont_));
}

// The zoom commands: steps along kZoomSteps, as far as the screen allows; 0 is the normal size.
void Tablero::zoom(int steps) {
  double target = 1;
  if (steps > 0) {
    target = scale_;
    for (double step : kZoomSteps) {
      if (step > scale_ + 0.001) {
        target = step;
        break;
      }
    }
    if (fittingScale(target) < target - 0.001) return;  // the next step does not fit
  } else if (steps < 0) {
    target = scale_;
    for (double step : kZoomSteps) {
      if (step < scale_ - 0.001) target = step;
    }
  }
  target = std::min(target, fittingScale(target));
  if (isMaximized()) showNormal();
  setScale(target);
  keepOnScreen();
  saveScale_->start();
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

void Tablero::rememberScale() {
  saveScale_->stop();
  QSettings(QString::fromUtf8(kSettingsName), QString::fromUtf8(kSettingsName))
      .setValue(QString::fromUtf8(kScaleKey), scale_);
}

// Moves the window back inside the screen's available area where it reaches out of it.
void Tablero::keepOnScreen() {
  const QScreen* screen = this->screen();
  if (screen == nullptr) return;
  const QRect room = screen->availableGeometry();
  QRect frame = frameGeometry();
  if (frame.right() > room.right()) frame.moveRight(room.right());
  if (frame.bottom() > room.bottom()) frame.moveBottom(room.bottom());
  if (frame.left() < room.left()) frame.moveLeft(room.left());
  if (frame.top() < room.top()) frame.moveTop(room.top());
  if (frame.topLeft() != frameGeometry().topLeft()) move(frame.topLeft());
}

// The window resized by its corner or maximised: the layout takes the largest scale at which it
// fits the new size, and is remembered.
bool Tablero::eventFilter(QObject* watched, QEvent* event) {
  if (watched == form_ && event->type() == QEvent::Resize && !resizing_ && clientHeight_ > 0) {
    const QSize size = form_->size();
    const QSize own = clientSizeAt(scale_);
    // A pixel or two off the scale's own size (a frame or menu bar measured differently) is the
    // same scale: taking the smaller one would shrink the window a little at every start.
    if (std::abs(size.width() - own.width()) > 2 || std::abs(size.height() - own.height()) > 2) {
      const double fits =
          std::min(double(size.width()) / kClientWidth, double(size.height()) / clientHeight_);
      scale_ = std::clamp(fits, smallestScale_, kLargestScale);
      saveScale_->start();
    }
    layOut();
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace vombel
