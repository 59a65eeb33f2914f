// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game in chess notation beside the board.
#pragma once

#include <QListWidget>

namespace vombel {

// One item per recorded half-move, as the notation writes it for the move list ("1. e4", "e5",
// "2. Nf3", "(set-up)", "(resigns)"), flowing line after line as a game is printed; the item of
// the history entry shown is selected (none at the start). Choosing an item, by mouse or keyboard,
// asks for that entry; screen readers read a list whose items are named by their text.
class MoveList : public QListWidget {
  Q_OBJECT

 public:
  explicit MoveList(QWidget* parent);

  // Shows entries 1..last of the history and selects entry shown (0: none); true when anything
  // changed. Only the items whose text changed are replaced. Reads the notation's record:
  // notateHistory(last) first.
  bool showRecord(int last, int shown);

 signals:
  // The user chose the position after entry.
  void chosen(int entry);

 protected:
  void changeEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  bool follow(int shown);
};

}  // namespace vombel
