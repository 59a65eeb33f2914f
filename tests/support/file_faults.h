// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Faults of the file system on demand, for the programs that test files against it. file_faults.cpp
// replaces five functions of the C library for the whole program that links it, passing through
// to the kernel unless a test asks otherwise: getrandom, which names the temporary files, so that
// a test can know the names a save will try and plant things there first; openat, so that a test
// can refuse unnamed files as a file system without them does, make creating fail, or change a
// file just before it is opened for reading; fsync, so that a test can see when the new file is
// synced, make a sync fail or send a signal there; and renameat, to make the rename fail or
// send a signal just before it.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>

namespace vombel::testing_support {

// Scripts the next getrandom calls, one byte each, in order: {0, 1} makes "….AAAAAA", "….BBBBBB".
void scriptRandomBytes(std::initializer_list<unsigned char> bytes);
extern int scriptedCalls;  // scripted calls not yet made

extern bool noUnnamedFiles;  // openat refuses O_TMPFILE (EOPNOTSUPP)
extern int createError;      // errno of every exclusive create (O_CREAT | O_EXCL), 0: none
extern std::function<void()> beforeReading;  // runs (once) before a file is opened to be read

extern int fileSyncError;       // errno of fsync on a regular file, 0: it passes
extern int fileSyncSignal;      // signal raised by fsync on a regular file, 0: none
extern int folderSyncError;     // errno of fsync on a folder, 0: it passes
extern int fileSyncs;           // syncs of regular files so far
extern long syncedSize;         // the size of the file at its last sync
extern std::string gameAtSync;  // what juego.vmb held at that moment ("" when missing)

extern int renameError;   // errno of renameat, 0: it passes
extern int renameSignal;  // signal raised just before renameat, 0: none

// Every fault off, the counts at 0.
void resetFileFaults();

}  // namespace vombel::testing_support
