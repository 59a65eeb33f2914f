// Finding the window's controls by their object names, for the window tests.
#pragma once

#include <QString>
#include <QWidget>
#include <QtGlobal>

#include "window/board_square.h"

namespace vombel::testing_support {

// The child of window named name; ends the test program when there is none.
template <typename T>
T* namedChild(QWidget* window, const char* name) {
  T* widget = window->findChild<T*>(QString::fromUtf8(name));
  if (widget == nullptr) qFatal("no child %s", name);
  return widget;
}

// The square control c(a), a = 0..63.
inline Square* squareControl(QWidget* window, int a) {
  return namedChild<Square>(window, qPrintable(QStringLiteral("c%1").arg(a)));
}

}  // namespace vombel::testing_support
