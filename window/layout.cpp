// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window's layout and zoom: the controls placed from the twips table at the window's scale,
// the scale fitted to the screen and remembered, and the style that scales with it.
#include "window/layout.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStyleFactory>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>

#include "window/board_square.h"
#include "window/move_list.h"
#include "window/window.h"

namespace vombel {

namespace {

static_assert(Tablero::kClientWidthWithMoveList * 15 == kMoveList.left + kMoveList.width + 120);
constexpr double kLargestScale = Tablero::kZoomSteps[std::size(Tablero::kZoomSteps) - 1];
constexpr double kSmallestScale = 0.25;  // only a screen smaller than the window at 1 needs it

// The game's settings, in vombel-chess/vombel-chess.conf of the user's configuration folder: the
// scale the window last had, and whether it marks the last move and lists the moves.
const char* const kSettingsName = "vombel-chess";
const char* const kScaleKey = "scale";
const char* const kLastMoveKey = "lastMoveMarked";
const char* const kMoveListKey = "moveListShown";

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

}  // namespace

QStyle* newScaledStyle() {
  return new ScaledStyle;
}

int scaled(int twips, double scale) {
  return static_cast<int>(std::lround(twips * scale / 15));
}

void Form::setLayout(double scale, int left) {
  scale_ = scale;
  left_ = left;
  update();
}

void Form::paintEvent(QPaintEvent* /*event*/) {
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

double layoutScale(const QWidget* widget) {
  const auto* tablero =
      widget == nullptr ? nullptr : qobject_cast<const Tablero*>(widget->window());
  return tablero == nullptr ? 1 : tablero->scale();
}

// Puts a control at its rectangle in twips, at the normal size until the layout is scaled.
void Tablero::place(QWidget* widget, const QRect& twips) {
  twips_.emplace_back(widget, twips);
  widget->setGeometry(px(twips.left()), px(twips.top()), px(twips.width()), px(twips.height()));
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

// The layout at a client height: the compact window keeps Label1, the board and info; the
// controls below the client area are hidden so that the keyboard cannot reach them either. The
// move list, when chosen, widens the full layout only: the compact window is the board alone.
void Tablero::fitClientSize(int height, bool withList) {
  withList = withList && height == kFullClientHeight;
  if (height == clientHeight_ && withList == listInLayout_) return;
  clientHeight_ = height;
  listInLayout_ = withList;
  // Compared at the normal size, where every control's top is a whole pixel.
  for (const auto& [widget, twips] : twips_) {
    widget->setVisible(px(twips.top()) < height);
  }
  moveList_->setVisible(withList);
  // The full layout, larger than the compact one, may need a smaller scale to stay on screen.
  setScale(std::min(scale_, fittingScale(scale_)));
  if (isVisible()) keepOnScreen();
}

// The scale the window last had, as large as the screen allows.
void Tablero::restoreScale() {
  const QSettings stored(QString::fromUtf8(kSettingsName), QString::fromUtf8(kSettingsName));
  const double wanted = stored.value(QString::fromUtf8(kScaleKey), 1.0).toDouble();
  scale_ = std::isfinite(wanted) ? std::clamp(wanted, 1.0, kLargestScale) : 1.0;
  scale_ = fittingScale(scale_);
  smallestScale_ = std::min(1.0, scale_);
}

// Whether the window marks the last move and lists the moves, as last chosen: both at first.
void Tablero::restoreChoices() {
  const QSettings stored(QString::fromUtf8(kSettingsName), QString::fromUtf8(kSettingsName));
  lastMoveMarked_ = stored.value(QString::fromUtf8(kLastMoveKey), true).toBool();
  moveListShown_ = stored.value(QString::fromUtf8(kMoveListKey), true).toBool();
  markAction_->setChecked(lastMoveMarked_);
  listAction_->setChecked(moveListShown_);
}

void Tablero::rememberChoice(const char* key, bool on) {
  QSettings(QString::fromUtf8(kSettingsName), QString::fromUtf8(kSettingsName))
      .setValue(QString::fromUtf8(key), on);
}

void Tablero::setLastMoveMarked(bool on) {
  lastMoveMarked_ = on;
  markAction_->setChecked(on);
  rememberChoice(kLastMoveKey, on);
  syncFromState();
}

void Tablero::setMoveListShown(bool on) {
  moveListShown_ = on;
  listAction_->setChecked(on);
  rememberChoice(kMoveListKey, on);
  syncFromState();
}

int Tablero::clientWidth() const {
  return listInLayout_ ? kClientWidthWithMoveList : kClientWidth;
}

// The layout's size below the menu bar at a scale.
QSize Tablero::clientSizeAt(double scale) const {
  return {static_cast<int>(std::lround(clientWidth() * scale)),
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
  double fitted = std::min({wanted, double(room.width()) / clientWidth(),
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
  const int left = std::max(0, (form_->width() - at(clientWidth() * 15)) / 2);
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
  moveList_->setGeometry(left + at(kMoveList.left), at(kMoveList.top), at(kMoveList.width),
                         at(kMoveList.height));
  moveList_->setLineWidth(border);
  moveList_->setSpacing(at(30));
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
          std::min(double(size.width()) / clientWidth(), double(size.height()) / clientHeight_);
      scale_ = std::clamp(fits, smallestScale_, kLargestScale);
      saveScale_->start();
    }
    layOut();
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace vombel
