// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window's layout and zoom: the controls placed from the twips table at the window's scale,
// the scale fitted to the screen and remembered, and the style that scales with it.
#include "window/layout.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStyleFactory>
#include <QStyleOptionSlider>
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
constexpr int kBoardHeight = 193;        // eight rows of squares 24 pixels apart, and a border
constexpr double kSmallestScale = 0.25;  // only a screen smaller than the window at 1 needs it

// The zoom steps: those of Tablero::kZoomSteps, then every whole number above the last.
double zoomStepAbove(double scale) {
  for (double step : Tablero::kZoomSteps) {
    if (step > scale + 0.001) return step;
  }
  return std::floor(scale + 0.001) + 1;
}

double zoomStepBelow(double scale) {
  double below = std::min(scale, 1.0);
  for (double step : Tablero::kZoomSteps) {
    if (step < scale - 0.001) below = step;
  }
  return std::max(below, std::ceil(scale - 0.001) - 1);
}

// The game's settings, in vombel-chess/vombel-chess.conf of the user's configuration folder: the
// scale the window last had, and whether it marks the last move and lists the moves.
const char* const kSettingsName = "vombel-chess";
const char* const kScaleKey = "scale";
const char* const kLastMoveKey = "lastMoveMarked";
const char* const kMoveListKey = "moveListShown";

// Fusion, with the game window's controls, menus and message boxes in proportion to the
// window's scale: the check and radio indicators and their spacing, the scroll bar's buttons and
// arrows, the menus' margins, the boxes' icon, margins and buttons. At the normal size, and for
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
      case PM_ScrollBarExtent:
      case PM_MenuBarItemSpacing:
      case PM_MenuBarHMargin:
      case PM_MenuBarVMargin:
      case PM_MenuHMargin:
      case PM_MenuVMargin:
      case PM_MessageBoxIconSize:
      case PM_ButtonIconSize:
      case PM_LayoutLeftMargin:
      case PM_LayoutTopMargin:
      case PM_LayoutRightMargin:
      case PM_LayoutBottomMargin:
      case PM_LayoutHorizontalSpacing:
      case PM_LayoutVerticalSpacing: {
        const double scale = layoutScale(widget);
        return scale == 1 ? size : static_cast<int>(std::lround(size * scale));
      }
      default:
        return size;
    }
  }

  // Menu items and buttons: the room the style adds around their (scaled) text in proportion,
  // and a button at least as wide, in proportion, as one with a short caption.
  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                         const QWidget* widget) const override {
    const QSize size = QProxyStyle::sizeFromContents(type, option, contents, widget);
    const double scale = layoutScale(widget);
    if (scale == 1 || (type != CT_MenuBarItem && type != CT_MenuItem && type != CT_PushButton)) {
      return size;
    }
    const QSize padded = contents + (size - contents) * scale;
    if (type != CT_PushButton) return padded;
    return padded.expandedTo(QProxyStyle::sizeFromContents(type, option, QSize(), widget) * scale);
  }

  // The message boxes' icons at the box's size: Fusion's own pictures, where no larger ones
  // come with them, enlarged smoothly.
  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                     const QWidget* widget) const override {
    QIcon base = QProxyStyle::standardIcon(icon, option, widget);
    const double scale = layoutScale(widget);
    if (scale == 1 || (icon != SP_MessageBoxInformation && icon != SP_MessageBoxWarning &&
                       icon != SP_MessageBoxCritical && icon != SP_MessageBoxQuestion)) {
      return base;
    }
    const int side = pixelMetric(PM_MessageBoxIconSize, option, widget);
    const QPixmap largest = base.pixmap(QSize(side, side));
    if (largest.isNull() || largest.width() >= side) return base;
    return QIcon(largest.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  }

  // Fusion sizes the scroll bar's arrows by the dots per inch of the option's font: those of a
  // screen the scale times as dense draw them in proportion.
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override {
    const double scale = layoutScale(widget);
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || scale == 1 || slider == nullptr || widget == nullptr) {
      QProxyStyle::drawComplexControl(control, option, painter, widget);
      return;
    }
    QImage dense(1, 1, QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(std::lround(dense.dotsPerMeterY() * scale));
    dense.setDotsPerMeterX(dotsPerMeter);
    dense.setDotsPerMeterY(dotsPerMeter);
    QStyleOptionSlider denser = *slider;
    denser.fontMetrics = QFontMetrics(widget->font(), &dense);
    QProxyStyle::drawComplexControl(control, &denser, painter, widget);
  }
};

}  // namespace

QStyle* newScaledStyle() {
  return new ScaledStyle;
}

int scaled(int twips, double scale) {
  return static_cast<int>(std::lround(twips * scale / 15));
}

