// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The user's data folder, where the game keeps juego.vmb when the desktop menu starts it (the
// menu starts programs in the home folder, or even in /): $XDG_DATA_HOME/vombel-chess, or
// ~/.local/share/vombel-chess when XDG_DATA_HOME is unset, empty or not an absolute path.
#pragma once

#include <string>

namespace vombel {

// The data folder's path, from XDG_DATA_HOME or HOME (the password database when HOME is unset);
// empty when neither gives an absolute path.
std::string dataFolderPath();

// Creates the data folder and any missing parent with mode 0700 (an existing folder keeps its
// mode) and makes it the current directory. Returns an empty string on success; otherwise a
// message for the user that names the folder, the reason and the folder used instead (the current
// directory, which stays as it was).
std::string enterDataFolder();

}  // namespace vombel
