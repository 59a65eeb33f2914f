#include "window/arrow_keys.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <cassert>

namespace vombel {

namespace {

class ArrowSteps : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    auto* bar = static_cast<QScrollBar*>(watched);
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
};

}  // namespace

void stepWithArrowKeys(QScrollBar* bar) {
  assert(bar != nullptr && bar->orientation() == Qt::Horizontal);
  bar->installEventFilter(new ArrowSteps(bar));
}

}  // namespace vombel
