// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// For the window tests: the window's controls found by their object names, the end of the
// computer's turn, and message boxes answered as a user would.
#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QtGlobal>

#include "window/board_square.h"
#include "window/window.h"

namespace vombel::testing_support {

// Keeps the window's setting (its scale) in a scratch folder for the rest of the test program,
// away from the user's own configuration, starting at the normal size rather than the first
// start's size for the screen. Call before the first window is built.
inline void useScratchSettings() {
  static QTemporaryDir folder;
  if (!folder.isValid()) qFatal("no scratch folder for the settings");
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
  QSettings(QStringLiteral("vombel-chess"), QStringLiteral("vombel-chess"))
      .setValue(QStringLiteral("scale"), 1);
}

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

// Waits until the computer's turn under way in window, if any, is over; false after a minute.
inline bool turnOver(const Tablero* window) {
  return QTest::qWaitFor([window] { return !window->turnUnderWay(); }, 60000);
}

// Presses OK (or Yes) in every modal message box that opens while it lives, and keeps what each
// showed: its text, its icon and how many buttons it had. A file chooser gets the file of
// chooseFile (cancelled while there is none), and the file it offered is kept.
class ModalCloser {
 public:
  ModalCloser() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        texts_ << box->text();
        icons_ << box->icon();
        buttons_ << static_cast<int>(box->buttons().size());
        // OK, or Yes where the box asks (the chooser's "Do you want to replace it?").
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        (ok != nullptr ? ok : box->button(QMessageBox::Yes))->click();
      } else if (auto* chooser = qobject_cast<QFileDialog*>(modal);
                 chooser != nullptr && chooser != answered_) {
        answered_ = chooser;
        offered_ << chooser->selectedFiles().value(0);
        chooser->selectFile(chosen_);
        // Later, so that its question about a file already there opens outside this timer's call.
        QTimer::singleShot(0, chooser, [chooser, cancel = chosen_.isEmpty()] {
          if (cancel) {
            chooser->reject();
          } else {
            static_cast<QDialog*>(chooser)->accept();  // as its Save button does
          }
        });
      }
    });
    timer_.start(10);
  }
  void chooseFile(const QString& path) { chosen_ = path; }
  const QStringList& texts() const { return texts_; }
  const QList<QMessageBox::Icon>& icons() const { return icons_; }
  const QList<int>& buttons() const { return buttons_; }
  const QStringList& offered() const { return offered_; }

 private:
  QTimer timer_;
  QStringList texts_;
  QList<QMessageBox::Icon> icons_;
  QList<int> buttons_;
  QString chosen_;
  QStringList offered_;
  QPointer<QFileDialog> answered_;  // the chooser being answered
};

}  // namespace vombel::testing_support
