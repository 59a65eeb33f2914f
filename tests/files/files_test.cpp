// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The file unit alone: replacing a file and reading one against failing calls and files swapped
// at the wrong moment (tests/support/file_faults.h), link chains at the kernel's limit, the
// modes a replaced file gets. Each test runs in a scratch folder of its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "files/end_signals.h"
#include "files/folders.h"
#include "files/printable.h"
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

  // Opens path for reading as a saved game is read, with a limit of largest bytes; closes it.
  static FileResult openToRead(const char* path, long largest = 1000) {
    int fd = -1;
    FileResult result = openRegularFile(path, largest, "too large", fd);
    if (fd >= 0) ::close(fd);
    EXPECT_EQ(static_cast<bool>(result), fd >= 0);
    return result;
  }

  // Writes a file of text whose last change was secondsAgo ago.
  static void writeAged(const std::string& name, int secondsAgo) {
    writeFile(name, "left by a killed save");
    const timespec times[2] = {{::time(nullptr) - secondsAgo, 0},
                               {::time(nullptr) - secondsAgo, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, name.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
  }

  // Runs work in a child process and returns its wait status.
  template <typename Work>
  static int statusOfChild(Work work) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) _exit(work());
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
  }

  // Runs work as a user other than root, in a child process: as root the child becomes the user
  // nobody, after the scratch folder is opened to it; any other user runs work as itself.
  template <typename Work>
  int asAnotherUser(Work work) const {
    const bool root = ::geteuid() == 0;
    if (root) fs::permissions(scratch_.path(), fs::perms(0755));
    const int status = statusOfChild([&] {
      if (root && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) return 100;
      return work();
    });
    return WIFEXITED(status) ? WEXITSTATUS(status) : 200;
  }

  // Sets an environment variable, or unsets it (nullptr). CTest runs each test in a process
  // of its own.
  static void setVariable(const char* name, const char* value) {
    if (value != nullptr) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }

  static constexpr uid_t kStranger = 4321;
  static constexpr uid_t kNobody = 65534;

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
    EXPECT_EQ(testing_support::folderNames(), std::vector<std::string>{"file"});
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
  EXPECT_EQ(testing_support::folderNames(), std::vector<std::string>{"file"});
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
  EXPECT_EQ(testing_support::folderNames(), std::vector<std::string>{"file"});
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

// SIGTERM, SIGHUP or SIGINT while the new file has a temporary name waits for the rename: the
// save ends whole, then the signal ends the program, and no name is stranded. An unnamed file is
// named just before the rename; a file system without unnamed files names it from the start.
TEST_F(Files, AnEndingSignalDuringASaveWaitsUntilTheFileIsInPlace) {
  for (const bool unnamed : {true, false}) {
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
      SCOPED_TRACE(std::string(unnamed ? "unnamed" : "named") + " new file, signal " +
                   std::to_string(signal));
      writeFile("file", "old");
      testing_support::noUnnamedFiles = !unnamed;
      (unnamed ? testing_support::renameSignal : testing_support::fileSyncSignal) = signal;
      const int status = statusOfChild([] {
        replaceFile("file", writeNewText);
        return 0;
      });
      testing_support::resetFileFaults();
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
      EXPECT_EQ(readFile("file"), newText);
      EXPECT_EQ(testing_support::folderNames(), std::vector<std::string>{"file"});
    }
  }
}

// What a kill -9 or a power cut left, the next save or read in the folder removes: only the
// user's own regular files of the temporary names' pattern for that file, with no other link,
// unchanged for more than a minute.
TEST_F(Files, StaleTemporariesAreRemovedByTheNextSaveOrRead) {
  for (const bool save : {true, false}) {
    SCOPED_TRACE(save ? "save" : "read");
    for (const auto& entry : fs::directory_iterator("."))
      fs::remove_all(entry.path());
    writeFile("file", "old");
    writeFile("kept.txt", "the player's letter");
    writeAged("file.Ab3dE9", 120);  // removed
    std::vector<std::string> kept{"aged.txt", "file", "kept.txt"};
    for (const char* name :
         {"file.Ab3dE", "file.Ab3dE9x", "file.Ab-dE9", "other.Ab3dE9", "file.Ab3dE9.tmp"}) {
      writeAged(name, 120);  // not the pattern
      kept.emplace_back(name);
    }
    writeAged("file.Fresh0", 30);  // a save going on
    writeAged("aged.txt", 120);
    fs::create_hard_link("aged.txt", "file.Linked");
    fs::create_symlink("kept.txt", "file.Symlnk");
    fs::create_directory("file.Folder");
    kept.insert(kept.end(), {"file.Fresh0", "file.Linked", "file.Symlnk", "file.Folder"});
    if (::geteuid() == 0) {
      writeAged("file.Others", 120);
      ASSERT_EQ(::chown("file.Others", kStranger, kStranger), 0);
      kept.emplace_back("file.Others");
    }
    std::sort(kept.begin(), kept.end());
    EXPECT_TRUE(save ? replaceFile("file", writeNewText) : openToRead("file"));
    EXPECT_EQ(testing_support::folderNames(), kept);
  }
}

