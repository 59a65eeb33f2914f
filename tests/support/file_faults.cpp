// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/file_faults.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstring>

#include "tests/support/game_file.h"

namespace vombel::testing_support {

namespace {
// While scriptedCalls > 0, each getrandom call fills its buffer with the byte scriptedBytes[k] of
// its turn k: byte 0 names the temporary file "….AAAAAA", byte 1 "….BBBBBB", and so on.
int scriptedNext = 0;
unsigned char scriptedBytes[8];
}  // namespace

int scriptedCalls = 0;
bool noUnnamedFiles = false;
int createError = 0;
std::function<void()> beforeReading;
int fileSyncError = 0;
int fileSyncSignal = 0;
int folderSyncError = 0;
int fileSyncs = 0;
long syncedSize = -1;
std::string gameAtSync;
int renameError = 0;
int renameSignal = 0;

void scriptRandomBytes(std::initializer_list<unsigned char> bytes) {
  scriptedNext = 0;
  scriptedCalls = 0;
  for (const unsigned char byte : bytes)
    scriptedBytes[scriptedCalls++] = byte;
}

void resetFileFaults() {
  scriptRandomBytes({});
  noUnnamedFiles = false;
  createError = 0;
  beforeReading = nullptr;
  fileSyncError = 0;
  fileSyncSignal = 0;
  folderSyncError = 0;
  fileSyncs = 0;
  syncedSize = -1;
  gameAtSync.clear();
  renameError = 0;
  renameSignal = 0;
}

}  // namespace vombel::testing_support

using namespace vombel::testing_support;

extern "C" ssize_t getrandom(void* buffer, size_t length, unsigned int flags) {
  if (scriptedCalls > 0) {
    --scriptedCalls;
    std::memset(buffer, scriptedBytes[scriptedNext++], length);
    return static_cast<ssize_t>(length);
  }
  return syscall(SYS_getrandom, buffer, length, flags);
}

// The C library's declaration names the parameters __fd, __file and __oflag.
// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
extern "C" int openat(int folder, const char* path, int flags, ...) {
  mode_t mode = 0;
  if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
    va_list arguments;
    va_start(arguments, flags);
    mode = va_arg(arguments, mode_t);
    va_end(arguments);
  }
  if (noUnnamedFiles && (flags & O_TMPFILE) == O_TMPFILE) {
    errno = EOPNOTSUPP;
    return -1;
  }
  if (createError != 0 && (flags & (O_CREAT | O_EXCL)) == (O_CREAT | O_EXCL)) {
    errno = createError;
    return -1;
  }
  if (beforeReading && (flags & (O_ACCMODE | O_PATH | O_DIRECTORY)) == O_RDONLY) {
    const std::function<void()> change = std::move(beforeReading);
    beforeReading = nullptr;
    change();
  }
  return static_cast<int>(syscall(SYS_openat, folder, path, flags, mode));
}

extern "C" int fsync(int fd) {
  struct stat status {};
  if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode) && folderSyncError != 0) {
    errno = folderSyncError;
    return -1;
  }
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
    ++fileSyncs;
    syncedSize = static_cast<long>(status.st_size);
    struct stat game {};
    const bool readable = ::stat("juego.vmb", &game) == 0 && S_ISREG(game.st_mode);  // no FIFO
    gameAtSync = readable ? readFile("juego.vmb") : "";
    if (fileSyncSignal != 0) ::raise(fileSyncSignal);
    if (fileSyncError != 0) {
      errno = fileSyncError;
      return -1;
    }
  }
  return static_cast<int>(syscall(SYS_fsync, fd));
}

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
  if (renameSignal != 0) ::raise(renameSignal);
  if (renameError != 0) {
    errno = renameError;
    return -1;
  }
  return static_cast<int>(syscall(SYS_renameat2, fromFolder, from, toFolder, to, 0));
}
