// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One square of the board, the picture box c(a), for the mouse and the keyboard alike. The board
// is one tab stop: only the square holding the keyboard focus accepts Tab, and the arrow keys pass
// the focus on to a neighbour.
#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>

class QPainter;

namespace vombel {

// The colour of the keyboard's focus frames on the squares and the scroll bar.
QColor focusFrameColour();

// The translucent tints laid over a square's picture: its piece shows through, on light and dark
// squares alike. Yellow-green for the last move's two squares, red for a refused move's.
QColor lastMoveTint();
QColor refusedTint();

// The width in pixels of the lines of frames and borders at a scale: one at the normal size.
int lineWidth(double scale);

// The outline of a rectangle, thickness pixels wide on its inside.
void outline(QPainter& p, const QRect& r, int thickness, const QColor& colour);

// A shared store picture inside a single-line border, flat, or drawn sunken while it is the
// selected square; a coloured frame inside the border while it holds the keyboard focus.
class Square : public QWidget {
  Q_OBJECT

 public:
  // The square that takes the keyboard focus when the window opens: the bottom-left one, a1.
  static constexpr int kFirstFocus = 56;

  Square(int index, QWidget* parent);

  // Takes the picture number and appearance to show; true when either changed.
  bool setState(int picture, int appearance);
  // The layout's scale: 1 draws the 23-pixel picture inside a one-pixel border.
  void setScale(double scale);
  int index() const { return index_; }
  int shownPicture() const { return picture_; }
  int shownAppearance() const { return appearance_; }
  // The tints: a square of the last move, and of a move just refused (which shows over it).
  void setLastMove(bool on);
  void setRefused(bool on);
  bool lastMove() const { return lastMove_; }
  bool refused() const { return refused_; }

  // Clicks the square, as a press and release of the left mouse button over it does.
  void click() { emit clicked(index_); }

 signals:
  void clicked(int index);
  // What the square shows changed while it held the keyboard focus.
  void changedWhileFocused(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // Gives the keyboard focus, and the board's tab stop with it, to the square at target.
  void passFocus(int target);
  bool focusFrameShown() const;

  int index_;
  int picture_ = 0;
  int appearance_ = 0;
  double scale_ = 1;
  bool pressed_ = false;
  bool lastMove_ = false;
  bool refused_ = false;
};

}  // namespace vombel
