// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What screen readers hear: every square says its name, its contents and whether it is selected
// ("e2, white pawn, selected"); every other control says its caption or what it is for.
#pragma once

class QWidget;

namespace vombel {

// Installs the accessibility interfaces of the squares and of the number labels. Once per
// program, before the first window is built: Qt keeps the interface it first made for a widget.
void installAccessibleInterfaces();

// Names the controls among window's children that have no caption of their own.
void describeControls(QWidget* window);

}  // namespace vombel
