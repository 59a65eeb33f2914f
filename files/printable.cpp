// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "files/printable.h"

#include <cstdio>

namespace vombel {

namespace {

// The length of the valid UTF-8 character of two or more bytes that starts text, or 0 when there
// is none there, or it is a C1 control.
std::size_t characterLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80;  // the second byte's range, narrower after some leads
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    if (lead == 0xC2) low = 0xA0;  // C2 80..C2 9F are the C1 controls
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  }
  if (length == 0 || text.size() < length) return 0;
  if (byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

// The letter C escapes ch with ('n' for a line feed...), or NUL when it has none.
char escapeLetter(char ch) {
  switch (ch) {
    case '\\':
      return '\\';
    case '\a':
      return 'a';
    case '\b':
      return 'b';
    case '\t':
      return 't';
    case '\n':
      return 'n';
    case '\v':
      return 'v';
    case '\f':
      return 'f';
    case '\r':
      return 'r';
    default:
      return '\0';
  }
}

}  // namespace

std::string printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const auto ch = static_cast<unsigned char>(text[at]);
    if (ch >= 0x20 && ch < 0x7F && ch != '\\') {
      out += static_cast<char>(ch);
      ++at;
      continue;
    }
    if (ch >= 0x80) {
      if (const std::size_t length = characterLength(text.substr(at)); length != 0) {
        out.append(text.substr(at, length));
        at += length;
        continue;
      }
    }
    char escape[5];
    if (const char letter = escapeLetter(static_cast<char>(ch)); letter != '\0') {
      std::snprintf(escape, sizeof escape, "\\%c", letter);
    } else {
      std::snprintf(escape, sizeof escape, "\\x%02x", ch);
    }
    out += escape;
    ++at;
  }
  return out;
}

}  // namespace vombel
