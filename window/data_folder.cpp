// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/data_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace vombel {

namespace {

constexpr const char* kFolderName = "vombel-chess";

std::string currentFolder() {
  char folder[PATH_MAX];
  return ::getcwd(folder, sizeof folder) != nullptr ? std::string(folder) : std::string("?");
}

// The sentence that ends every message: the folder used instead of the data folder.
std::string usedInstead() {
  return "Save and Open use the folder " + currentFolder() + " instead.";
}

// The message of a folder that could not be made or entered: what it is, its path, what went
// wrong (couldNot, e.g. "could not be created"), the reason and the folder used instead.
std::string failure(const char* what, const std::string& path, const char* couldNot, int error) {
  return std::string(what) + " " + path + " " + couldNot + ": " + std::strerror(error) + ". " +
         usedInstead();
}

// base/name, with the one slash between them whether or not base ends in one.
std::string joined(std::string base, const char* name) {
  if (base.back() != '/') base += '/';
  return base + name;
}

}  // namespace

std::string dataFolderPath() {
  std::string base;
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome != nullptr && dataHome[0] == '/') {
    base = dataHome;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
      const passwd* user = ::getpwuid(::getuid());
      home = user != nullptr ? user->pw_dir : nullptr;
    }
    if (home == nullptr || home[0] != '/') return {};
    base = joined(home, ".local/share");
  }
  return joined(base, kFolderName);
}

std::string enterDataFolder() {
  const std::string path = dataFolderPath();
  if (path.empty()) {
    return "The data folder is unknown: neither XDG_DATA_HOME nor HOME names a folder. " +
           usedInstead();
  }
  // Each folder on the way down, then the data folder itself; one that exists is left alone.
  for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    const std::string folder = path.substr(0, end);
    if (!folder.ends_with('/') && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
      return failure("The folder", folder, "could not be created", errno);
    }
    if (end == std::string::npos) break;
  }
  if (::chdir(path.c_str()) != 0)
    return failure("The data folder", path, "could not be entered", errno);
  return {};
}

}  // namespace vombel
