// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What an X11 session does to the window that Qt alone does not pass on.
#pragma once

#include <functional>

class QWidget;

namespace vombel {

// On X11: the close button while a modal box blocks window closes it (Qt drops the request), and
// window destroyed by another client (`xdotool windowclose`) runs destroyed, which should end the
// program (Qt would carry on without a window). Does nothing on other platforms.
void watchX11Window(QWidget* window, std::function<void()> destroyed);

}  // namespace vombel
