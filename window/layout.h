// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window's layout: where each control sits, in twips, and the pieces that draw it at any
// scale. The Tablero members that place, scale and zoom it are defined in layout.cpp.
#pragma once

#include <QFont>
#include <QPoint>
#include <QWidget>

class QPaintEvent;
class QStyle;

namespace vombel {

// The layout is designed in twips; 15 twips make one pixel at 96 dots per inch. Every value of
// the table below is a whole number of pixels at the normal size.
constexpr int px(int twips) {
  return twips / 15;
}

// A length in twips at a scale of the layout, rounded to whole pixels.
int scaled(int twips, double scale);

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
// Beside them all, from the board's top to Label6's bottom: the move list, shown only in the full
// layout, which it widens from 205 to 337 pixels (Tablero::kClientWidthWithMoveList).
constexpr Twips kMoveList    {3135,  480, 1800, 6735};
// clang-format on

// A font at a scale: pixel sizes rounded down, so that the text still fits what grows with it.
QFont fontAt(QFont font, double scale);

// The form itself: the rectangles Shape1..Shape4 and the lines Line1 and Line2 are drawn on its
// background, beneath every control, at the layout's scale and from its top-left corner.
class Form : public QWidget {
 public:
  using QWidget::QWidget;
  void setLayout(double scale, QPoint origin);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  double scale_ = 1;
  QPoint origin_;
};

// Fusion, with the game window's controls, menus and message boxes in proportion to the window's
// scale: the application's style.
QStyle* newScaledStyle();

// The scale of the game window that holds widget, or whose menu or message box it is in (see
// Tablero::scale); 1 for any other widget.
double layoutScale(const QWidget* widget);

}  // namespace vombel
