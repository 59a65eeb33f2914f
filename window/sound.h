// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The beep after each computer move: a short chime of our own (window/sounds/move.wav, made by
// tools/make_sound.py) through the desktop's audio, or the system bell where there is no audio.
#pragma once

class QObject;

namespace vombel {

// How the last beep sounded: not yet, as the chime, or as the system bell.
enum class BeepKind { None, Chime, Bell };

// Loads the chime, owned by owner. On the offscreen and minimal platforms, which have nobody to
// listen (the window tests), it loads nothing and every beep rings the bell.
void prepareSound(QObject* owner);

// Plays the chime, or rings the bell when no audio output exists or the chime cannot play.
// Returns at once; the sound plays on while the event loop runs.
void beepAfterMove();

BeepKind lastBeep();

}  // namespace vombel
