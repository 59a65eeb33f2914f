// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "files/end_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace vombel {

namespace {

constexpr int kEndingSignals[] = {SIGTERM, SIGHUP, SIGINT};

volatile sig_atomic_t caught = 0;  // the signal caught, 0 when none
int pipeEnds[2] = {-1, -1};        // read end, write end

// Async-signal-safe: a flag, a write that never blocks, errno as it was.
void noteEndingSignal(int number) {
  const int savedErrno = errno;
  caught = number;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
  errno = savedErrno;
}

}  // namespace

bool catchEndingSignals() {
  if (pipeEnds[0] < 0 && ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  struct sigaction action {};
  action.sa_handler = noteEndingSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (const int number : kEndingSignals)
    sigaddset(&action.sa_mask, number);
  for (const int number : kEndingSignals)
    ::sigaction(number, &action, nullptr);
  return true;
}

int endingSignalWatch() {
  return pipeEnds[0];
}

int endingSignal() {
  return caught;
}

void endAsSignalled() {
  const int number = caught != 0 ? static_cast<int>(caught) : SIGTERM;
  ::signal(number, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, number);
  ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(number);
  // cppcheck-suppress unreachableCode ; raise with the default action ends the program
  ::_exit(128 + number);
}

}  // namespace vombel
