// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Files replaced whole and files read only when they are what they claim to be, in folders that
// other users may share. A path is walked one name at a time: a link is followed only when it
// belongs to the user or root, so a link another user planted never leads a save or a read
// elsewhere. A replaced file stays whole until the new one is whole and on disk.
#pragma once

#include <fcntl.h>

#include <climits>
#include <cstdio>

namespace vombel {

// What a file operation came to: done, failed with the errno value of the call that failed, or
// refused for what the file is or holds.
struct FileResult {
  int error = 0;                     // errno of the failed call; 0 when done or refused
  char refusal[NAME_MAX + 64] = "";  // why the file was refused, empty when it was not
  explicit operator bool() const { return error == 0 && refusal[0] == '\0'; }
  // The reason in the user's words: strerror's text or the refusal ("not a regular file",
  // "NAME is a link owned by another user", ...).
  const char* reason() const;
};

FileResult failedWith(int error);  // error 0, which no failed call should leave, becomes EIO
FileResult refusedAs(const char* why);

inline constexpr const char* kNotRegular = "not a regular file";

// Paths are walked from this folder (a descriptor of a folder, or the current folder).
inline constexpr int kCurrentFolder = AT_FDCWD;

// Writes a file's new text: calls write with the new file, which it leaves open.
using FileWriter = void (*)(std::FILE* file);

// Replaces the file at path (relative to from) by the text write gives, only once that text is
// complete and on disk: a failed save keeps the old file and leaves no other name behind.
// Where the path is a symbolic link it stays one and the file it leads to is replaced. Refused:
// anything but a regular file, a link of another user (but root) on the way; failed (EACCES): a
// file the user may not write. The user's own file keeps its permission bits; another's
// replaced file, and a new one, get 0644 less the umask. Stale temporary files of earlier
// saves killed mid-way are removed first (see removeStaleTemporaries).
FileResult replaceFile(const char* path, FileWriter write, int from = kCurrentFolder);

// Opens the regular file at path (relative to from) for reading, following links as
// replaceFile does, and gives its descriptor in fd (which the caller closes), or -1. Refuses
// anything but a regular file without opening it, so a FIFO or a device neither blocks nor acts,
// and a file larger than largest bytes with the refusal tooLarge; what was opened is looked at
// again, in case it was swapped in between. Stale temporary files in its folder are removed.
FileResult openRegularFile(const char* path, long largest, const char* tooLarge, int& fd,
                           int from = kCurrentFolder);

// Opens the folder at path, an absolute path, as an O_PATH descriptor in fd (or -1), making it
// and any missing folder on the way with mode 0700. Used only when every folder and link on the
// way belongs to the user or root and the folder itself belongs to the user, may be entered and
// may not be written by group or others: otherwise refused, with the name at fault.
FileResult openOwnFolder(const char* path, int& fd);

// Removes what saves killed mid-way left in folder (a descriptor) beside name: files named as
// replaceFile names its temporary files for name (name, shortened if need be, a dot and six
// letters or digits), regular, the user's own, with no other link, and unchanged for a minute.
// Anything else, and any failure, is left alone.
void removeStaleTemporaries(int folder, const char* name);

// Makes an exceeded file-size limit (ulimit -f) a save that fails with EFBIG and is told, instead
// of a signal that ends the program. Called first thing at start-up.
void ignoreFileSizeSignal();

}  // namespace vombel
