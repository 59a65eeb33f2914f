// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The thread on which the computer thinks while the window goes on handling its events.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vombel {

// One thread, started with its owner and ended with it, that runs work once for each start(),
// with search state of its own (the ply boards are per thread). Starting it while it works queues
// one more run.
class ThinkingThread {
 public:
  explicit ThinkingThread(std::function<void()> work);
  ThinkingThread(const ThinkingThread&) = delete;
  ThinkingThread& operator=(const ThinkingThread&) = delete;
  // Waits for the run under way, if any, to end, then ends the thread; a queued run is dropped.
  ~ThinkingThread();

  // Hands work one run; returns at once.
  void start();

  // Returns when no run is under way or queued.
  void waitUntilIdle();

 private:
  void loop();

  std::function<void()> work_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool queued_ = false;
  bool working_ = false;
  bool ending_ = false;
  std::thread thread_;  // last: it starts once the rest is set
};

}  // namespace vombel
