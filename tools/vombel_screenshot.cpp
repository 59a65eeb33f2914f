// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// vombel-screenshot FILE.png: opens the game window without the last move's mark and the move
// list, plays a short opening through the squares' click events and saves a picture of the whole
// window, menu bar included. tools/screenshot.sh runs it without a display.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>

#include "window/window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: vombel-screenshot FILE.png\n");
    return 2;
  }
  vombel::prepareApplication(app);
  // The normal size, whatever size the user's own game window last had or the screen suggests.
  const QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  vombel::Tablero tablero;
  // The window as it was before it marked the last move and listed the moves: the picture the
  // window test compares the normal size with, pixel for pixel.
  tablero.setLastMoveMarked(false);
  tablero.setMoveListShown(false);
  tablero.setScale(1);
  tablero.show();
  // e2-e4, g1-f3, d2-d4, each answered by the computer before the next click.
  for (int a : {52, 36, 62, 45, 51, 35}) {
    auto* square = tablero.findChild<vombel::Square*>(QStringLiteral("c%1").arg(a));
    emit square->clicked(a);
    while (tablero.turnUnderWay())
      QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  QApplication::processEvents();
  if (!tablero.grab().save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "vombel-screenshot: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
