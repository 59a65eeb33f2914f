// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What screen readers hear: every square says its name, its contents and whether it is selected
// ("e2, white pawn, selected"); every other control says its caption or what it is for.
#pragma once

#include <QString>
#include <QWidget>

#include "state/board.h"

namespace vombel {

// Installs the accessibility interfaces of the squares and of the number labels. Once per
// program, before the first window is built: Qt keeps the interface it first made for a widget.
void installAccessibleInterfaces();

// Names the controls among window's children that have no caption of their own.
void describeControls(QWidget* window);

// The computer's move in words, found by comparing the position before it with the one after:
// "Black: pawn e7 to e5", "Black: knight takes pawn on d4", "Black castles king side", "Black:
// pawn d2 to d1, becomes a queen"; "Black resigns" when the position stayed as it was.
QString computerMoveWords(const Board& before, const Board& after);

// A move the game did not play, between two squares by screen index: "Not allowed: c2 to c5".
QString refusedMoveWords(int from, int to);

// Speaks for the window without showing anything: an empty alert whose name is the last text
// said. Each text is reported as a change of its name and as the alert appearing, which screen
// readers read out whichever square or control holds the focus.
class Announcer : public QWidget {
  Q_OBJECT

 public:
  explicit Announcer(QWidget* parent);
  void say(const QString& text);
  const QString& lastText() const { return text_; }

 signals:
  void said(const QString& text);

 private:
  QString text_;
};

}  // namespace vombel
