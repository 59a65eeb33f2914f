// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program each floor check links: nothing of its own, so every call the floor's code makes
// must be found in that floor or in those below it.
int main() {
  return 0;
}
