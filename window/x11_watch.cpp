// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/x11_watch.h"

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QByteArray>
#include <QGuiApplication>
#include <QObject>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace vombel {

namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
  if (reply == nullptr) return XCB_ATOM_NONE;
  const xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atom;
}

// Sees every X event before Qt does; lives as long as the window.
class X11Watch : public QObject, public QAbstractNativeEventFilter {
 public:
  X11Watch(QWidget* window, std::function<void()> destroyed, xcb_connection_t* connection)
      : QObject(window),
        window_(window),
        destroyed_(std::move(destroyed)),
        protocols_(internAtom(connection, "WM_PROTOCOLS")),
        deleteWindow_(internAtom(connection, "WM_DELETE_WINDOW")) {
    QCoreApplication::instance()->installNativeEventFilter(this);
  }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* /*result*/) override {
    if (type != "xcb_generic_event_t") return false;
    const xcb_window_t id = static_cast<xcb_window_t>(window_->internalWinId());
    switch (static_cast<const xcb_generic_event_t*>(message)->response_type & 0x7f) {
      case XCB_DESTROY_NOTIFY:
        if (static_cast<const xcb_destroy_notify_event_t*>(message)->window == id) {
          destroyed_();
        }
        return false;
      case XCB_CLIENT_MESSAGE: {
        const auto* m = static_cast<const xcb_client_message_event_t*>(message);
        if (m->window != id || m->format != 32 || m->type != protocols_ ||
            m->data.data32[0] != deleteWindow_ || QApplication::activeModalWidget() == nullptr) {
          return false;  // Qt's own handling
        }
        window_->close();  // a close by the program is not held back by the box
        return true;
      }
      default:
        return false;
    }
  }

 private:
  QWidget* window_;
  std::function<void()> destroyed_;
  xcb_atom_t protocols_;
  xcb_atom_t deleteWindow_;
};

}  // namespace

void watchX11Window(QWidget* window, std::function<void()> destroyed) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->connection() == nullptr) return;
  new X11Watch(window, std::move(destroyed), x11->connection());
}

}  // namespace vombel
