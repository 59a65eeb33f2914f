// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// VOMBEL_SANITIZED is defined when the tests are built with a sanitizer, which brings its own
// allocator and slows the search down several times: tests that count allocations or that run
// a long search skip themselves then.
#pragma once

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
#define VOMBEL_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VOMBEL_SANITIZED 1
#endif