QFont fontAt(QFont font, double scale) {
  if (font.pixelSize() > 0) {
    font.setPixelSize(std::max(1, static_cast<int>(std::floor(font.pixelSize() * scale + 0.001))));
  } else {
    font.setPointSizeF(font.pointSizeF() * scale);
  }
  return font;
}

void Form::setLayout(double scale, QPoint origin) {
  scale_ = scale;
  origin_ = origin;
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
  const int left = origin_.x();
  const int top = origin_.y();
  for (const Twips& r : shapes) {
    outline(p, QRect(left + at(r.left), top + at(r.top), at(r.width), at(r.height)), line,
            Qt::black);
  }
  // Line1, along the top edge, across the whole form when it is wider than the layout.
  p.fillRect(0, 0, std::max(width(), left + at(3120)), line, Qt::black);
  // Line2, between the clocks.
  p.fillRect(left + at(1560), top + at(6120), line, at(6840) - at(6120), Qt::black);
}

double layoutScale(const QWidget* widget) {
  const QWidget* window = widget == nullptr ? nullptr : widget->window();
  // The game window's menus and message boxes are windows of their own, opened from it.
  if (window != nullptr && window->parentWidget() != nullptr &&
      (qobject_cast<const QMenu*>(window) != nullptr ||
       qobject_cast<const QMessageBox*>(window) != nullptr)) {
    window = window->parentWidget()->window();
  }
  const auto* tablero = qobject_cast<const Tablero*>(window);
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

// The scale the window last had, as large as the screen allows; at the first start one for the
// screen.
void Tablero::restoreScale() {
  menuHeight_ = menuBar()->sizeHint().height();
  const QSettings stored(QString::fromUtf8(kSettingsName), QString::fromUtf8(kSettingsName));
  const QVariant wanted = stored.value(QString::fromUtf8(kScaleKey));
  const double last = wanted.toDouble();
  if (!wanted.isValid()) {
    scale_ = firstScale();
  } else {
    scale_ = fittingScale(std::isfinite(last) ? std::max(last, 1.0) : 1.0);
  }
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

// The menu bar's height at a scale: its own at the normal size and below, where a narrow window
// may wrap its menus onto a second row, and above in proportion.
int Tablero::menuHeightAt(double scale) const {
  if (scale > 1) return static_cast<int>(std::lround(menuHeight_ * scale));
  if (menuScale_ > 1) return menuHeight_;
  return std::max(menuHeight_, menuBar()->heightForWidth(clientSizeAt(scale).width()));
}

// The window's outer size, menu bar included, for the layout at a scale.
QSize Tablero::windowSizeAt(double scale) const {
  const QSize client = clientSizeAt(scale);
  return {client.width(), menuHeightAt(scale) + client.height()};
}

// The largest scale at which the window fits room: the scale the room's width and height allow,
// lowered while rounding leaves the window a pixel too large.
double Tablero::scaleFitting(QSize room) const {
  const auto fits = [&](double scale) {
    const QSize size = windowSizeAt(scale);
    return size.width() <= room.width() && size.height() <= room.height();
  };
  double fitted = std::min(double(room.width()) / clientWidth(),
                           double(room.height() - menuHeight_) / clientHeight_);
  if (fitted > 1) fitted = std::min(fitted, double(room.height()) / (clientHeight_ + menuHeight_));
  while (fitted > kSmallestScale && !fits(fitted))
    fitted -= 0.001;
  return std::max(fitted, kSmallestScale);
}

double Tablero::fittingScale(double wanted) const {
  const QScreen* screen = this->screen();
  if (screen == nullptr) return wanted;
  // The window manager's frame, or room for a usual one before the window is shown.
  QSize frame = frameGeometry().size() - geometry().size();
  if (!isVisible()) frame = frame.expandedTo(QSize(8, 40));
  return std::min(wanted, scaleFitting(screen->availableGeometry().size() - frame));
}

// The scale of the first start: the zoom step at which the board takes nearest a third of the
// screen's height (2 on a screen 1200 pixels high, 3.5 on one 2160 high), as large as fits.
double Tablero::firstScale() const {
  const QScreen* screen = this->screen();
  if (screen == nullptr) return 1;
  const double third = screen->availableGeometry().height() / 3.0 / kBoardHeight;
  double nearest = 1;
  for (double step = 1; step < third + 1; step = zoomStepAbove(step)) {
    if (std::abs(step - third) < std::abs(nearest - third)) nearest = step;
  }
  return fittingScale(nearest);
}

// The menu bar and its menus at the scale: the menu bar as high as menuHeightAt says, and their
// font the largest whole pixel size whose menu titles fit it; their margins through the style.
void Tablero::scaleMenus() {
  if (menuScale_ == scale_) return;
  menuScale_ = scale_;
  QFont font;  // the menus' own at the normal size and below
  const int height = menuHeightAt(scale_);
  if (scale_ > 1) {
    font = QApplication::font(menuBar());
    font.setPixelSize(QFontInfo(font).pixelSize());
    font = fontAt(font, scale_);
    for (menuBar()->setFont(font); menuBar()->sizeHint().height() > height && font.pixelSize() > 1;
         menuBar()->setFont(font)) {
      font.setPixelSize(font.pixelSize() - 1);
    }
  } else {
    menuBar()->setFont(font);
  }
  for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
    menu->setFont(font);
  }
  menuBar()->setMinimumHeight(scale_ > 1 ? height : 0);
  menuBar()->setMaximumHeight(scale_ > 1 ? height : QWIDGETSIZE_MAX);
}

// Makes every control, line, picture and caption take its size at scale, and the window the size
// of the layout. At 1 every control has its rectangle of the twips table in whole pixels.
void Tablero::setScale(double scale) {
  scale_ = scale;
  resizing_ = true;
  scaleMenus();
  setMinimumSize(windowSizeAt(std::min(scale, smallestScale_)));
  if (!isMaximized() && !isFullScreen()) resize(windowSizeAt(scale));
  resizing_ = false;
  layOut();
}

// The layout in the middle of the form, which is larger where the window's shape differs.
void Tablero::layOut() {
  const double s = scale_;
  const auto at = [s](int twips) { return scaled(twips, s); };
  const QSize size = clientSizeAt(s);
  origin_ = QPoint(std::max(0, (form_->width() - size.width()) / 2),
                   std::max(0, (form_->height() - size.height()) / 2));
  static_cast<Form*>(form_)->setLayout(s, origin_);
  const auto put = [this](QWidget* widget, int x, int y, int width, int height) {
    widget->setGeometry(origin_.x() + x, origin_.y() + y, width, height);
  };
  for (const auto& [widget, r] : twips_) {
    put(widget, at(r.left()), at(r.top()), at(r.width()), at(r.height()));
  }
  // Neighbouring squares share their border: each reaches over the next one's by the border's
  // width, as at the normal size 25-pixel squares lie 24 pixels apart.
  const int border = lineWidth(s);
  for (int a = 0; a < 64; ++a) {
    const int column = a % 8;
    const int row = a / 8;
    const int x = at(kFirstSquare.left + kSquareStep * column);
    const int y = at(kFirstSquare.top + kSquareStep * row);
    put(squares_[a], x, y, at(kFirstSquare.left + kSquareStep * (column + 1)) - x + border,
        at(kFirstSquare.top + kSquareStep * (row + 1)) - y + border);
    squares_[a]->setScale(s);
  }
  for (QLabel* label : framed_) {
    label->setLineWidth(border);
  }
  form_->setFont(fontAt(font_, s));
  label1_->setFont(fontAt(titleFont_, s));
  put(moveList_, at(kMoveList.left), at(kMoveList.top), at(kMoveList.width), at(kMoveList.height));
  moveList_->setLineWidth(border);
  moveList_->setSpacing(at(30));
}

// The zoom commands: one zoom step up or down, as far as the screen allows; 0 is the normal size.
// Zoom In where the next step does not fit does nothing.
void Tablero::zoom(int steps) {
  double target = 1;
  if (steps > 0) {
    target = zoomStepAbove(scale_);
    if (fittingScale(target) < target - 0.001) return;
  } else if (steps < 0) {
    target = zoomStepBelow(scale_);
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

// Moves the window back inside the screen's available area where it reaches out of it: the top
// last, so that a window taller than the room keeps its title bar on the screen.
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
// fits the new size, in its middle, and is remembered.
bool Tablero::eventFilter(QObject* watched, QEvent* event) {
  if (watched == form_ && event->type() == QEvent::Resize && !resizing_ && clientHeight_ > 0) {
    // A pixel or two off a scale's own size (a frame or menu bar measured differently, a window
    // manager's rounding) is that scale: taking the smaller one would shrink the window a little
    // at every start. So is a zoom step's size, as a window given back its size after being
    // maximised has, rather than the scale its width happens to round to (3.5015 for 3.5).
    const auto near = [this](double scale) {
      const QSize own = windowSizeAt(scale);
      return std::abs(width() - own.width()) <= 2 && std::abs(height() - own.height()) <= 2;
    };
    if (!near(scale_)) {
      scale_ = std::max(scaleFitting(size()), smallestScale_);
      const double step = zoomStepBelow(scale_ + 0.002);
      if (step >= 1 && near(step)) scale_ = step;
      scaleMenus();
      saveScale_->start();
    }
    layOut();
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace vombel
