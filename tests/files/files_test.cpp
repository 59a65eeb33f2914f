// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The file unit alone: replacing a file and reading one against failing calls and files swapped
// at the wrong moment (tests/support/file_faults.h), link chains at the kernel's limit, the
// modes a replaced file gets. Each test runs in a scratch folder of its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "files/safe_file.h"
#include "tests/support/file_faults.h"
#include "tests/support/game_file.h"
#include "tests/support/scratch_directory.h"

namespace vombel {
namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::writeFile;

std::string newText;  // what writeNewText writes

void writeNewText(std::FILE* file) {
  std::fputs(newText.c_str(), file);
}

class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::resetFileFaults();
    scratch_.enter("vombel-files");
    newText = "the new text\n";
  }
  void TearDown() override {
    testing_support::resetFileFaults();
    scratch_.leave();
  }

  // The names in the scratch folder, sorted.
  static std::vector<std::string> names() {
    std::vector<std::string> list;
    for (const auto& entry : fs::directory_iterator("."))
      list.push_back(entry.path().filename());
    std::sort(list.begin(), list.end());
    return list;
  }

  // Opens path for reading as a saved game is read, with a limit of largest bytes; closes it.
  static FileResult openToRead(const char* path, long largest = 1000) {
    int fd = -1;
    FileResult result = openRegularFile(path, largest, "too large", fd);
    if (fd >= 0) ::close(fd);
    EXPECT_EQ(static_cast<bool>(result), fd >= 0);
    return result;
  }

  testing_support::ScratchDirectory scratch_;
};

// The kernel follows 40 links in one path, so both do: the 41st is a loop.
TEST_F(Files, AChainOfFortyLinksIsFollowedAndTheFortyFirstRefused) {
  writeFile("file", "old");
  fs::create_symlink("file", "link40");
  for (int i = 39; i >= 0; --i)
    fs::create_symlink("link" + std::to_string(i + 1), "link" + std::to_string(i));
  // link1 .. link40 are 40 links; link0 makes 41.
  EXPECT_TRUE(openToRead("link1"));
  ASSERT_TRUE(replaceFile("link1", writeNewText));
  EXPECT_EQ(readFile("file"), newText);
  EXPECT_EQ(replaceFile("link0", writeNewText).error, ELOOP);
  EXPECT_EQ(openToRead("link0").error, ELOOP);
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status("link40")));
}

// The user's own file keeps every permission bit but the set-id ones, execute bits included.
TEST_F(Files, TheUsersOwnFileKeepsItsModeButNoSetIdBits) {
  for (const auto& [mode, kept] : {std::pair{0755, 0755}, std::pair{0700, 0700},
                                   std::pair{0610, 0610}, std::pair{06755, 0755}}) {
    writeFile("file", "old");
    ASSERT_EQ(::chmod("file", static_cast<mode_t>(mode)), 0);
    ASSERT_TRUE(replaceFile("file", writeNewText));
    EXPECT_EQ(fs::status("file").permissions(), fs::perms(kept)) << std::oct << mode;
  }
}

// A rename that fails leaves the old file and takes the temporary name away, named from the start
// or named at the last moment.
TEST_F(Files, AFailedRenameLeavesNoTemporaryName) {
  for (const bool unnamed : {true, false}) {
    SCOPED_TRACE(unnamed ? "unnamed new file" : "named new file");
    testing_support::noUnnamedFiles = !unnamed;
    writeFile("file", "old");
    testing_support::renameError = EIO;
    EXPECT_EQ(replaceFile("file", writeNewText).error, EIO);
    testing_support::renameError = 0;
    EXPECT_EQ(readFile("file"), "old");
    EXPECT_EQ(names(), std::vector<std::string>{"file"});
  }
}

// A file system that cannot sync a folder (EINVAL) has the file saved; a folder that fails to
// sync (EIO) is a failed save, told, though the new file is in place.
TEST_F(Files, AFolderThatCannotBeSyncedIsPassedOverAndOneThatFailsIsTold) {
  writeFile("file", "old");
  testing_support::folderSyncError = EINVAL;
  EXPECT_TRUE(replaceFile("file", writeNewText));
  testing_support::folderSyncError = EIO;
  newText = "newer\n";
  EXPECT_EQ(replaceFile("file", writeNewText).error, EIO);
  EXPECT_EQ(names(), std::vector<std::string>{"file"});
}

// Creating under a temporary name tries another name only when the name is taken: any other
// failure is told as it is.
TEST_F(Files, ACreateThatFailsIsToldWithItsOwnError) {
  testing_support::noUnnamedFiles = true;
  writeFile("file", "old");
  for (const int error : {EACCES, ENOSPC, EROFS, EDQUOT}) {
    testing_support::createError = error;
    EXPECT_EQ(replaceFile("file", writeNewText).error, error);
    EXPECT_EQ(replaceFile("new", writeNewText).error, error);
  }
  EXPECT_EQ(readFile("file"), "old");
  EXPECT_EQ(names(), std::vector<std::string>{"file"});
}

// The limit is the largest size taken: one byte more is refused unread.
TEST_F(Files, AFileOfExactlyTheLargestSizeIsReadAndOneByteMoreRefused) {
  writeFile("file", std::string(1000, ' '));
  EXPECT_TRUE(openToRead("file", 1000));
  EXPECT_STREQ(openToRead("file", 999).refusal, "too large");
}

// What was opened is looked at again: a FIFO or a folder swapped in between the first look and
// the open is refused as it would have been at the first look.
TEST_F(Files, AFileSwappedForAFifoOrAFolderJustBeforeTheOpenIsRefused) {
  for (const bool fifo : {true, false}) {
    SCOPED_TRACE(fifo ? "a FIFO" : "a folder");
    writeFile("file", "a game");
    testing_support::beforeReading = [fifo] {
      fs::remove("file");
      if (fifo) {
        ::mkfifo("file", 0644);
      } else {
        fs::create_directory("file");
      }
    };
    EXPECT_STREQ(openToRead("file").refusal, kNotRegular);
    EXPECT_FALSE(testing_support::beforeReading);  // it ran
    fs::remove("file");
  }
}

}  // namespace
}  // namespace vombel
