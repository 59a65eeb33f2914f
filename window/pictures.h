// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The square pictures and the program's icon, drawn for the screen's device pixel ratio.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace vombel {

// The side of every store picture at the normal size, in pixels.
inline constexpr int kPictureSide = 23;

// Store picture `number` (1..26; 0 gives a null pixmap) for `ratio` device pixels per logical
// pixel of the normal size, 23 * ratio pixels wide: the drawn 1x, 2x or 3x set where the ratio
// is 1, 2 or 3, else the nearest larger set scaled down smoothly (the 3x set scaled up above 3).
// Cached per number and ratio.
QPixmap squarePicture(int number, qreal ratio);

// The program's icon with every size drawn for it (16 to 256 pixels).
QIcon programIcon();

}  // namespace vombel