// A temporary name never passes NAME_MAX: a file with the longest name saves again and again,
// with a temporary name cut short between two characters, which the next save recognises.
TEST_F(Files, AFileWithTheLongestNameSavesAgainAndAgain) {
  // 247 + 3 * 2 + 2 = 255 bytes; a temporary name keeps the first 247, before the first "é".
  const std::string longest = std::string(247, 'n') + "\u00e9\u00e9\u00e9nn";
  ASSERT_EQ(longest.size(), 255u);
  fs::create_symlink(longest, "file");
  for (const bool unnamed : {true, false}) {
    SCOPED_TRACE(unnamed ? "unnamed new file" : "named new file");
    testing_support::noUnnamedFiles = !unnamed;
    for (int save = 0; save < 3; ++save) {
      newText = "save " + std::to_string(save);
      ASSERT_TRUE(replaceFile("file", writeNewText));
      EXPECT_EQ(readFile(longest), newText);
    }
  }
  writeAged(std::string(247, 'n') + ".Ab3dE9", 120);
  ASSERT_TRUE(replaceFile("file", writeNewText));
  EXPECT_EQ(testing_support::folderNames(), (std::vector<std::string>{"file", longest}));
}

// Another user's file that the user may replace (root may replace any) is replaced by a file of
// the ordinary mode, never its planted one; the user's own keeps its mode.
TEST_F(Files, AnotherUsersFileIsReplacedWithTheOrdinaryMode) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can make a file of another user";
  for (const auto& [mask, ordinary] : {std::pair{022, 0644}, std::pair{077, 0600}}) {
    for (const int planted : {0666, 06777, 0600}) {
      writeFile("file", "planted");
      ASSERT_EQ(::chown("file", kStranger, kStranger), 0);
      ASSERT_EQ(::chmod("file", static_cast<mode_t>(planted)), 0);
      const mode_t previous = ::umask(static_cast<mode_t>(mask));
      const bool replaced(replaceFile("file", writeNewText));
      ::umask(previous);
      ASSERT_TRUE(replaced);
      struct stat status {};
      ASSERT_EQ(::stat("file", &status), 0);
      EXPECT_EQ(status.st_mode & 07777, static_cast<mode_t>(ordinary)) << std::oct << planted;
      EXPECT_EQ(status.st_uid, 0u);
    }
  }
}

// The data and state folders come from the XDG variables when they are absolute paths, from HOME
// when it is one, and from the password database otherwise: never from the current folder.
TEST_F(Files, TheUserFoldersNeverLieUnderTheCurrentFolder) {
  setVariable("XDG_DATA_HOME", "/x/data/");
  setVariable("XDG_STATE_HOME", "/x/state");
  setVariable("HOME", "/home/player");
  EXPECT_EQ(userFolderPath(UserFolder::data), "/x/data/vombel-chess");
  EXPECT_EQ(userFolderPath(UserFolder::state), "/x/state/vombel-chess");
  setVariable("XDG_DATA_HOME", "relative");
  setVariable("XDG_STATE_HOME", "");
  EXPECT_EQ(userFolderPath(UserFolder::data), "/home/player/.local/share/vombel-chess");
  EXPECT_EQ(userFolderPath(UserFolder::state), "/home/player/.local/state/vombel-chess");
  const passwd* user = ::getpwuid(::getuid());
  const std::string fromDatabase =
      user != nullptr && user->pw_dir[0] == '/'
          ? (fs::path(user->pw_dir) / ".local/share/vombel-chess").string()
          : "";
  for (const char* home : {"relative", "", static_cast<const char*>(nullptr)}) {
    setVariable("HOME", home);
    EXPECT_EQ(userFolderPath(UserFolder::data), fromDatabase)
        << (home != nullptr ? home : "(unset)");
  }
}

