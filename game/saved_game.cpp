// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/saved_game.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/controls.h"
#include "state/board_ops.h"
#include "state/history.h"

namespace vombel {

namespace {

// The file's limits. A line holds at most kMaxNumberLength characters (sign included) and its
// number lies within +-kMaxNumberMagnitude; anything longer or larger is refused before it is
// narrowed to a cell, so no number can wrap round to a piece code.
constexpr std::size_t kMaxNumberLength = 15;
constexpr long kMaxNumberMagnitude = 100000;
// The longest path a save or a load follows, its terminating NUL included.
constexpr std::size_t kPathBytes = PATH_MAX;
constexpr const char* kNotRegular = "not a regular file";
constexpr const char* kTooLarge = "too large for a saved game";
constexpr const char* kNotAGame = "not a saved game";

// A file being read, staged here until it has proved valid.
Board stagedHistory[kMaxHistory + 1];

int lastError = 0;                    // errno of the last failure, 0 for a refused file
const char* lastRefusal = kNotAGame;  // what a refused file is or holds

bool failWith(int error) {
  lastError = error != 0 ? error : EIO;
  return false;
}

bool refuse(const char* why) {
  lastError = 0;
  lastRefusal = why;
  return false;
}

// --- Reading ------------------------------------------------------------------------------

struct FileCloser {
  std::FILE* file;
  ~FileCloser() {
    if (file != nullptr) std::fclose(file);
  }
};

// The file being read, with a budget of bytes: a file that grows while it is read is still cut
// off at kLargestGameFile.
struct Input {
  std::FILE* file;
  long left = kLargestGameFile;
  bool overBudget = false;

