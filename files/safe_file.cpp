// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "files/safe_file.h"

#include <dirent.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <ctime>
#include <initializer_list>
#include <utility>

namespace vombel {

const char* FileResult::reason() const {
  return error != 0 ? std::strerror(error) : refusal;
}

FileResult failedWith(int error) {
  FileResult result;
  result.error = error != 0 ? error : EIO;
  return result;
}

FileResult refusedAs(const char* why) {
  FileResult result;
  std::snprintf(result.refusal, sizeof result.refusal, "%s", why);
  return result;
}

namespace {

// A refusal that names what is at fault: format holds one %s, the name.
FileResult refusedFor(const char* format, const char* name) {
  FileResult result;
  std::snprintf(result.refusal, sizeof result.refusal, format, name);
  return result;
}

// The longest link text followed, its terminating NUL included.
constexpr std::size_t kPathBytes = PATH_MAX;
// The unwalked rest of a path with a link's text put in front: room for both.
constexpr std::size_t kPendingBytes = 2 * kPathBytes;
// The longest name in a folder, with its NUL.
constexpr std::size_t kNameBytes = NAME_MAX + 1;
// The most links a path may pass through, as the kernel allows.
constexpr int kMaxLinks = 40;

// The signals that end a program and that a handler may catch: held while a temporary name
// exists, so that none strands it.
class HeldSignals {
 public:
  HeldSignals() = default;
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;
  ~HeldSignals() {
    if (held_) ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  void hold() {
    if (held_) return;
    sigset_t ending;
    sigemptyset(&ending);
    for (const int number : {SIGHUP, SIGINT, SIGQUIT, SIGTERM})
      sigaddset(&ending, number);
    held_ = ::pthread_sigmask(SIG_BLOCK, &ending, &previous_) == 0;
  }

 private:
  sigset_t previous_{};
  bool held_ = false;
};

// --- Finding the file ---------------------------------------------------------------------

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
  // Makes fd, a folder's descriptor, the place's folder. Returns 0, or errno when fd is -1.
  int enter(int fd) {
    if (fd < 0) return errno;
    if (folder >= 0) ::close(folder);
    folder = fd;
    return 0;
  }
  FileResult nameIs(const char* text) {
    std::snprintf(name, sizeof name, "%s", text);
    return {};
  }
};

// Something another user could have planted or may change: only the user's own and root's are
// trusted.
bool foreign(const struct stat& status) {
  return status.st_uid != ::geteuid() && status.st_uid != 0;
}

enum class Goal { file, ownFolder };

// The last step of walking to an own folder: the folder the place holds must be the user's,
// closed to writing by group and others, and open to entering.
FileResult checkOwnFolder(const Place& place, const char* name) {
  struct stat status;
  if (::fstat(place.folder, &status) != 0) return failedWith(errno);
  if (status.st_uid != ::geteuid()) return refusedFor("%s belongs to another user", name);
  if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
    return refusedFor("%s may be written by other users", name);
  // Looking up "." in it needs the right to enter it.
  const int entered = ::openat(place.folder, ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (entered < 0) return failedWith(errno);
  ::close(entered);
  return {};
}

// Walks path one name at a time from the folder from (or the root), following links as the
// kernel would, so that a file kept as a link stays one and the file it points to is what a
// save replaces. Each link is opened without being followed and checked before its text is read:
// a link of another user (but root) is refused, as are more than kMaxLinks links. Goal::file
// stops at the last name, which may not exist, in place.name; Goal::ownFolder enters every name,
// makes missing folders with mode 0700 and checks each folder's owner, then the folder's own
// safety (checkOwnFolder), and leaves place.name empty.
//
//   "saves/juego.vmb" -> "../games/g.vmb": enter saves, meet the link juego.vmb, go on with
//   "../games/g.vmb" from saves: enter .., enter games, and g.vmb is the place's name.
FileResult walk(int from, const char* path, Goal goal, Place& place) {
  char pending[kPendingBytes];
  if (std::snprintf(pending, sizeof pending, "%s", path) >= static_cast<int>(sizeof pending))
    return failedWith(ENAMETOOLONG);
  if (pending[0] == '\0') return failedWith(ENOENT);
  const char* start = pending[0] == '/' ? "/" : ".";
  if (const int error = place.enter(::openat(from, start, O_PATH | O_DIRECTORY | O_CLOEXEC));
      error != 0)
    return failedWith(error);
  std::size_t at = 0;  // where the names not yet walked start in pending
  int links = 0;
  for (;;) {
    while (pending[at] == '/')
      ++at;
    if (pending[at] == '\0') {  // "/" or a path ending in a link to it
      return goal == Goal::file ? refusedAs(kNotRegular) : checkOwnFolder(place, "/");
    }
    const std::size_t length = std::strcspn(pending + at, "/");
    if (length >= kNameBytes) return failedWith(ENAMETOOLONG);
    char name[kNameBytes];
    std::memcpy(name, pending + at, length);
    name[length] = '\0';
    at += length;
    while (pending[at] == '/')
      ++at;
    const bool last = pending[at] == '\0';

    int fd = ::openat(place.folder, name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
      if (goal == Goal::file && last) return place.nameIs(name);
      if (goal == Goal::ownFolder) {
        if (::mkdirat(place.folder, name, 0700) != 0 && errno != EEXIST) return failedWith(errno);
        fd = ::openat(place.folder, name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
      }
    }
    if (fd < 0) return failedWith(errno);
    struct stat entry;
    if (::fstat(fd, &entry) != 0) {
      const int error = errno;
      ::close(fd);
      return failedWith(error);
    }
    if (S_ISDIR(entry.st_mode) && (goal == Goal::ownFolder || !last)) {
      if (goal == Goal::ownFolder && foreign(entry)) {
        ::close(fd);
        return refusedFor("%s belongs to another user", name);
      }
      place.enter(fd);
      if (last) return checkOwnFolder(place, name);
      continue;
    }
    if (!S_ISLNK(entry.st_mode)) {
      ::close(fd);
      if (!last || goal == Goal::ownFolder) return failedWith(ENOTDIR);
      return place.nameIs(name);
    }

    if (foreign(entry)) {
      ::close(fd);
      return refusedFor("%s is a link owned by another user", name);
    }
    if (++links > kMaxLinks) {
      ::close(fd);
      return failedWith(ELOOP);
    }
    char link[kPathBytes];
    const ssize_t linkLength = ::readlinkat(fd, "", link, sizeof link);
    const int error = errno;
    ::close(fd);
    if (linkLength < 0) return failedWith(error);
    if (static_cast<std::size_t>(linkLength) == sizeof link) return failedWith(ENAMETOOLONG);
    if (linkLength == 0) return failedWith(ENOENT);
    link[linkLength] = '\0';
    // The link's text takes its place: the names after it follow, from the link's folder or
    // from the root.
    char joined[kPendingBytes];
    if (std::snprintf(joined, sizeof joined, "%s%s%s", link, last ? "" : "/", pending + at) >=
        static_cast<int>(sizeof joined))
      return failedWith(ENAMETOOLONG);
    std::memcpy(pending, joined, std::strlen(joined) + 1);
    at = 0;
    if (link[0] == '/') {
      if (const int failed = place.enter(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
          failed != 0)
        return failedWith(failed);
    }
  }
}

// --- Temporary names ----------------------------------------------------------------------

// A temporary file's name is the file's name, a dot and six random letters or digits, as mkstemp
// names files; a name too long for that is cut short first, so that the whole stays within
// NAME_MAX: "juego.vmb" -> "juego.vmb.Xy3kQ0"; a 255-byte name -> its first 248 bytes + ".Xy3kQ0".
constexpr std::size_t kRandomLetters = 6;
constexpr std::size_t kSuffixLength = 1 + kRandomLetters;
constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// How much of name starts its temporary names: all of it, or as much as fits, never ending
// inside a UTF-8 character (before a continuation byte 10xxxxxx).
std::size_t temporaryBaseLength(const char* name) {
  std::size_t length = std::strlen(name);
  if (length + kSuffixLength <= NAME_MAX) return length;
  length = NAME_MAX - kSuffixLength;
  while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80)
    --length;
  return length;
}

bool isTemporaryNameOf(const char* candidate, const char* name, std::size_t baseLength) {
  if (std::strlen(candidate) != baseLength + kSuffixLength) return false;
  if (std::memcmp(candidate, name, baseLength) != 0 || candidate[baseLength] != '.') return false;
  for (std::size_t i = baseLength + 1; i < baseLength + kSuffixLength; ++i) {
    if (std::strchr(kLetters, candidate[i]) == nullptr) return false;
  }
  return true;
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

// Runs make(name) with a new temporary name for the place's file, until make does not fail with
// EEXIST: a name that is taken, by a stale temporary file or by anything planted there, only
// makes it try another. make creates exclusively, so it never opens or replaces what is there.
// Returns make's result: 0 or the errno of its failure; temporary is empty unless it is 0.
template <typename Make>
int withNewName(const Place& place, char (&temporary)[kNameBytes], Make make) {
  const std::size_t baseLength = temporaryBaseLength(place.name);
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned char bytes[kRandomLetters];
    randomBytes(bytes, sizeof bytes);
    char suffix[kRandomLetters + 1];
    for (std::size_t i = 0; i < kRandomLetters; ++i)
      suffix[i] = kLetters[bytes[i] % (sizeof kLetters - 1)];
    suffix[kRandomLetters] = '\0';
    std::snprintf(temporary, sizeof temporary, "%.*s.%s", static_cast<int>(baseLength), place.name,
                  suffix);
    const int error = make(temporary);
    if (error == 0) return 0;
    if (error != EEXIST) {
      temporary[0] = '\0';
      return error;
    }
  }
  temporary[0] = '\0';
  return EEXIST;
}

// --- Writing ------------------------------------------------------------------------------

// Creates the new file as a named temporary file, where the file system has no unnamed ones:
// O_CREAT | O_EXCL never opens an existing name (a file, a hard link, a FIFO, a directory, a
// symbolic link, dangling or not) and O_NOFOLLOW refuses a link outright. The kernel applies the
// umask to mode, as to any new file. Returns the descriptor, or -1 with errno set.
int createNamedTemporary(const Place& place, char (&temporary)[kNameBytes], mode_t mode) {
  int fd = -1;
  const int error = withNewName(place, temporary, [&](const char* name) {
    fd = ::openat(place.folder, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    return fd >= 0 ? 0 : errno;
  });
  if (error != 0) errno = error;
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

// Writes the new text into the new file fd and puts it on disk; fd stays open. mode, when
// given (keepMode), goes on before any of the text is written. Returns 0 or the errno of the
// step that failed.
int writeAndSync(int fd, bool keepMode, mode_t mode, FileWriter write) {
  if (keepMode && ::fchmod(fd, mode) != 0) return errno;
  const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (copy < 0) return errno;
  std::FILE* f = ::fdopen(copy, "wb");
  if (f == nullptr) {
    const int error = errno;
    ::close(copy);
    return error;
  }
  write(f);
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

// Puts the written file fd in the place of the file. An unnamed file that replaces nothing is
// linked there directly; otherwise it gets a temporary name at this last moment and is renamed
// over the place, and the temporary name is removed if that fails. temporary holds the name of a
// file created named, or is empty. The ending signals are held from the naming on.
int putInPlace(int fd, const Place& place, bool replacing, char (&temporary)[kNameBytes],
               HeldSignals& held) {
  held.hold();
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

// A file older than this, of a temporary name's pattern, is a save's that was killed.
constexpr time_t kStaleSeconds = 60;

}  // namespace

void removeStaleTemporaries(int folder, const char* name) {
  const std::size_t baseLength = temporaryBaseLength(name);
  const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return;
  const time_t staleBefore = std::time(nullptr) - kStaleSeconds;
  alignas(dirent64) char entries[4096];
  ssize_t size;
  while ((size = ::getdents64(listing, entries, sizeof entries)) > 0) {
    for (ssize_t at = 0; at < size;) {
      const auto* entry = reinterpret_cast<const dirent64*>(entries + at);
      at += entry->d_reclen;
      if (!isTemporaryNameOf(entry->d_name, name, baseLength)) continue;
      struct stat status;
      if (::fstatat(folder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
          S_ISREG(status.st_mode) && status.st_uid == ::geteuid() && status.st_nlink == 1 &&
          status.st_mtime < staleBefore)
        ::unlinkat(folder, entry->d_name, 0);
    }
  }
  ::close(listing);
}

// The new text goes to a fresh file in the folder of the file it replaces, is synced, and is
// renamed over it: rename is atomic, so a reader, a second program saving at the same time or a
// power cut sees either the whole old file or the whole new one. Where the file system allows,
// the new file has no name until it is complete (O_TMPFILE), so a save that fails or is killed
// leaves nothing behind; where it does not, the ending signals are held while it has a name.
FileResult replaceFile(const char* path, FileWriter write, int from) {
  Place place;
  if (FileResult found = walk(from, path, Goal::file, place); !found) return found;
  removeStaleTemporaries(place.folder, place.name);

  // The user's own file keeps its permission bits (execute bits included, set-id bits never); a
  // new file, and another user's that the user may replace, get 0644 less the umask. A file
  // the user may not write is not replaced (root may write any).
  struct stat existing;
  bool replacing = false;
  bool keepMode = false;
  mode_t mode = 0644;
  if (::fstatat(place.folder, place.name, &existing, AT_SYMLINK_NOFOLLOW) == 0) {
    if (!S_ISREG(existing.st_mode)) return refusedAs(kNotRegular);
    if (::faccessat(place.folder, place.name, W_OK, AT_EACCESS) != 0) return failedWith(errno);
    replacing = true;
    keepMode = existing.st_uid == ::geteuid();
    if (keepMode) mode = existing.st_mode & 0777;
  } else if (errno != ENOENT) {
    return failedWith(errno);
  }

  // A kept mode goes on once the file is the user's alone, so the text is never open to more.
  const mode_t createMode = keepMode ? 0600 : mode;
  HeldSignals held;
  char temporary[kNameBytes] = "";
  // An unnamed file only where it can be given a name later: through /proc, or as root.
  const bool canName = ::access("/proc/self/fd", X_OK) == 0 || ::geteuid() == 0;
  int fd = canName ? ::openat(place.folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, createMode) : -1;
  // No unnamed files on this file system (EOPNOTSUPP), or in this kernel (EISDIR, EINVAL).
  if (!canName || (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))) {
    held.hold();
    fd = createNamedTemporary(place, temporary, createMode);
  }
  if (fd < 0) return failedWith(errno);
  int error = writeAndSync(fd, keepMode, mode, write);
  if (error == 0) {
    error = putInPlace(fd, place, replacing, temporary, held);
  } else if (temporary[0] != '\0') {
    ::unlinkat(place.folder, temporary, 0);
  }
  ::close(fd);
  if (error != 0) return failedWith(error);
  error = syncFolder(place);
  return error == 0 ? FileResult{} : failedWith(error);
}

FileResult openRegularFile(const char* path, long largest, const char* tooLarge, int& fd,
                           int from) {
  fd = -1;
  Place place;
  if (FileResult found = walk(from, path, Goal::file, place); !found) return found;
  removeStaleTemporaries(place.folder, place.name);
  const auto refusal = [&](const struct stat& status) {
    if (!S_ISREG(status.st_mode)) return refusedAs(kNotRegular);
    if (status.st_size > largest) return refusedAs(tooLarge);
    return FileResult{};
  };
  struct stat status;
  if (::fstatat(place.folder, place.name, &status, AT_SYMLINK_NOFOLLOW) != 0)
    return failedWith(errno);
  if (FileResult refused = refusal(status); !refused) return refused;
  const int opened =
      ::openat(place.folder, place.name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
  if (opened < 0) return failedWith(errno);
  // The second look: what was opened may not be what was looked at.
  FileResult result = ::fstat(opened, &status) == 0 ? refusal(status) : failedWith(errno);
  if (result) {
    fd = opened;
  } else {
    ::close(opened);
  }
  return result;
}

FileResult openOwnFolder(const char* path, int& fd) {
  fd = -1;
  Place place;
  FileResult result = walk(kCurrentFolder, path, Goal::ownFolder, place);
  if (result) std::swap(fd, place.folder);  // fd is -1: the place closes nothing
  return result;
}

void ignoreFileSizeSignal() {
  ::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace vombel
