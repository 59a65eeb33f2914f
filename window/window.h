// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window tablero: Qt widgets that show the controls' plain state (platform/controls.h) and
// turn the user's clicks, keys and menu choices into calls of the game's handlers. No game logic
// lives here.
#pragma once

#include <QFont>
#include <QMainWindow>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>
#include <atomic>
#include <memory>
#include <utility>
#include <vector>

#include "window/board_square.h"

class QAction;
class QApplication;
class QCheckBox;
class QCloseEvent;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;

namespace vombel {

class Announcer;
class MoveList;
class ThinkingThread;
class TurnGate;

// Application-wide look shared by the game, its tests and the screenshot tool: the Fusion style
// and its own palette, so that the fixed pixel layout looks the same on every desktop, and the
// program's icon.
void prepareApplication(QApplication& app);

class Tablero : public QMainWindow {
  Q_OBJECT

 public:
  // Builds the window, installs itself as the game's view (GameView) and starts the first game.
  // One window exists at a time.
  explicit Tablero(QWidget* parent = nullptr);
  ~Tablero() override;

  // Makes every widget show the controls' state.
  void syncFromState();

  // True while the computer's turn is under way: from the handler that asked for it until its
  // move has been played and shown (or the turn abandoned).
  bool turnUnderWay() const { return turn_ != Turn::none; }

  // Tells screen readers the computer's move just played; called with the chime after it.
  void announceComputerMove();

  // A modal warning box over the window, as for a file that could not be used.
  void warn(const char* text);

  // Game > Exit, which message boxes carry too, so that Ctrl+X works while one is up.
  QAction* exitAction() const { return exitAction_; }

  // Client-area heights in pixels of the two layouts at the normal size.
  static constexpr int kFullClientHeight = 487;
  static constexpr int kCompactClientHeight = 256;
  // Client-area widths in pixels at the normal size: the board and its controls, and with the
  // move list beside them (full layout only).
  static constexpr int kClientWidth = 205;
  static constexpr int kClientWidthWithMoveList = 337;

  // Game > Mark Last Move and Game > Move List, remembered with the scale.
  void setLastMoveMarked(bool on);
  void setMoveListShown(bool on);

  // The size of the whole layout, menu bar and message boxes included: 1 is the normal size, 2
  // twice as wide and high. The window takes the size it needs; setScale is what Ctrl+Plus,
  // Ctrl+Minus and Ctrl+0 call, with the zoom steps that fit the screen: those of kZoomSteps, then
  // every whole number. Maximised or resized by hand the window takes any scale that fits it.
  static constexpr double kZoomSteps[] = {1, 1.25, 1.5, 1.75, 2, 2.5, 3, 3.5, 4};
  double scale() const { return scale_; }
  void setScale(double scale);

  // The largest scale up to wanted at which the window fits the screen's available area.
  double fittingScale(double wanted) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class View;
  enum class Turn { none, thinking, finishing };

  // The construction, the menus, the state's sync and the turn (window.cpp).
  void buildControls();
  void createMenus();
  template <typename Handler>
  void run(Handler handler);
  void clickSquare(int index);
  void showRefused(int from, int to);
  void putBackSelection();
  void exportGameAs();
  void startTurn();
  void turnThought(bool played);
  void abandonTurn();
  void showProgress();
  void setProgress(int value, int max);
  void endProgram();
  void keepGameAtEnd(bool told);

  // The layout and the zoom (layout.cpp).
  void place(QWidget* widget, const QRect& twips);
  void chooseFont();
  void restoreScale();
  void restoreChoices();
  void rememberChoice(const char* key, bool on);
  void fitClientSize(int height, bool withList);
  int clientWidth() const;
  void layOut();
  QSize clientSizeAt(double scale) const;
  int menuHeightAt(double scale) const;
  QSize windowSizeAt(double scale) const;
  double scaleFitting(QSize room) const;
  double firstScale() const;
  void scaleMenus();
  void zoom(int steps);
  void keepOnScreen();
  void rememberScale();

  QWidget* form_ = nullptr;
  std::array<Square*, 64> squares_{};
  QLabel* label1_ = nullptr;
  QPushButton* info_ = nullptr;
  QProgressBar* progreso_ = nullptr;
  QScrollBar* historia_ = nullptr;
  QLabel* lblJugada_ = nullptr;
  QLabel* tiempous_ = nullptr;
  QLabel* tiempoco_ = nullptr;
  QRadioButton* easy_ = nullptr;
  QRadioButton* difficult_ = nullptr;
  QCheckBox* boardsu_ = nullptr;
  QPushButton* force_ = nullptr;
  QTimer* timer1_ = nullptr;
  TurnGate* gate_ = nullptr;
  Announcer* announcer_ = nullptr;
  std::unique_ptr<View> view_;
  std::unique_ptr<ThinkingThread> thinker_;
  std::atomic<int> progressValue_{0};  // the search's last step, written by the thinking thread
  std::atomic<int> progressMax_{1};
  QTimer* progressTimer_ = nullptr;  // shows the step while the computer thinks
  Turn turn_ = Turn::none;
  bool turnWanted_ = false;     // a handler asked for the computer's turn
  int handlers_ = 0;            // handlers running, nested ones (under a message box) included
  bool gameKeptAtEnd_ = false;  // the game has been kept as the last game at the program's end
  bool quiet_ = false;          // warnings go to standard error: the program is ending
  bool closing_ = false;        // the program is ending: what follows a message box does nothing
  QAction* exitAction_ = nullptr;
  QAction* paste_ = nullptr;   // Paste Position, live in set-up mode
  QAction* resume_ = nullptr;  // Resume Last Game, live when there is one
  QString exportFolder_;       // where the next Export Game starts
  int clientHeight_ = kFullClientHeight;
  MoveList* moveList_ = nullptr;
  bool listInLayout_ = false;  // the move list is part of the layout now
  QAction* markAction_ = nullptr;
  QAction* listAction_ = nullptr;
  bool lastMoveMarked_ = true;
  bool moveListShown_ = true;
  std::array<int, 2> refused_{-1, -1};  // the squares showing a refused move
  QTimer* refusedTimer_ = nullptr;
  double scale_ = 1;
  int menuHeight_ = 0;        // the menu bar's at the normal size
  double menuScale_ = 1;      // the scale the menus show
  QPoint origin_;             // the layout's top-left corner on the form
  double smallestScale_ = 1;  // below 1 only on a screen too small for the normal size
  bool resizing_ = false;     // the window is being resized to the scale's size
  QTimer* saveScale_ = nullptr;
  std::vector<std::pair<QWidget*, QRect>> twips_;  // each control and its rectangle in twips
  std::vector<QLabel*> framed_;
  QFont font_;       // the controls' font at the normal size
  QFont titleFont_;  // Label1's
};

}  // namespace vombel
