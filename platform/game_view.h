// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The seam between the game and whatever shows it: the Qt window, the headless driver, or
// nobody at all.
#pragma once

namespace vombel {

// What the game tells the one who shows it. Only the handler layer calls it: the window's event
// handlers, the turn cycle and the computer's turn; painting, browsing the history and the
// player's clock only change the controls' state, which the window shows after each handler.
// Every method of this base does nothing, and it is the view in place until another is
// installed: the tests and the headless driver override what they watch, the window all of it.
class GameView {
 public:
  GameView() = default;
  GameView(const GameView&) = delete;
  GameView& operator=(const GameView&) = delete;
  virtual ~GameView() = default;

  // The computer's search has searched value of its max candidates (0: it starts). Called on
  // the thread that thinks, which need not be the one that handles the window's events.
  virtual void progress(int value, int max);

  // The controls changed in the middle of a handler and should show now, before it goes on.
  virtual void boardChanged();

  // A modal message ("Computer resignes", the About text); returns when it is closed.
  virtual void tell(const char* text);

  // A modal warning: a file that could not be saved or opened; returns when it is closed.
  virtual void warn(const char* text);

  // The computer has played its move (the chime, and the move for screen readers).
  virtual void beep();

  // The computer is to move. False (this base): the caller plays the whole turn at once. True:
  // the view plays it later on its own terms, the thinking part on a thread of its own and then
  // the finishing part on the handlers' thread.
  virtual bool deferComputerMove();
};

// The view installed, or the do-nothing base.
GameView& gameView();

// Installs view; nullptr puts the do-nothing base back. view must outlive its installation.
void setGameView(GameView* view);

}  // namespace vombel
