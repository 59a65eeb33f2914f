// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/scroll_keys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <cassert>
#include <utility>

#include "window/board_square.h"

namespace vombel {

namespace {

class ScrollBarKeys : public QObject {
 public:
  ScrollBarKeys(QObject* parent, std::function<double()> scale)
      : QObject(parent), scale_(std::move(scale)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* bar = static_cast<QScrollBar*>(watched);
    switch (event->type()) {
      case QEvent::KeyPress:
        return step(bar, static_cast<QKeyEvent*>(event));
      case QEvent::Paint:
        if (!bar->hasFocus() || painting_) return false;
        // The bar paints itself first (this filter passes the event on once), then the frame.
        painting_ = true;
        QCoreApplication::sendEvent(bar, event);
        painting_ = false;
        {
          // Two lines wide at the normal size, in proportion to the window's scale.
          QPainter p(bar);
          outline(p, bar->rect(), 2 * lineWidth(scale_()), focusFrameColour());
        }
        return true;
      case QEvent::FocusIn:
      case QEvent::FocusOut:
        bar->update();
        return false;
      default:
        return false;
    }
  }

 private:
  static bool step(QScrollBar* bar, QKeyEvent* key) {
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    bool back = false;
    if (key->key() == Qt::Key_Left) {
      back = !bar->isRightToLeft();
    } else if (key->key() == Qt::Key_Right) {
      back = bar->isRightToLeft();
    } else {
      return false;
    }
    bar->triggerAction(back ? QAbstractSlider::SliderSingleStepSub
                            : QAbstractSlider::SliderSingleStepAdd);
    return true;
  }

  std::function<double()> scale_;
  bool painting_ = false;
};

}  // namespace

void keysForScrollBar(QScrollBar* bar, std::function<double()> scale) {
  assert(bar != nullptr && bar->orientation() == Qt::Horizontal);
  bar->installEventFilter(new ScrollBarKeys(bar, std::move(scale)));
}

}  // namespace vombel
