// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fuzz/fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace vombel::fuzz {

ScratchDirectory::ScratchDirectory(const char* name) : home_(open(".", O_RDONLY | O_DIRECTORY)) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() /
                       (std::string(name) + "-" + std::to_string(static_cast<long>(getpid())));
  fs::create_directories(dir);
  fs::current_path(dir);
}

ScratchDirectory::~ScratchDirectory() {
  if (home_ >= 0 && fchdir(home_) == 0) close(home_);
}

void fail(const std::string& what) {
  std::fprintf(stderr, "FAULT: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

namespace {

bool blank(std::uint8_t ch) {
  return ch == ' ' || ch == '\t' || ch == '\r';
}

// Parses one line [begin, end) as a whole number with blanks around it.
bool parseLine(const std::uint8_t* begin, const std::uint8_t* end, long& value) {
  while (begin < end && blank(*begin))
    ++begin;
  while (end > begin && blank(end[-1]))
    --end;
  if (end - begin > 15 || begin == end) return false;
  const std::string text(begin, end);
  std::size_t at = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (at == text.size()) return false;
  for (; at < text.size(); ++at) {
    if (text[at] < '0' || text[at] > '9') return false;
  }
  value = std::strtol(text.c_str(), nullptr, 10);
  return true;
}

}  // namespace

bool validEntry(const Board& b) {
  for (int x = kLow; x <= kHigh; ++x) {
    for (int y = kLow; y <= kHigh; ++y) {
      if (isPlayable(x, y) ? !isPieceCodeOrEmpty(b(x, y)) : b(x, y) != kBorder) return false;
    }
  }
  return true;
}

std::optional<GameFile> readGameFile(const std::uint8_t* data, std::size_t size) {
  const std::uint8_t* p = data;
  const std::uint8_t* const end = data + size;
  const auto nextNumber = [&](long& value) {
    if (p == end) return false;
    const std::uint8_t* lineEnd = p;
    while (lineEnd < end && *lineEnd != '\n')
      ++lineEnd;
    const bool ok = parseLine(p, lineEnd, value);
    p = lineEnd < end ? lineEnd + 1 : end;
    return ok;
  };
  long counter = 0;
  if (!nextNumber(counter) || counter < 0 || counter > 300) return std::nullopt;
  GameFile file{static_cast<int>(counter), std::vector<Board>(counter + 1)};
  for (Board& entry : file.entries) {
    for (int y = kLow; y <= kHigh; ++y) {
      for (int x = kLow; x <= kHigh; ++x) {
        long value = 0;
        if (!nextNumber(value) || value < -100000 || value > 100000) return std::nullopt;
        entry(x, y) = static_cast<std::int32_t>(value);
      }
    }
    if (!validEntry(entry)) return std::nullopt;
  }
  for (; p < end; ++p) {
    if (!blank(*p) && *p != '\n') return std::nullopt;
  }
  return file;
}

Board promoted(const Board& b) {
  Board shown = b;
  for (int x = 1; x <= 8; ++x) {
    if (shown(x, 8) == -kPawn) shown(x, 8) = -kQueen;
    if (shown(x, 1) == kPawn) shown(x, 1) = kQueen;
  }
  return shown;
}

void writeFile(const char* path, const void* data, std::size_t size) {
  std::FILE* f = std::fopen(path, "wb");
  if (f == nullptr) fail(std::string("cannot write ") + path);
  if (size > 0 && std::fwrite(data, 1, size, f) != size) fail(std::string("cannot write ") + path);
  std::fclose(f);
}

}  // namespace vombel::fuzz
