// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/board_square.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cassert>
#include <cmath>

#include "window/pictures.h"

namespace vombel {

// A warm orange, drawn as a flat two-pixel ring: it stands out on white and grey squares and
// cannot be taken for the selection's blue sunken bevel.
QColor focusFrameColour() {
  return QColor(255, 140, 0);
}

QColor lastMoveTint() {
  return QColor(155, 199, 0, 105);
}

QColor refusedTint() {
  return QColor(230, 0, 0, 120);
}

int lineWidth(double scale) {
  return std::max(1, static_cast<int>(std::lround(scale)));
}

void outline(QPainter& p, const QRect& r, int thickness, const QColor& colour) {
  p.fillRect(r.left(), r.top(), r.width(), thickness, colour);
  p.fillRect(r.left(), r.bottom() - thickness + 1, r.width(), thickness, colour);
  p.fillRect(r.left(), r.top(), thickness, r.height(), colour);
  p.fillRect(r.right() - thickness + 1, r.top(), thickness, r.height(), colour);
}

Square::Square(int index, QWidget* parent) : QWidget(parent), index_(index) {
  assert(index >= 0 && index < 64);
  setObjectName(QStringLiteral("c%1").arg(index));
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The mouse never moves the keyboard focus onto a square; Tab reaches only the board's one stop.
  setFocusPolicy(index == kFirstFocus ? Qt::TabFocus : Qt::NoFocus);
}

bool Square::setState(int picture, int appearance) {
  if (picture == picture_ && appearance == appearance_) return false;
  const bool selectionChanged = (appearance != 0) != (appearance_ != 0);
  picture_ = picture;
  appearance_ = appearance;
  update();
  // Screen readers hear the new contents; the name says what the square shows (accessible.cpp).
  QAccessibleEvent named(this, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&named);
  if (selectionChanged) {
    QAccessible::State selected;
    selected.selected = true;
    QAccessibleStateChangeEvent changed(this, selected);
    QAccessible::updateAccessibility(&changed);
    // The AT-SPI bridge passes the selected state on only from a selection event.
    QAccessibleEvent selection(
        this, appearance != 0 ? QAccessible::SelectionAdd : QAccessible::SelectionRemove);
    QAccessible::updateAccessibility(&selection);
  }
  if (hasFocus()) emit changedWhileFocused(index_);
  return true;
}

// The frame is drawn while the square has the focus and the keyboard is in use: it shows when
// the window gains the focus and after any key, and hides after a mouse click until the next key.
bool Square::focusFrameShown() const {
  return hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

void Square::setLastMove(bool on) {
  if (on == lastMove_) return;
  lastMove_ = on;
  update();
}

void Square::setRefused(bool on) {
  if (on == refused_) return;
  refused_ = on;
  update();
}

void Square::setScale(double scale) {
  if (scale == scale_) return;
  scale_ = scale;
  update();
}

// Every line is as many pixels wide as the scale rounds to, at least one; the picture fills what
// the border leaves.
void Square::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int w = width();
  const int h = height();
  const int line = lineWidth(scale_);
  // The picture's pixels for the square's size on the screen: the set that fits, scaled smoothly
  // between sets, shown at the widget's own ratio. It covers the whole inside: at some scales
  // 23 * scale rounds to a pixel less than the inside (41 pixels in a 42-pixel column at 1.8),
  // and a pixel left unpainted would keep what was drawn there last, such as the focus frame.
  const qreal ratio = devicePixelRatioF();
  const int inside = std::max(w, h) - 2 * line;
  const qreal pictureRatio =
      std::max(scale_ * ratio, std::ceil(inside * ratio - 0.001) / kPictureSide);
  QPixmap picture = squarePicture(std::clamp(picture_, 0, 26), pictureRatio);
  if (picture.isNull()) {
    p.fillRect(rect(), palette().window());
  } else {
    picture.setDevicePixelRatio(ratio > 1 ? ratio : 1);
    p.drawPixmap(line, line, picture);
  }
  if (refused_ || lastMove_) {
    p.fillRect(rect().adjusted(line, line, -line, -line),
               refused_ ? refusedTint() : lastMoveTint());
  }
  const bool focusFrame = focusFrameShown();
  if (appearance_ != 0) {
    // Selected: a two-line sunken bevel in the highlight colour, dark above and to the left,
    // light below and to the right, which stands out on white and grey squares alike. It covers
    // only the pictures' blank margins; inside a focus frame it moves two lines inwards.
    const QColor accent = palette().color(QPalette::Highlight);
    const int shift = focusFrame ? 2 * line : 0;
    const auto bevel = [&](int inset, const QColor& topLeft, const QColor& bottomRight) {
      const int l = inset, t = inset, r = w - inset, b = h - inset;  // r and b: one past
      p.fillRect(l, t, r - l, line, topLeft);
      p.fillRect(l, t, line, b - t, topLeft);
      p.fillRect(l + line, b - line, r - l - line, line, bottomRight);
      p.fillRect(r - line, t + line, line, b - t - line, bottomRight);
    };
    bevel(line + shift, accent.darker(250), accent.lighter(150));
    bevel(2 * line + shift, accent.darker(150), accent.lighter(120));
  }
  if (focusFrame) {
    // Just inside the border, so that it is whole although the right and bottom neighbours cover
    // this square's last columns and rows.
    outline(p, rect().adjusted(line, line, -line, -line), 2 * line, focusFrameColour());
  }
  // The border, shared with the neighbours, which lie a border's width over this square.
  outline(p, rect(), line, Qt::black);
}

void Square::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  if (pressed_ && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
    // The mouse is in use: hide the focus frame, wherever it is, until the next key.
    window()->setAttribute(Qt::WA_KeyboardFocusChange, false);
    if (auto* focused = qobject_cast<Square*>(QApplication::focusWidget())) focused->update();
  }
}

