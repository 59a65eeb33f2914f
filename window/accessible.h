// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What screen readers hear: every square says its name, its contents and whether it is selected
// ("e2, white pawn, selected"); every other control says its caption or what it is for.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include "state/board.h"

class QTimer;

namespace vombel {

// Installs the accessibility interfaces of the squares and of the number labels. Once per
// program, before the first window is built: Qt keeps the interface it first made for a widget.
void installAccessibleInterfaces();

// Names the controls among window's children that have no caption of their own.
void describeControls(QWidget* window);

class Square;

// What a square says: its name, its contents and whether it is selected ("e2, white pawn,
// selected").
QString squareWords(const Square* square);

// The computer's move in words, found by comparing the position before it with the one after:
// "Black pawn e7 to e5", "Black knight takes pawn on d4", "Black castles king side", "Black pawn
// d2 to d1, becomes a queen"; "Black resigns" when the position stayed as it was. No colon:
// screen readers read one aloud.
QString computerMoveWords(const Board& before, const Board& after);

// A move the game did not play, between two squares by screen index: "Not allowed, c2 to c5".
QString refusedMoveWords(int from, int to);

// Speaks for the window without showing anything. Orca 43 speaks a notification when it appears
// (it drops an alert's), and says no role name for one inside a status bar; so the announcer is
// an empty status bar holding an empty notification whose name is the last text said. Texts said
// within a short while are gathered and told as one notification, so that the computer's reply
// does not cut short what was said just before it.
class Announcer : public QWidget {
  Q_OBJECT

 public:
  explicit Announcer(QWidget* parent);

  // Tells text to screen readers, a moment later, with the others said meanwhile.
  void say(const QString& text);
  // Tells the texts gathered so far at once: a message box is about to be read out.
  void flush();
  // The notification's name: the texts it last told.
  const QString& lastText() const { return text_; }

  // How long texts are gathered before they are told.
  static constexpr int kGatherMilliseconds = 300;

 signals:
  // Each text, as say is called.
  void said(const QString& text);

 private:
  QWidget* notice_;
  QTimer* timer_;
  QStringList pending_;
  QString text_;
};

}  // namespace vombel
