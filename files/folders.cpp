// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "files/folders.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "files/safe_file.h"

namespace vombel {

namespace {

constexpr const char* kFolderName = "vombel-chess";

struct FolderKind {
  const char* variable;   // the XDG variable that places it
  const char* underHome;  // where it is under the home folder otherwise
  const char* what;       // its name in messages
  const char* instead;    // what the folder used instead serves, in messages, up to its name
};

constexpr FolderKind kKinds[] = {
    {"XDG_DATA_HOME", ".local/share", "data folder", "Save and Open use the folder "},
    {"XDG_STATE_HOME", ".local/state", "state folder", "The last game is kept in the folder "},
};

const FolderKind& kindOf(UserFolder folder) {
  return kKinds[folder == UserFolder::data ? 0 : 1];
}

std::string currentFolder() {
  char folder[PATH_MAX];
  return ::getcwd(folder, sizeof folder) != nullptr ? std::string(folder) : std::string("?");
}

// The sentence that ends every message: the folder used instead. Its words stay whole in the
// table: a short literal appended here would be built from the machine code's immediate operands,
// in pieces that read as misspelt words to a spelling check of the program (lintian's).
std::string usedInstead(const FolderKind& kind) {
  return std::string(kind.instead) + currentFolder() + " instead.";
}

// base/name, with the one slash between them whether or not base ends in one.
std::string joined(std::string base, const char* name) {
  if (base.back() != '/') base += '/';
  return base + name;
}

}  // namespace

std::string userFolderPath(UserFolder folder) {
  const FolderKind& kind = kindOf(folder);
  std::string base;
  const char* xdg = std::getenv(kind.variable);
  if (xdg != nullptr && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
      const passwd* user = ::getpwuid(::getuid());
      home = user != nullptr ? user->pw_dir : nullptr;
    }
    if (home == nullptr || home[0] != '/') return {};
    base = joined(home, kind.underHome);
  }
  return joined(base, kFolderName);
}

std::string openUserFolder(UserFolder folder, int& fd, std::string& used) {
  const FolderKind& kind = kindOf(folder);
  used = userFolderPath(folder);
  std::string message;
  if (used.empty()) {
    message = std::string("The ") + kind.what + " is unknown: neither " + kind.variable +
              " nor HOME names a folder. " + usedInstead(kind);
  } else if (const FileResult opened = openOwnFolder(used.c_str(), fd); !opened) {
    message = std::string("The ") + kind.what + " " + used + " cannot be used: " + opened.reason() +
              ". " + usedInstead(kind);
  }
  if (!message.empty()) {
    used = currentFolder();
    fd = ::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
  }
  return message;
}

std::string enterDataFolder() {
  int fd = -1;
  std::string path;
  std::string message = openUserFolder(UserFolder::data, fd, path);
  if (message.empty() && ::fchdir(fd) != 0) {
    message = "The data folder " + path + " cannot be used: " + std::strerror(errno) + ". " +
              usedInstead(kindOf(UserFolder::data));
  }
  if (fd >= 0) ::close(fd);
  return message;
}

}  // namespace vombel
