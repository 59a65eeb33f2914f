// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/saved_game.h"

#include <fcntl.h>
#include <signal.h>
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
// The longest link text a save or a load follows, its terminating NUL included.
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

// Reads the next line of in as a single whole number with any blanks around it. Returns false at
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

// True when nothing but blank space is left to read from in.
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

// --- Finding the file ---------------------------------------------------------------------

// The most links a path may pass through, as the kernel allows.
constexpr int kMaxLinks = 40;
// The unwalked rest of a path with a link's text put in front: room for both.
constexpr std::size_t kPendingBytes = 2 * kPathBytes;
// The longest name in a folder, and a temporary name made from it, with their NULs.
constexpr std::size_t kNameBytes = NAME_MAX + 1;
constexpr std::size_t kTemporaryNameBytes = kNameBytes + 8;

char foreignLinkText[kNameBytes + 48];  // "NAME is a link owned by another user"

bool refuseForeignLink(const char* name) {
  std::snprintf(foreignLinkText, sizeof foreignLinkText, "%s is a link owned by another user",
                name);
  return refuse(foreignLinkText);
}

// A link another user could have planted: only the user's own links and root's are followed.
bool foreignLink(const struct stat& link) {
  return link.st_uid != ::geteuid() && link.st_uid != 0;
}

// Where a path leads: folder, a descriptor (O_PATH) of the folder that holds the file, and name,
// the file's name in it, which is not a link and may not exist yet. Every later step works
// relative to folder, so neither the length of the path nor a link swapped meanwhile matters.
struct Place {
  int folder = -1;
  char name[kNameBytes] = "";
  Place() = default;
  Place(const Place&) = delete;
  Place& operator=(const Place&) = delete;
  ~Place() {
    if (folder >= 0) ::close(folder);
  }
};

bool enterFolder(Place& place, int folder) {
  if (folder < 0) return failWith(errno);
  if (place.folder >= 0) ::close(place.folder);
  place.folder = folder;
  return true;
}

// Walks path one name at a time from the current folder (or the root), following links as the
// kernel would, so that a saved game kept as a link stays one and the file it points to is what
// a save replaces. Each link is opened without being followed and checked before its text is
// read: a link of another user (but root) is refused, as are more than kMaxLinks links.
//
//   "saves/juego.vmb" -> "../games/g.vmb": enter saves, meet the link juego.vmb, go on with
//   "../games/g.vmb" from saves: enter .., enter games, and g.vmb is the place's name.
bool findPlace(const char* path, Place& place) {
  char pending[kPendingBytes];
  if (std::snprintf(pending, sizeof pending, "%s", path) >= static_cast<int>(sizeof pending))
    return failWith(ENAMETOOLONG);
  if (pending[0] == '\0') return failWith(ENOENT);
  if (!enterFolder(place, ::open(pending[0] == '/' ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC)))
    return false;
  std::size_t at = 0;  // where the names not yet walked start in pending
  int links = 0;
  for (;;) {
    while (pending[at] == '/')
      ++at;
    if (pending[at] == '\0') return refuse(kNotRegular);  // "/" or a path ending in a link to it
    const std::size_t length = std::strcspn(pending + at, "/");
    if (length >= kNameBytes) return failWith(ENAMETOOLONG);
    char name[kNameBytes];
    std::memcpy(name, pending + at, length);
    name[length] = '\0';
    at += length;
    while (pending[at] == '/')
      ++at;
    const bool last = pending[at] == '\0';

    const int fd = ::openat(place.folder, name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && last) {
      std::memcpy(place.name, name, length + 1);
      return true;
    }
    if (fd < 0) return failWith(errno);
    struct stat entry;
    if (::fstat(fd, &entry) != 0) {
      const int error = errno;
      ::close(fd);
      return failWith(error);
    }
    if (S_ISDIR(entry.st_mode) && !last) {
      enterFolder(place, fd);
      continue;
    }
    if (!S_ISLNK(entry.st_mode)) {
      ::close(fd);
      if (!last) return failWith(ENOTDIR);
      std::memcpy(place.name, name, length + 1);
      return true;
    }

    if (foreignLink(entry)) {
      ::close(fd);
      return refuseForeignLink(name);
    }
    if (++links > kMaxLinks) {
      ::close(fd);
      return failWith(ELOOP);
    }
    char link[kPathBytes];
    const ssize_t linkLength = ::readlinkat(fd, "", link, sizeof link);
    const int error = errno;
    ::close(fd);
    if (linkLength < 0) return failWith(error);
    if (static_cast<std::size_t>(linkLength) == sizeof link) return failWith(ENAMETOOLONG);
    if (linkLength == 0) return failWith(ENOENT);
    link[linkLength] = '\0';
    // The link's text takes its place: the names after it follow, from the link's folder or
    // from the root.
    char joined[kPendingBytes];
    if (std::snprintf(joined, sizeof joined, "%s%s%s", link, last ? "" : "/", pending + at) >=
        static_cast<int>(sizeof joined))
      return failWith(ENAMETOOLONG);
    std::memcpy(pending, joined, std::strlen(joined) + 1);
    at = 0;
    if (link[0] == '/' && !enterFolder(place, ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC)))
      return false;
  }
}