// A click is a press and a release of the left button over the same square.
void Square::mouseReleaseEvent(QMouseEvent* event) {
  const bool clickedHere =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  if (clickedHere) click();
}

// Arrows move the focus one square, stopping at the edges; Up goes towards the top of the screen,
// the computer's side. Space and Enter click the square.
void Square::keyPressEvent(QKeyEvent* event) {
  if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
    QWidget::keyPressEvent(event);
    return;
  }
  const int row = index_ / 8;
  const int column = index_ % 8;
  int target = index_;
  bool clicks = false;
  switch (event->key()) {
    case Qt::Key_Up:
      if (row > 0) target -= 8;
      break;
    case Qt::Key_Down:
      if (row < 7) target += 8;
      break;
    case Qt::Key_Left:
      if (column > 0) target -= 1;
      break;
    case Qt::Key_Right:
      if (column < 7) target += 1;
      break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      clicks = true;
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
  if (!window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
    window()->setAttribute(Qt::WA_KeyboardFocusChange);
    update();
  }
  if (target != index_) passFocus(target);
  // A held key clicks once: a second click would put the selection back.
  if (clicks && !event->isAutoRepeat()) click();
}

void Square::passFocus(int target) {
  assert(target >= 0 && target < 64);
  auto* next = parentWidget()->findChild<Square*>(QStringLiteral("c%1").arg(target),
                                                  Qt::FindDirectChildrenOnly);
  assert(next != nullptr);
  next->setFocusPolicy(Qt::TabFocus);
  next->setFocus(Qt::OtherFocusReason);
  setFocusPolicy(Qt::NoFocus);
}

// The window gaining the focus shows the frame again (the keyboard may be used next); the mouse
// and the menus do not.
void Square::focusInEvent(QFocusEvent* event) {
  const Qt::FocusReason reason = event->reason();
  if (reason != Qt::MouseFocusReason && reason != Qt::PopupFocusReason &&
      reason != Qt::MenuBarFocusReason) {
    window()->setAttribute(Qt::WA_KeyboardFocusChange);
  }
  update();
}

void Square::focusOutEvent(QFocusEvent*) {
  update();
}

}  // namespace vombel
