// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/thinking_thread.h"

#include <utility>

#include "state/new_game.h"

namespace vombel {

ThinkingThread::ThinkingThread(std::function<void()> work)
    : work_(std::move(work)), thread_([this] { loop(); }) {}

ThinkingThread::~ThinkingThread() {
  {
    const std::lock_guard lock(mutex_);
    ending_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void ThinkingThread::start() {
  {
    const std::lock_guard lock(mutex_);
    queued_ = true;
  }
  changed_.notify_all();
}

void ThinkingThread::waitUntilIdle() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !queued_ && !working_; });
}

void ThinkingThread::loop() {
  initPlyBoards();  // the search's boards are per thread: this one's borders are filled here
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return queued_ || ending_; });
    if (ending_) return;
    queued_ = false;
    working_ = true;
    lock.unlock();
    work_();
    lock.lock();
    working_ = false;
    changed_.notify_all();
  }
}

}  // namespace vombel
