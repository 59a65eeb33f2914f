// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Compiler hints for the search's hot loops, in one place. On GCC and Clang they ask for a loop to
// be unrolled, for every call in a function to be inlined or for a function to be compiled for the
// popcnt instruction (with the test whether the CPU has it); elsewhere they expand to nothing, so
// the code stays standard C++20 and only its speed depends on the compiler.
#pragma once

#if defined(__GNUC__)
#define VOMBEL_PRAGMA(text) _Pragma(#text)
// Unrolls the next loop n times: a ray walk's direction becomes a constant in each copy.
#define VOMBEL_UNROLL(n) VOMBEL_PRAGMA(GCC unroll n)
// Inlines every call made by the function it precedes, recursively.
#define VOMBEL_FLATTEN [[gnu::flatten]]
// Keeps a function out of its callers: a path that a hot function seldom takes stays out of it.
#define VOMBEL_NOINLINE [[gnu::noinline]]
#else
#define VOMBEL_UNROLL(n)
#define VOMBEL_FLATTEN
#define VOMBEL_NOINLINE
#endif

// A variable of which every thread has a copy of its own: the search's state, so that candidates
// can be searched side by side. constinit: it needs no initialisation at run time, so no access
// calls a wrapper first. The program is one executable, so on GCC and Clang each copy lies at a
// fixed distance from the thread's pointer (the local-exec model): an access is one instruction,
// as for an ordinary variable. Definitions give an initialiser ({}), as constinit asks.
#if defined(__GNUC__)
#define VOMBEL_PER_THREAD constinit thread_local __attribute__((tls_model("local-exec")))
#else
#define VOMBEL_PER_THREAD constinit thread_local
#endif

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
// Compiles a function, and everything inlined into it, for x86 CPUs with the popcnt instruction:
// GCC then turns squareCount's additions into that one instruction. Such a function may run only
// where cpuHasBitCount() holds; the rest of the program stays portable.
#define VOMBEL_WITH_BIT_COUNT [[gnu::target("popcnt")]]
// The run-time library reads the CPU's features in a constructor that runs before the program's
// own, so this may initialise a global.
inline bool cpuHasBitCount() {
  return static_cast<bool>(__builtin_cpu_supports("popcnt"));
}
#else
#define VOMBEL_WITH_BIT_COUNT
inline bool cpuHasBitCount() {
  return false;
}
#endif
