// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A computer turn allocates nothing, with one search thread or several (started before, as the
// game starts them). This test program replaces the global operator new and interposes malloc,
// calloc and realloc with counting versions, and counts while computerMove runs on every position
// of the benchmark suite at both levels and on the crowded ones at Easy.
// A sanitizer brings its own allocator, so under one the counters are left out and the test is
// skipped.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "search/search.h"
#include "search/search_threads.h"
#include "tests/support/sanitized.h"
#include "tests/support/suite.h"

namespace {
// Any thread may allocate: the search threads as well as this one.
std::atomic<bool> counting = false;
std::atomic<unsigned long long> allocations = 0;

[[maybe_unused]] void count() {
  if (counting) ++allocations;
}
}  // namespace

#ifndef VOMBEL_SANITIZED
extern "C" {
// glibc's own allocator entry points, which the counting versions below forward to.
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
}

extern "C" {
void* malloc(std::size_t size) {
  count();
  return __libc_malloc(size);
}
// Parameter names as glibc declares them.
void* calloc(std::size_t __nmemb, std::size_t __size) {
  count();
  return __libc_calloc(__nmemb, __size);
}
void* realloc(void* __ptr, std::size_t __size) {
  count();
  return __libc_realloc(__ptr, __size);
}
}

void* operator new(std::size_t size) {
  count();
  if (void* p = __libc_malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void* operator new(std::size_t size, std::align_val_t align) {
  count();
  const auto a = static_cast<std::size_t>(align);
  if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t align) {
  return operator new(size, align);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
  std::free(p);
}
#endif

namespace vombel {
namespace {

TEST(NoAllocation, CountersSeeAnAllocation) {
#ifdef VOMBEL_SANITIZED
  GTEST_SKIP() << "a sanitizer owns the allocator";
#endif
  counting = true;
  allocations = 0;
  void* volatile p = std::malloc(16);
  std::free(p);
  // cppcheck-suppress unusedAllocatedMemory ; allocated only to be counted
  int* volatile q = new int(1);
  delete q;
  counting = false;
  EXPECT_EQ(allocations, 2u);
}

TEST(NoAllocation, ComputerTurnsOverTheSuite) {
#ifdef VOMBEL_SANITIZED
  GTEST_SKIP() << "a sanitizer owns the allocator";
#endif
  for (const int threads : {1, 3}) {
    ASSERT_TRUE(setSearchThreads(threads));
    for (const bool isDifficult : {false, true}) {
      for (const auto& file : testing::suiteFiles()) {
        ASSERT_TRUE(testing::loadTurn(file, isDifficult)) << file;
        allocations = 0;
        counting = true;
        computerMove();
        counting = false;
        EXPECT_EQ(allocations, 0u)
            << file << (isDifficult ? " difficult, " : " easy, ") << threads << " threads";
      }
    }
  }
  setSearchThreads(1);
}

TEST(NoAllocation, ComputerTurnsOverTheCrowdedPositions) {
#ifdef VOMBEL_SANITIZED
  GTEST_SKIP() << "a sanitizer owns the allocator";
#endif
  for (const int threads : {1, 3}) {
    ASSERT_TRUE(setSearchThreads(threads));
    for (const auto& file : testing::crowdedFiles()) {
      ASSERT_TRUE(testing::loadTurn(file, false)) << file;
      allocations = 0;
      counting = true;
      computerMove();
      counting = false;
      EXPECT_EQ(allocations, 0u) << file << ", " << threads << " threads";
    }
  }
  setSearchThreads(1);
}

}  // namespace
}  // namespace vombel
