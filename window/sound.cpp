// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/sound.h"

#include <QApplication>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

namespace vombel {

namespace {

QPointer<QSoundEffect> chime;  // null when never loaded or when its owner is gone
BeepKind last = BeepKind::None;

}  // namespace

void prepareSound(QObject* owner) {
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return;
  delete chime;
  chime = new QSoundEffect(owner);
  chime->setSource(QUrl(QStringLiteral("qrc:/sounds/move.wav")));
  chime->setVolume(0.8f);
}

void beepAfterMove() {
  // A chime still loading plays as soon as it is loaded; one that failed to load never will.
  const bool audible = chime != nullptr && chime->status() != QSoundEffect::Error &&
                       !QMediaDevices::audioOutputs().isEmpty();
  if (audible) {
    chime->play();
    last = BeepKind::Chime;
  } else {
    QApplication::beep();
    last = BeepKind::Bell;
  }
}

BeepKind lastBeep() {
  return last;
}

}  // namespace vombel