// A folder is used only when every folder and link on the way is the user's or root's and the
// folder itself is the user's, closed to group and others, and can be entered. Missing folders are
// made with mode 0700.
TEST_F(Files, AFolderIsUsedOnlyWhenNoOtherUserCanChangeIt) {
  const auto open = [](const fs::path& path) {
    int fd = -1;
    FileResult result = openOwnFolder(path.c_str(), fd);
    EXPECT_EQ(static_cast<bool>(result), fd >= 0);
    if (fd >= 0) ::close(fd);
    return result;
  };
  const fs::path base = scratch_.path();
  ASSERT_TRUE(open(base / "a/b/game"));
  for (const char* made : {"a", "a/b", "a/b/game"})
    EXPECT_EQ(fs::status(made).permissions(), fs::perms(0700)) << made;
  fs::create_symlink("a/b", "linked");
  EXPECT_TRUE(open(base / "linked/game"));
  for (const int mode : {0770, 0702, 0777}) {
    fs::permissions("a/b/game", fs::perms(mode));
    EXPECT_STREQ(open(base / "linked/game").refusal, "game may be written by other users");
  }
  fs::permissions("a/b/game", fs::perms(0755));
  EXPECT_TRUE(open(base / "a/b/game"));

  // It exists but cannot be entered.
  fs::create_directory("locked");
  fs::permissions("locked", fs::perms(0600));
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown("locked", kNobody, kNobody), 0);
  }
  EXPECT_EQ(asAnotherUser([&] {
              int fd = -1;
              return openOwnFolder((base / "locked").c_str(), fd).error == EACCES ? 0 : 1;
            }),
            0);

  if (::geteuid() != 0) GTEST_SKIP() << "only root can make links and folders of another user";
  // In a folder all may write, another user's link, or folder, or a folder under theirs.
  fs::create_directory("shared");
  fs::permissions("shared", fs::perms(0777));
  fs::create_directory("trap");
  fs::create_symlink(base / "trap", "shared/vombel-chess");
  ASSERT_EQ(::lchown("shared/vombel-chess", kStranger, kStranger), 0);
  EXPECT_STREQ(open(base / "shared/vombel-chess").refusal,
               "vombel-chess is a link owned by another user");
  fs::remove("shared/vombel-chess");
  fs::create_directory("shared/vombel-chess");
  ASSERT_EQ(::chown("shared/vombel-chess", kStranger, kStranger), 0);
  fs::permissions("shared/vombel-chess", fs::perms(0700));
  EXPECT_STREQ(open(base / "shared/vombel-chess").refusal, "vombel-chess belongs to another user");
  ASSERT_EQ(::chown("shared", kStranger, kStranger), 0);
  EXPECT_STREQ(open(base / "shared/vombel-chess/mine").refusal, "shared belongs to another user");
  EXPECT_FALSE(fs::exists("shared/vombel-chess/mine"));
}

// A folder refused or not made is told, with the folder used instead, and the current folder
// stays; the one that is safe becomes the current folder. The state folder falls back the same.
TEST_F(Files, TheDataFolderIsEnteredOrTheRefusalTold) {
  const fs::path base = scratch_.path();
  fs::create_directory("shared");
  fs::permissions("shared", fs::perms(0777));
  fs::create_directory("shared/vombel-chess");
  fs::permissions("shared/vombel-chess", fs::perms(0777));
  setVariable("XDG_DATA_HOME", (base / "shared").c_str());
  setVariable("XDG_STATE_HOME", (base / "shared").c_str());
  EXPECT_EQ(enterDataFolder(), "The data folder " + (base / "shared/vombel-chess").string() +
                                   " cannot be used: vombel-chess may be written by other users. "
                                   "Save and Open use the folder " +
                                   base.string() + " instead.");
  EXPECT_EQ(fs::current_path(), base);
  int fd = -1;
  std::string used;
  EXPECT_NE(
      openUserFolder(UserFolder::state, fd, used)
          .find("vombel-chess may be written by other users. The last game is kept in the folder " +
                base.string() + " instead."),
      std::string::npos);
  EXPECT_EQ(fs::read_symlink("/proc/self/fd/" + std::to_string(fd)), base);
  EXPECT_EQ(used, base.string());
  ::close(fd);

  setVariable("XDG_DATA_HOME", (base / "own").c_str());
  EXPECT_EQ(enterDataFolder(), "");
  EXPECT_EQ(fs::current_path(), base / "own/vombel-chess");
}

// A caught ending signal is noted and written to the pipe the event loop watches; the program
// then ends as the signal would have ended it.
TEST_F(Files, AnEndingSignalIsNotedAndEndsTheProgramWhenAsked) {
  for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
    const int status = statusOfChild([signal] {
      if (!catchEndingSignals() || endingSignal() != 0) return 1;
      ::raise(signal);
      char byte = 0;
      if (endingSignal() != signal || ::read(endingSignalWatch(), &byte, 1) != 1) return 2;
      endAsSignalled();
    });
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
  }
}

// Text printed on a terminal has every control character escaped, and valid UTF-8 as it is.
TEST_F(Files, PrintableTextEscapesWhatATerminalWouldActOn) {
  EXPECT_EQ(printable("/home/j\u00fcrgen/\u65e5\u672c/\U0001F600 x"),
            "/home/j\u00fcrgen/\u65e5\u672c/\U0001F600 x");
  EXPECT_EQ(printable("a\nb\tc\rd\\e"), "a\\nb\\tc\\rd\\\\e");
  EXPECT_EQ(printable("\x1b[31mred\x7f"), "\\x1b[31mred\\x7f");
  EXPECT_EQ(printable(std::string("\0z", 2)), "\\x00z");
  // C1 controls, stray and cut bytes, overlong forms and surrogates.
  EXPECT_EQ(printable("\xc2\x9b"
                      "2J"),
            "\\xc2\\x9b2J");
  EXPECT_EQ(printable("\xff\xc3"), "\\xff\\xc3");
  EXPECT_EQ(printable("\xe0\x80\xaf"), "\\xe0\\x80\\xaf");
  EXPECT_EQ(printable("\xed\xa0\x80"), "\\xed\\xa0\\x80");
}

}  // namespace
}  // namespace vombel