// --- Writing ------------------------------------------------------------------------------

void writeNumber(std::FILE* f, long value) {
  std::fprintf(f, value < 0 ? "%ld \r\n" : " %ld \r\n", value);
}

// Fills bytes with random bytes: from the kernel, or failing that from the clock, the process id
// and a counter. They only make names hard to guess; safety comes from creating exclusively.
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

// Runs make(name) with a new name in the place's folder, the place's name plus a dot and six
// random letters or digits, as mkstemp names files, until make does not fail with EEXIST: a name
// that is taken, by a stale temporary file or by anything planted there, only makes it try
// another. make creates exclusively, so it never opens or replaces what is there. Returns make's
// result: 0 or the errno of its failure.
template <typename Make>
int withNewName(const Place& place, char (&temporary)[kTemporaryNameBytes], Make make) {
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned char bytes[6];
    randomBytes(bytes, sizeof bytes);
    char suffix[sizeof bytes + 1];
    for (std::size_t i = 0; i < sizeof bytes; ++i)
      suffix[i] = kLetters[bytes[i] % (sizeof kLetters - 1)];
    suffix[sizeof bytes] = '\0';
    std::snprintf(temporary, sizeof temporary, "%s.%s", place.name, suffix);
    const int error = make(temporary);
    if (error != EEXIST) return error;
  }
  temporary[0] = '\0';
  return EEXIST;
}

