// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Text safe to print on a terminal: a folder's or file's name may hold anything but '/' and NUL,
// escape sequences included, which a terminal would act on.
#pragma once

#include <string>
#include <string_view>

namespace vombel {

// text with every control character escaped as C writes it, and the backslash doubled, so that
// nothing printed can move the cursor, change colours or hide what follows; valid UTF-8 stays as
// it is, other bytes are escaped too:
//
//   "a\nb"        -> "a\\nb"          (tab, CR, LF... as \t, \r, \n...)
//   "\x1b[31mred" -> "\\x1b[31mred"   (other control characters, DEL and stray bytes as \xHH)
//   "\xc2\x9b"    -> "\\xc2\\x9b"     (the C1 controls, U+0080 to U+009F, byte by byte)
//   "é\\"         -> "é\\\\"
std::string printable(std::string_view text);

}  // namespace vombel
