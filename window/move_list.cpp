// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/move_list.h"

#include <QEvent>
#include <QSignalBlocker>

#include "notation/record.h"

namespace vombel {

MoveList::MoveList(QWidget* parent) : QListWidget(parent) {
  setObjectName(QStringLiteral("moveList"));
  // Left to right and wrapped, each item as wide as its text: "1. e4 e5 2. Nf3 Nc6".
  setFlow(QListView::LeftToRight);
  setWrapping(true);
  setResizeMode(QListView::Adjust);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setFrameStyle(QFrame::Box | QFrame::Plain);
  // The user's choice, not the program's (follow blocks the signals).
  connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) emit chosen(row + 1);
  });
}

bool MoveList::showRecord(int last, int shown) {
  const QSignalBlocker block(this);
  bool changed = false;
  for (int entry = 1; entry <= last; ++entry) {
    char text[kMoveTextSize];
    writeMoveListText(entry, text);
    const QString s = QString::fromUtf8(text);
    if (entry > count()) {
      addItem(s);
      changed = true;
    } else if (item(entry - 1)->text() != s) {
      item(entry - 1)->setText(s);
      changed = true;
    }
  }
  while (count() > last) {
    delete takeItem(count() - 1);
    changed = true;
  }
  return follow(shown) || changed;
}

// Selecting an item moves no focus, but making it the current item tells screen readers that the
// focus went to it (QListView reports a new current item as focused): so the current item follows
// only while the list has the focus, and takes the selected one when the focus comes.
bool MoveList::follow(int shown) {
  QListWidgetItem* entry = shown >= 1 && shown <= count() ? item(shown - 1) : nullptr;
  const QList<QListWidgetItem*> selected = selectedItems();
  if (hasFocus() ? currentItem() == entry
                 : selected == (entry == nullptr ? QList<QListWidgetItem*>{} : QList{entry})) {
    return false;
  }
  if (hasFocus()) {
    setCurrentItem(entry);
  } else {
    clearSelection();
    if (entry != nullptr) entry->setSelected(true);
  }
  if (entry != nullptr) {
    scrollToItem(entry);
  } else {
    scrollToTop();
  }
  return true;
}

void MoveList::focusInEvent(QFocusEvent* event) {
  // The program's own choice of current item is no user's choice (follow blocks it likewise).
  const QSignalBlocker block(this);
  if (QListWidgetItem* shown = selectedItems().value(0)) setCurrentItem(shown);
  QListWidget::focusInEvent(event);
}

// The items take their size from the font, which the window's scale sets.
void MoveList::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) doItemsLayout();
  QListWidget::changeEvent(event);
}

}  // namespace vombel