// Creates the new file as a named temporary file, where the file system has no unnamed ones:
// O_CREAT | O_EXCL never opens an existing name (a file, a hard link, a FIFO, a directory, a
// symbolic link, dangling or not) and O_NOFOLLOW refuses a link outright. The kernel applies the
// umask to mode, as to any new file. Returns the descriptor, or -1 with errno set.
int createNamedTemporary(const Place& place, char (&temporary)[kTemporaryNameBytes], mode_t mode) {
  int fd = -1;
  const int error = withNewName(place, temporary, [&](const char* name) {
    fd = ::openat(place.folder, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    return fd >= 0 ? 0 : errno;
  });
  if (error != 0) {
    temporary[0] = '\0';
    errno = error;
  }
  return fd;
}

// Gives the unnamed file fd the name `name` in folder; fails with EEXIST rather than replace
// anything. Through /proc any user may; without /proc only a privileged one.
int nameUnnamed(int fd, int folder, const char* name) {
  char self[32];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
  if (::linkat(AT_FDCWD, self, folder, name, AT_SYMLINK_FOLLOW) == 0) return 0;
  if (errno != ENOENT) return errno;
  return ::linkat(fd, "", folder, name, AT_EMPTY_PATH) == 0 ? 0 : errno;
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

// Writes the game into the new file fd and puts it on disk; fd stays open. Returns 0 or the
// errno of the step that failed.
int writeAndSync(int fd, bool keepMode, mode_t mode) {
  // A replaced file's permission bits go on before any of the game is written.
  if (keepMode && ::fchmod(fd, mode) != 0) return errno;
  const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (copy < 0) return errno;
  std::FILE* f = ::fdopen(copy, "wb");
  if (f == nullptr) {
    const int error = errno;
    ::close(copy);
    return error;
  }
  writeGame(f);
  int error = 0;
  if (std::fflush(f) != 0 || std::ferror(f) != 0) error = errno != 0 ? errno : EIO;
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (std::fclose(f) != 0 && error == 0) error = errno;
  return error;
}

// Puts the rename in the place's folder on disk. A folder that cannot be opened for reading, or
// a file system that cannot sync folders (EINVAL), is passed over: the file itself is already on
// disk.
int syncFolder(const Place& place) {
  const int fd = ::openat(place.folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return 0;
  int error = 0;
  if (::fsync(fd) != 0 && errno != EINVAL) error = errno;
  ::close(fd);
  return error;
}

// Puts the written file fd in the place of the game file. An unnamed file that replaces nothing
// is linked there directly; otherwise it gets a temporary name at this last moment and is renamed
// over the place, and the temporary name is removed if that fails. temporary holds the name of a
// file created named, or is empty.
int putInPlace(int fd, const Place& place, bool replacing, char (&temporary)[kTemporaryNameBytes]) {
  if (temporary[0] == '\0') {
    // EEXIST: another save made the file meanwhile, and it is replaced as any other.
    const int error = replacing ? EEXIST : nameUnnamed(fd, place.folder, place.name);
    if (error != EEXIST) return error;
    const int naming = withNewName(
        place, temporary, [&](const char* name) { return nameUnnamed(fd, place.folder, name); });
    if (naming != 0) return naming;
  }
  if (::renameat(place.folder, temporary, place.folder, place.name) == 0) return 0;
  const int error = errno;
  ::unlinkat(place.folder, temporary, 0);
  return error;
}

}  // namespace

int gameFileError() {
  return lastError;
}

const char* gameFileReason() {
  return lastError != 0 ? std::strerror(lastError) : lastRefusal;
}

void ignoreFileSizeSignal() {
  ::signal(SIGXFSZ, SIG_IGN);
}

// The new text goes to a fresh file in the folder of the file it replaces, is synced, and is
// renamed over it: rename is atomic, so a reader, a second copy of the game saving at the same
// time or a power cut sees either the whole old file or the whole new one. Where the file system
// allows, the new file has no name until it is complete (O_TMPFILE), so a save that fails or is
// killed leaves nothing behind.
bool saveGameFile(const char* path) {
  assert(path != nullptr);
  Place place;
  if (!findPlace(path, place)) return false;

  // The replaced file's permission bits are kept; a new file gets 0644 less the umask. A file
  // the user may not write is not replaced (root may write any).
  struct stat existing;
  bool replacing = false;
  mode_t mode = 0644;
  if (::fstatat(place.folder, place.name, &existing, AT_SYMLINK_NOFOLLOW) == 0) {
    if (!S_ISREG(existing.st_mode)) return refuse(kNotRegular);
    if (::faccessat(place.folder, place.name, W_OK, AT_EACCESS) != 0) return failWith(errno);
    replacing = true;
    mode = existing.st_mode & 0777;
  } else if (errno != ENOENT) {
    return failWith(errno);
  }

  const mode_t createMode = replacing ? 0600 : mode;
  char temporary[kTemporaryNameBytes] = "";
  // An unnamed file only where it can be given a name later: through /proc, or as root.
  const bool canName = ::access("/proc/self/fd", X_OK) == 0 || ::geteuid() == 0;
  int fd = canName ? ::openat(place.folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, createMode) : -1;
  // No unnamed files on this file system (EOPNOTSUPP), or in this kernel (EISDIR, EINVAL).
  if (!canName || (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)))
    fd = createNamedTemporary(place, temporary, createMode);
  if (fd < 0) return failWith(errno);
  int error = writeAndSync(fd, replacing, mode);
  if (error == 0) {
    error = putInPlace(fd, place, replacing, temporary);
  } else if (temporary[0] != '\0') {
    ::unlinkat(place.folder, temporary, 0);
  }
  ::close(fd);
  if (error != 0) return failWith(error);
  error = syncFolder(place);
  return error == 0 || failWith(error);
}

// Only a regular file is opened, so that a FIFO, a device or a socket can neither block the
// program nor act on being opened; O_NONBLOCK and a second look at the open descriptor cover a
// file that changes in between. Links are followed as Save follows them: a saved game may be a
// link, and Save keeps it one.
bool loadGameFile(const char* path) {
  assert(path != nullptr);
  Place place;
  if (!findPlace(path, place)) return false;
  struct stat status;
  if (::fstatat(place.folder, place.name, &status, AT_SYMLINK_NOFOLLOW) != 0)
    return failWith(errno);
  if (refusedForWhatItIs(status)) return false;
  const int fd =
      ::openat(place.folder, place.name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
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
