// The saved-game file: plain text, one number per line, lines ended by CR LF. The first line is
// the move counter n, then the 144 cells of history entries 0..n, each entry row y = -1 first and
// each row from x = -1 to 10. A non-negative value is preceded by a space, and every value is
// followed by one:
//
//    12 \r\n      <- the counter
//    2 \r\n       <- entry 0, cell (-1, -1)
//   ...
//   -10000 \r\n   <- entry 0, cell (5, 1)
#pragma once

namespace vombel {

inline constexpr const char* kGameFileName = "juego.vmb";

// Writes the counter and history entries 0..moveNumber to path. The text goes to a temporary file
// beside path that replaces path only once it is complete, so a failed save keeps the old file.
bool saveGameFile(const char* path);

// Reads path and, only if the whole file is a valid game (counter 0..300, exactly enough numbers,
// border cells 2, playable cells holding piece codes), takes it in: every entry and moveNumber,
// then historia moved to the last entry and the history handler run. Otherwise changes nothing.
bool loadGameFile(const char* path);

}  // namespace vombel
