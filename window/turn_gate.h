// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window's input while the computer's turn is under way.
#pragma once

#include <QEvent>
#include <QMainWindow>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

class QAction;

namespace vombel {

// The computer thinks on a thread of its own while the window goes on taking its events, so it
// repaints, moves and can be closed; meanwhile this gate keeps the game's input out:
//
//   event, while the turn is under way               what happens
//   input already waiting when the turn began        played after it, in order
//   input to the board, buttons, bar, check box      dropped: nothing queues up
//   a shortcut other than Exit's                     dropped (played after it when waiting)
//   menu bar and its menus, by mouse or Alt+letter   open; every item but Exit greyed
//   Exit, the close button                           pass: they end the turn and the program
//
// Input is waiting when Qt delivers it before a marker posted as the turn begins: it was queued
// before the turn. After a tenth of a second the board shows the busy cursor.
class TurnGate : public QObject {
 public:
  TurnGate(QMainWindow* window, QWidget* form);

  // Exit: the one menu item and shortcut that stay live during a turn.
  void setExit(QAction* exit) { exit_ = exit; }

  // The turn begins: input is kept out from now on.
  void begin();

  // The turn has ended: the input kept out is let in again, and what was waiting when the turn
  // began is played, unless the turn was abandoned (replay false).
  void end(bool replay);

 protected:
  // Drops or keeps the game's input during a turn; see the table above.
  bool eventFilter(QObject* receiver, QEvent* event) override;

 private:
  struct Deferred {
    QPointer<QObject> receiver;
    std::unique_ptr<QEvent> event;
  };

  // Mouse, key, wheel, touch, tablet and shortcut events: what a user does to the window.
  static bool isInput(QEvent::Type type);
  // Clicks and shortcuts, the input a waiting user expects to see played.
  static bool deferrable(QEvent::Type type);

  // Posts the deferred events in their order; a press whose release was not among them would
  // leave half a click, and is dropped.
  void replayDeferred();

  // The busy cursor over the form, and every menu item but Exit greyed, or both undone.
  void showBusy(bool busy);

  QMainWindow* window_;
  QWidget* form_;
  QAction* exit_ = nullptr;
  QTimer busyDelay_;
  bool on_ = false;       // a turn is under way: the filter is installed
  bool waiting_ = false;  // the turn's marker has not come yet: input met was waiting
  unsigned turns_ = 0;    // turns begun, so that a late marker finds its turn ended
  bool busy_ = false;     // the busy cursor and the greyed items show
  std::vector<Deferred> deferred_;
  std::vector<QPointer<QAction>> greyed_;
};

}  // namespace vombel
