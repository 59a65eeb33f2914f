// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window while a handler runs: events taken during a long computer turn, input kept out.
#pragma once

#include <QElapsedTimer>
#include <QEvent>
#include <QMainWindow>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

class QAction;

namespace vombel {

// A handler runs to its end on this thread, and the computer's turn inside a click can take
// seconds. At each redraw the game asks for (every candidate of the search advances the progress
// bar) the window takes its pending events, so it repaints, moves and can be closed; meanwhile
// this gate keeps the game's input out:
//
//   event, while a handler runs                      what happens
//   input already waiting when the handler began     played after it, in order (first pass)
//   input to the board, buttons, bar, check box     dropped: nothing queues up
//   a shortcut other than Exit's                     dropped (deferred in the first pass)
//   menu bar and its menus, by mouse or Alt+letter   open; every item but Exit greyed
//   Exit, the close button                           end the program at once (closeEvent)
//   Timer1 ticks, any handler                        dropped: the player's clock stands still
//
// After a tenth of a second the board shows the busy cursor. Handlers that never redraw (About,
// Save) take no events of their own; the modal boxes they open run as they always did.
class TurnGate : public QObject {
 public:
  TurnGate(QMainWindow* window, QWidget* form) : QObject(window), window_(window), form_(form) {}

  // A handler starts; false when one is running and taking events, and this one must not run.
  bool enter();

  // The handler has ended: the last events that came during it are dropped, those that were
  // waiting before it are played.
  void leave();

  bool inHandler() const { return depth_ > 0; }

  // Exit: the one menu item and shortcut that stay live while a handler runs.
  void setExit(QAction* exit) { exit_ = exit; }

  // Takes the pending events, from inside the outermost handler of a window on screen.
  void pass();

 protected:
  // Drops or defers the game's input while a handler takes events; see the table above.
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
  int depth_ = 0;        // handlers running, nested ones included
  bool taking_ = false;  // the outermost handler has taken events: the filter is on
  int passes_ = 0;       // event passes of the outermost handler
  bool busy_ = false;    // the busy cursor and the greyed items show
  QElapsedTimer started_;
  std::vector<Deferred> deferred_;
  std::vector<QPointer<QAction>> greyed_;
};

}  // namespace vombel
