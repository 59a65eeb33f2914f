// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/game_view.h"

namespace vombel {

namespace {

GameView quietView;
GameView* installed = &quietView;

}  // namespace

void GameView::progress(int /*value*/, int /*max*/) {}
void GameView::boardChanged() {}
void GameView::tell(const char* /*text*/) {}
void GameView::warn(const char* /*text*/) {}
void GameView::beep() {}
bool GameView::deferComputerMove() {
  return false;
}

GameView& gameView() {
  return *installed;
}

void setGameView(GameView* view) {
  installed = view != nullptr ? view : &quietView;
}

}  // namespace vombel
