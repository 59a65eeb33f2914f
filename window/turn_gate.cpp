// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/turn_gate.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenuBar>
#include <algorithm>
#include <cstddef>

namespace vombel {

TurnGate::TurnGate(QMainWindow* window, QWidget* form)
    : QObject(window), window_(window), form_(form) {
  busyDelay_.setSingleShot(true);
  busyDelay_.setInterval(100);
  connect(&busyDelay_, &QTimer::timeout, this, [this] { showBusy(true); });
}

void TurnGate::begin() {
  if (on_) return;
  on_ = true;
  waiting_ = true;
  QCoreApplication::instance()->installEventFilter(this);
  // Posted events are delivered in order: whatever Qt delivers before this one was queued first.
  QMetaObject::invokeMethod(
      this,
      [this, turn = ++turns_] {
        if (turn == turns_) waiting_ = false;
      },
      Qt::QueuedConnection);
  busyDelay_.start();
}

void TurnGate::end(bool replay) {
  if (!on_) return;
  on_ = false;
  waiting_ = false;
  busyDelay_.stop();
  QCoreApplication::instance()->removeEventFilter(this);
  showBusy(false);
  if (replay) {
    replayDeferred();
  } else {
    deferred_.clear();
  }
}

bool TurnGate::isInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
      return true;
    default:
      return false;
  }
}

bool TurnGate::deferrable(QEvent::Type type) {
  return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
         type == QEvent::Shortcut;
}

void TurnGate::replayDeferred() {
  std::vector<Deferred> events = std::move(deferred_);
  deferred_.clear();
  for (std::size_t i = 0; i < events.size(); ++i) {
    Deferred& d = events[i];
    if (d.receiver.isNull()) continue;
    if (d.event->type() == QEvent::MouseButtonPress) {
      const auto released = std::find_if(events.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                         events.end(), [&](const Deferred& later) {
                                           return later.receiver == d.receiver &&
                                                  later.event->type() == QEvent::MouseButtonRelease;
                                         });
      if (released == events.end()) continue;
    }
    QCoreApplication::postEvent(d.receiver.data(), d.event.release());
  }
}

void TurnGate::showBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    form_->setCursor(Qt::BusyCursor);
    for (QAction* action : window_->findChildren<QAction*>()) {
      if (action->menu() != nullptr || action == exit_ || !action->isEnabled()) {
        continue;
      }
      action->setEnabled(false);
      greyed_.push_back(action);
    }
  } else {
    form_->unsetCursor();
    for (const QPointer<QAction>& action : greyed_) {
      if (!action.isNull()) action->setEnabled(true);
    }
    greyed_.clear();
  }
}

bool TurnGate::eventFilter(QObject* receiver, QEvent* event) {
  if (!isInput(event->type())) return false;
  if (event->type() == QEvent::Shortcut) {
    // Exit's shortcut, and the menu bar's Alt+letter that opens a menu as a click on it does.
    if (receiver == exit_ || receiver == window_->menuBar()) return false;
  } else {
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (widget == nullptr || widget->window() != window_) return false;
    if (window_->menuBar() == widget || window_->menuBar()->isAncestorOf(widget)) return false;
  }
  if (waiting_ && deferrable(event->type())) {
    deferred_.push_back({QPointer<QObject>(receiver), std::unique_ptr<QEvent>(event->clone())});
  }
  return true;
}

}  // namespace vombel
