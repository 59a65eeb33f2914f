// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The user's folders for the game, where the XDG base directories put them: the data folder
// $XDG_DATA_HOME/vombel-chess (~/.local/share/vombel-chess), where Save and Open keep juego.vmb
// when the desktop menu starts the game (in the home folder, or even in /), and the state folder
// $XDG_STATE_HOME/vombel-chess (~/.local/state/vombel-chess), where the last game is kept.
#pragma once

#include <string>

namespace vombel {

enum class UserFolder { data, state };

// The folder's path: under XDG_DATA_HOME or XDG_STATE_HOME when it is an absolute path, else
// under HOME when that is one, else under the home folder of the password database; empty when
// none is an absolute path. A relative or empty variable is passed over, as the XDG base
// directories say, so the path never depends on the current folder.
std::string userFolderPath(UserFolder folder);

// Opens the folder, made with mode 0700 where it or a folder on the way is missing, as an O_PATH
// descriptor in fd, if it is safe to use (openOwnFolder: every folder and link on the way the
// user's or root's, the folder the user's, closed to group and others, open to entering).
// Returns an empty string; otherwise a message for the user that names the folder, the reason and
// the current folder, which fd then holds instead. used receives the path of the folder fd holds.
std::string openUserFolder(UserFolder folder, int& fd, std::string& used);

// openUserFolder for the data folder, which then becomes the current folder. Returns an empty
// string, or the message; the current folder then stays as it was.
std::string enterDataFolder();

}  // namespace vombel
