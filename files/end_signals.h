// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The signals that end the program when the desktop session ends or the terminal asks: SIGTERM,
// SIGHUP and SIGINT. Once caught, the handler only notes the signal and writes a byte to a pipe,
// which the program's event loop watches; the program then does what must be done before it ends
// (keep the game) outside the handler, in its own time.
#pragma once

namespace vombel {

// Catches the ending signals from now on. False, with errno set, when the pipe cannot be made;
// the signals then keep their default action.
bool catchEndingSignals();

// The end of the pipe to watch: readable once an ending signal has been caught. -1 before
// catchEndingSignals.
int endingSignalWatch();

// The ending signal caught, or 0 when none has been.
int endingSignal();

// Ends the program as the caught signal would have without a handler, so that whoever started it
// sees it ended by that signal (status 128 + the signal's number in a shell).
[[noreturn]] void endAsSignalled();

}  // namespace vombel