  int get() {
    if (left == 0) {
      overBudget = std::fgetc(file) != EOF;
      return EOF;
    }
    --left;
    return std::fgetc(file);
  }
};

bool isBlank(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

// Reads the next line of f as a single whole number with any blanks around it. Returns false at
// the end of the file or when the line is anything else: a blank line, two numbers, or any other
// byte, a NUL included.
bool readNumber(Input& in, long& value) {
  char text[kMaxNumberLength + 1];
  std::size_t length = 0;
  bool ended = false;  // blank space has followed the number
  int ch;
  while ((ch = in.get()) != EOF && ch != '\n') {
    if (isBlank(static_cast<char>(ch))) {
      ended = length > 0;
      continue;
    }
    if (ended || length == sizeof text - 1) return false;
    text[length++] = static_cast<char>(ch);
  }
  // A sign, then only digits: checked over the whole length, so a NUL among them is refused.
  const std::size_t first = length > 0 && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (first == length) return false;
  for (std::size_t i = first; i < length; ++i) {
    if (std::isdigit(static_cast<unsigned char>(text[i])) == 0) return false;
  }
  text[length] = '\0';
  // At most 15 digits: far inside a 64-bit long, and strtol saturates where long is narrower.
  value = std::strtol(text, nullptr, 10);
  return value <= kMaxNumberMagnitude && value >= -kMaxNumberMagnitude;
}

// True when nothing but blank space is left in f.
bool onlyBlankSpaceLeft(Input& in) {
  int ch;
  while ((ch = in.get()) != EOF) {
    if (!isBlank(static_cast<char>(ch))) return false;
  }
  return true;
}

bool validCell(int x, int y, long value) {
  return isPlayable(x, y) ? isPieceCodeOrEmpty(static_cast<std::int32_t>(value)) : value == kBorder;
}

// Reads a whole game from in into stagedHistory; n receives the counter.
bool readGame(Input& in, int& n) {
  long counter = 0;
  if (!readNumber(in, counter) || counter < 0 || counter > kMaxHistory) return false;
  n = static_cast<int>(counter);
  for (int i = 0; i <= n; ++i) {
    for (int y = kLow; y <= kHigh; ++y) {
      for (int x = kLow; x <= kHigh; ++x) {
        long value = 0;
        if (!readNumber(in, value) || !validCell(x, y, value)) return false;
        stagedHistory[i](x, y) = static_cast<std::int32_t>(value);
      }
    }
  }
  return onlyBlankSpaceLeft(in);
}

// Refuses, without reading, what cannot be a saved game: anything but a regular file, or a file
// larger than any game.
bool refusedForWhatItIs(const struct stat& status) {
  if (!S_ISREG(status.st_mode)) return !refuse(kNotRegular);
  if (status.st_size > kLargestGameFile) return !refuse(kTooLarge);
  return false;
}

// --- Writing ------------------------------------------------------------------------------

void writeNumber(std::FILE* f, long value) {
  std::fprintf(f, value < 0 ? "%ld \r\n" : " %ld \r\n", value);
}

// Copies text into out; false (ENAMETOOLONG) when it does not fit.
bool copyPath(char (&out)[kPathBytes], const char* text) {
  if (std::snprintf(out, sizeof out, "%s", text) < static_cast<int>(sizeof out)) return true;
  return failWith(ENAMETOOLONG);
}

// Follows path while it names a symbolic link, so that a saved game kept as a link stays one and
// the file it points to is what a save replaces. A relative link is read from the link's own
// folder. out ends as the first name that is not a link, existing or not.
bool resolveLinks(const char* path, char (&out)[kPathBytes]) {
  if (!copyPath(out, path)) return false;
  for (int links = 0;; ++links) {
    struct stat entry;
    if (::lstat(out, &entry) != 0) return errno == ENOENT || failWith(errno);
    if (!S_ISLNK(entry.st_mode)) return true;
    if (links == 40) return failWith(ELOOP);
    char link[kPathBytes];
    const ssize_t length = ::readlink(out, link, sizeof link - 1);
    if (length < 0) return failWith(errno);
    if (static_cast<std::size_t>(length) == sizeof link - 1) return failWith(ENAMETOOLONG);
    link[length] = '\0';
    if (link[0] == '/') {
      if (!copyPath(out, link)) return false;
      continue;
    }
    // "saves/juego.vmb" -> "../games/g.vmb" becomes "saves/../games/g.vmb".
    char* slash = std::strrchr(out, '/');
    const std::size_t folder = slash == nullptr ? 0 : static_cast<std::size_t>(slash - out) + 1;
    if (folder + static_cast<std::size_t>(length) >= sizeof out) return failWith(ENAMETOOLONG);
    std::memcpy(out + folder, link, static_cast<std::size_t>(length) + 1);
  }
}

// Fills bytes with random bytes: from the kernel, or failing that from the clock, the process id
// and a counter. They only make names hard to guess; safety comes from O_EXCL.
void randomBytes(unsigned char* bytes, std::size_t count) {
  if (::getrandom(bytes, count, GRND_NONBLOCK) == static_cast<ssize_t>(count)) return;
  static unsigned long counter = 0;
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  unsigned long mix = static_cast<unsigned long>(now.tv_nsec) ^
                      (static_cast<unsigned long>(::getpid()) << 20) ^ (++counter * 0x9E3779B9UL);
  for (std::size_t i = 0; i < count; ++i) {
    mix = mix * 6364136223846793005UL + 1442695040888963407UL;
    bytes[i] = static_cast<unsigned char>(mix >> 56);
  }
}

// Creates a new file beside target, named target plus a dot and six random letters or digits,
// as mkstemp does: O_CREAT | O_EXCL never opens an existing name (a file, a hard link, a FIFO,
// a directory, a symbolic link, dangling or not) and O_NOFOLLOW refuses a link outright, so a
// name that is taken, by a stale temporary file or by anything planted there, only makes it try
// another. Unlike mkstemp it takes the mode, so the kernel applies the umask to a new game file
// as to any other. Returns the descriptor, or -1 with errno set.
int createTemporary(const char* target, char (&temporary)[kPathBytes], mode_t mode) {
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned char bytes[6];
    randomBytes(bytes, sizeof bytes);
    char suffix[sizeof bytes + 1];
    for (std::size_t i = 0; i < sizeof bytes; ++i)
      suffix[i] = kLetters[bytes[i] % (sizeof kLetters - 1)];
    suffix[sizeof bytes] = '\0';
    if (std::snprintf(temporary, sizeof temporary, "%s.%s", target, suffix) >=
        static_cast<int>(sizeof temporary)) {
      errno = ENAMETOOLONG;
      return -1;
    }
    const int fd = ::open(temporary, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Writes the game to f: the counter, then entries 0..n.
void writeGame(std::FILE* f) {
  const int n = currentMove();
  writeNumber(f, n);
  for (int i = 0; i <= n; ++i) {
    for (int y = kLow; y <= kHigh; ++y) {
      for (int x = kLow; x <= kHigh; ++x)
        writeNumber(f, gameHistory[i](x, y));
    }
  }
}

// Writes the game into the new temporary file fd and puts it on disk; fd is closed either way.
// Returns 0 or the errno of the step that failed.
int writeAndSync(int fd, bool keepMode, mode_t mode) {
  // A replaced file's permission bits go on before any of the game is written.
  if (keepMode && ::fchmod(fd, mode) != 0) {
    const int error = errno;
    ::close(fd);
    return error;
  }
  std::FILE* f = ::fdopen(fd, "wb");
  if (f == nullptr) {
    const int error = errno;
    ::close(fd);
    return error;
  }
  writeGame(f);
  int error = 0;
  if (std::fflush(f) != 0 || std::ferror(f) != 0) error = errno != 0 ? errno : EIO;
  if (error == 0 && ::fsync(::fileno(f)) != 0) error = errno;
  if (std::fclose(f) != 0 && error == 0) error = errno;
  return error;
}

// Puts the rename of a file in the folder of path on disk. A folder that cannot be opened for
// reading, or a file system that cannot sync folders (EINVAL), is passed over: the file itself
// is already on disk.
int syncFolderOf(const char* path) {
  char folder[kPathBytes];
  std::snprintf(folder, sizeof folder, "%s", path);
  char* slash = std::strrchr(folder, '/');
  if (slash == nullptr) {
    std::snprintf(folder, sizeof folder, ".");
  } else {
    slash[slash == folder ? 1 : 0] = '\0';  // "/juego.vmb" -> "/", "a/juego.vmb" -> "a"
  }
  const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return 0;
  int error = 0;
  if (::fsync(fd) != 0 && errno != EINVAL) error = errno;
  ::close(fd);
  return error;
}

}  // namespace

int gameFileError() {
  return lastError;
}

const char* gameFileReason() {
  return lastError != 0 ? std::strerror(lastError) : lastRefusal;
}

// The new text goes to a fresh temporary file beside the file it replaces, is synced, and is
// renamed over it: rename is atomic, so a reader, a second copy of the game saving at the same
// time or a power cut sees either the whole old file or the whole new one.
bool saveGameFile(const char* path) {
  assert(path != nullptr);
  char target[kPathBytes];
  if (!resolveLinks(path, target)) return false;

  // The replaced file's permission bits are kept; a new file gets 0644 less the umask.
  struct stat existing;
  bool replacing = false;
  mode_t mode = 0644;
  if (::stat(target, &existing) == 0) {
    if (!S_ISREG(existing.st_mode)) return refuse(kNotRegular);
    replacing = true;
    mode = existing.st_mode & 0777;
  } else if (errno != ENOENT) {
    return failWith(errno);
  }

  char temporary[kPathBytes];
  const int fd = createTemporary(target, temporary, replacing ? 0600 : mode);
  if (fd < 0) return failWith(errno);
  int error = writeAndSync(fd, replacing, mode);
  if (error == 0 && std::rename(temporary, target) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary);
    return failWith(error);
  }
  error = syncFolderOf(target);
  return error == 0 || failWith(error);
}

// Only a regular file is opened, so that a FIFO, a device or a socket can neither block the
// program nor act on being opened; O_NONBLOCK and a second look at the open descriptor cover a
// path that changes in between. Links are followed: a saved game may be a link, and Save keeps
// it one.
bool loadGameFile(const char* path) {
  assert(path != nullptr);
  struct stat status;
  if (::stat(path, &status) != 0) return failWith(errno);
  if (refusedForWhatItIs(status)) return false;
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return failWith(errno);
  FileCloser closer{::fdopen(fd, "rb")};
  if (closer.file == nullptr) {
    const int error = errno;
    ::close(fd);
    return failWith(error);
  }
  if (::fstat(fd, &status) != 0) return failWith(errno);
  if (refusedForWhatItIs(status)) return false;

  Input in{closer.file};
  int n = 0;
  if (!readGame(in, n)) {
    if (std::ferror(closer.file) != 0) return failWith(errno);
    return refuse(in.overBudget ? kTooLarge : kNotAGame);
  }

  // The whole file is valid: take it in.
  for (int i = 0; i <= n; ++i)
    copyWholeBoard(gameHistory[i], stagedHistory[i]);
  moveNumber = static_cast<float>(n);
  setHistoriaMax(n);
  setHistoriaValue(n);
  historia_Change();
  return true;
}

}  // namespace vombel
