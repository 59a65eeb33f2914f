// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The saved-game file against a hostile or failing file system: links and other files planted at
// temporary names, links of other users, two programs saving at once, the mode of the replaced
// file, a game file that is a link, a FIFO, a directory or far too large, and saves that fail or
// are killed. Each test runs in a scratch folder of its own.
//
// This program replaces functions of the C library (tests/support/file_faults.h), so that a test
// can know the names a save will try, refuse unnamed files, and see, fail or kill the sync.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "game/events.h"
#include "game/last_game.h"
#include "game/saved_game.h"
#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "platform/game_view.h"
#include "state/board_ops.h"
#include "state/history.h"
#include "state/state.h"
#include "tests/support/file_faults.h"
#include "tests/support/game_file.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/test_support.h"

namespace vombel {
namespace {

namespace fs = std::filesystem;
using namespace testing_support;

// Runs work in a child process and waits for it at most seconds: "exit N" when it ended with
// status N, "hung" when it had to be killed. A call that blocks forever cannot hang the test.
std::string runBounded(const std::function<int()>& work, int seconds = 20) {
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) _exit(work());
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  int status = 0;
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      return "hung";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return WIFEXITED(status) ? "exit " + std::to_string(WEXITSTATUS(status)) : "killed";
}

class SavedGameFile : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    selectLevel(false);
    warnings.clear();
    setGameView(&warningView_);
    scratch_.enter("vombel-file");
    resetFileFaults();
  }
  void TearDown() override {
    setGameView(nullptr);
    resetFileFaults();
    keepLastGameIn(-1, "");
    scratch_.leave();
  }

  // Removes everything in the scratch folder.
  static void emptyFolder() {
    for (const auto& entry : fs::directory_iterator("."))
      fs::remove_all(entry.path());
  }

  // Runs work in a child process as a user other than root: as root the child becomes the user
  // nobody, after the scratch folder is given to it; any other user runs work as itself.
  std::string runAsUser(const std::function<int()>& work) const {
    const bool root = ::geteuid() == 0;
    if (root && ::chown(scratch_.path().c_str(), kNobody, kNobody) != 0) return "chown failed";
    return runBounded([&] {
      if (root &&
          (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
        return 100;
      return work();
    });
  }

  // The text of the one warning shown since the last clear, or a note of how many there were.
  static std::string onlyWarning() {
    return warnings.size() == 1 ? warnings[0] : std::to_string(warnings.size()) + " warnings shown";
  }

  static constexpr uid_t kNobody = 65534;

  // A game of n half-moves: the start position repeated, which saves and loads like any other.
  static void makeGame(int n) {
    for (int i = 1; i <= n; ++i)
      copyWholeBoard(gameHistory[i], gameHistory[0]);
    moveNumber = static_cast<float>(n);
    setHistoriaMax(n);
    setHistoriaValue(n);
  }

  // The bytes a save of the current game writes, taken from a save into a folder of their own.
  static std::string savedBytes() {
    fs::create_directories("reference");
    EXPECT_TRUE(saveGameFile("reference/game.vmb"));
    std::string text = readFile("reference/game.vmb");
    fs::remove_all("reference");
    return text;
  }

  static inline std::vector<std::string> warnings;
  // Keeps the warnings the game shows.
  struct WarningView : GameView {
    void warn(const char* text) override { warnings.emplace_back(text); }
  } warningView_;
  testing_support::ScratchDirectory scratch_;
};

// A save names its new file only to rename it over juego.vmb: an unnamed file gets the name at
// the last moment, a file system without unnamed files has the file named from the start. Either
// way a name that is taken is passed over, whatever it is.
TEST_F(SavedGameFile, PlantedLinksAtTemporaryNamesAreLeftAlone) {
  const std::string game = savedBytes();
  for (const bool unnamed : {true, false}) {
    SCOPED_TRACE(unnamed ? "unnamed new file" : "named new file");
    emptyFolder();
    noUnnamedFiles = !unnamed;
    writeFile("juego.vmb", "the old game");
    writeFile("victim.txt", "the player's letter\n");
    writeFile("hard.txt", "the player's diary\n");
    // The old fixed name and the first three names this save will try.
    fs::create_symlink("victim.txt", "juego.vmb.tmp");
    fs::create_symlink("victim.txt", "juego.vmb.AAAAAA");
    fs::create_symlink("created-by-the-save.txt", "juego.vmb.BBBBBB");  // dangling
    fs::create_hard_link("hard.txt", "juego.vmb.CCCCCC");
    scriptRandomBytes({0, 1, 2, 3});

    warnings.clear();
    guardar_Click();
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(scriptedCalls, 0);  // three names were taken: the fourth was used
    EXPECT_EQ(readFile("victim.txt"), "the player's letter\n");
    EXPECT_EQ(readFile("hard.txt"), "the player's diary\n");
    EXPECT_EQ(fs::hard_link_count("hard.txt"), 2u);
    EXPECT_EQ(fs::read_symlink("juego.vmb.tmp"), "victim.txt");
    EXPECT_EQ(fs::read_symlink("juego.vmb.AAAAAA"), "victim.txt");
    EXPECT_EQ(fs::read_symlink("juego.vmb.BBBBBB"), "created-by-the-save.txt");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status("juego.vmb")));
    EXPECT_EQ(readFile("juego.vmb"), game);
    // Nothing else appeared: no dangling target created, no temporary file left.
    EXPECT_EQ(
        testing_support::folderNames(),
        (std::vector<std::string>{"hard.txt", "juego.vmb", "juego.vmb.AAAAAA", "juego.vmb.BBBBBB",
                                  "juego.vmb.CCCCCC", "juego.vmb.tmp", "victim.txt"}));
  }
}

TEST_F(SavedGameFile, ADirectoryOrAFifoAtATemporaryNameDoesNotStopASave) {
  for (const bool unnamed : {true, false}) {
    SCOPED_TRACE(unnamed ? "unnamed new file" : "named new file");
    emptyFolder();
    noUnnamedFiles = !unnamed;
    writeFile("juego.vmb", "the old game");
    fs::create_directory("juego.vmb.tmp");
    scriptRandomBytes({0});
    fs::create_directory("juego.vmb.AAAAAA");  // a stale name of this program's own, taken
    ASSERT_TRUE(saveGameFile(kGameFileName));
    EXPECT_EQ(scriptedCalls, 0);

    fs::remove("juego.vmb.tmp");
    ASSERT_EQ(::mkfifo("juego.vmb.tmp", 0644), 0);
    scriptRandomBytes({0});
    fs::remove("juego.vmb.AAAAAA");
    ASSERT_EQ(::mkfifo("juego.vmb.AAAAAA", 0644), 0);
    // Opening a FIFO for writing waits for a reader: the save runs in a child that must return.
    ASSERT_EQ(runBounded([] { return saveGameFile(kGameFileName) && scriptedCalls == 0 ? 0 : 1; }),
              "exit 0");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status("juego.vmb")));
    EXPECT_TRUE(fs::is_fifo("juego.vmb.tmp"));
    EXPECT_TRUE(fs::is_fifo("juego.vmb.AAAAAA"));
    EXPECT_EQ(testing_support::folderNames(),
              (std::vector<std::string>{"juego.vmb", "juego.vmb.AAAAAA", "juego.vmb.tmp"}));
  }
}

TEST_F(SavedGameFile, TheReplacedFileKeepsItsModeAndANewFileFollowsTheUmask) {
  ASSERT_TRUE(saveGameFile(kGameFileName));
  std::vector<fs::perms> modes{fs::perms(0600), fs::perms(0640)};
  if (::geteuid() == 0) modes.push_back(fs::perms(0444));  // root may write any file
  for (const fs::perms mode : modes) {
    fs::permissions("juego.vmb", mode);
    ASSERT_TRUE(saveGameFile(kGameFileName));
    EXPECT_EQ(fs::status("juego.vmb").permissions(), mode);
  }
  for (const auto& [mask, mode] :
       {std::pair{022, 0644}, std::pair{077, 0600}, std::pair{0, 0644}}) {
    fs::remove("juego.vmb");
    const mode_t previous = ::umask(static_cast<mode_t>(mask));
    const bool saved(saveGameFile(kGameFileName));
    ::umask(previous);
    ASSERT_TRUE(saved);
    EXPECT_EQ(fs::status("juego.vmb").permissions(), fs::perms(mode)) << "umask " << mask;
  }
}

TEST_F(SavedGameFile, AGameFileThatIsALinkStaysOneAndItsTargetGetsTheGame) {
  makeGame(3);
  const std::string game = savedBytes();
  fs::create_directories("games/old");
  // juego.vmb -> games/current.vmb -> old/kept.vmb (relative to games/), a chain of two links
  // whose last target does not exist yet.
  fs::create_symlink("games/current.vmb", "juego.vmb");
  fs::create_symlink("old/kept.vmb", "games/current.vmb");
  ASSERT_TRUE(saveGameFile(kGameFileName));
  EXPECT_EQ(fs::read_symlink("juego.vmb"), "games/current.vmb");
  EXPECT_EQ(fs::read_symlink("games/current.vmb"), "old/kept.vmb");
  EXPECT_EQ(readFile("games/old/kept.vmb"), game);

  // An absolute link to a private file: it stays a link, the target keeps its mode.
  fs::remove("juego.vmb");
  const fs::path target = scratch_.path() / "games" / "private.vmb";
  writeFile(target, "old");
  fs::permissions(target, fs::perms(0600));
  fs::create_symlink(target, "juego.vmb");
  ASSERT_TRUE(saveGameFile(kGameFileName));
  EXPECT_EQ(fs::read_symlink("juego.vmb"), target);
  EXPECT_EQ(readFile(target), game);
  EXPECT_EQ(fs::status(target).permissions(), fs::perms(0600));
  // Open reads through the link.
  nuevo_Click();
  open_Click();
  EXPECT_EQ(currentMove(), 3);

  // A loop of links is a failure, not a hang.
  fs::remove("juego.vmb");
  fs::create_symlink("juego.vmb", "juego.vmb");
  EXPECT_EQ(saveGameFile(kGameFileName).error, ELOOP);
}

// A link planted by another user is never followed, wherever it is in the chain: Save and Open
// refuse it and say so, and nothing changes. Links of root and the user's own are followed.
TEST_F(SavedGameFile, LinksOfOtherUsersAreRefusedOnSaveAndOpen) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can make a link of another user";
  constexpr uid_t kStranger = 4321;
  const auto plant = [](const char* target, const char* link) {
    fs::create_symlink(target, link);
    ASSERT_EQ(::lchown(link, kStranger, kStranger), 0);
  };
  const std::string letter = "the player's letter\n";
  writeFile("victim.txt", letter);
  plant("victim.txt", "juego.vmb");
  makeGame(2);
  const std::vector<std::string> before = testing_support::folderNames();
  guardar_Click();
  open_Click();
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_NE(warnings[0].find("saved to " + (scratch_.path() / "juego.vmb").string() +
                             ": juego.vmb is a link owned by another user."),
            std::string::npos)
      << warnings[0];
  EXPECT_NE(warnings[1].find("juego.vmb is a link owned by another user"), std::string::npos)
      << warnings[1];
  EXPECT_EQ(currentMove(), 2);  // Open took nothing in
  EXPECT_EQ(readFile("victim.txt"), letter);
  EXPECT_EQ(fs::read_symlink("juego.vmb"), "victim.txt");
  EXPECT_EQ(testing_support::folderNames(), before);

  // Dangling: the file it names is not created.
  fs::remove("juego.vmb");
  plant("created.txt", "juego.vmb");
  EXPECT_STREQ(saveGameFile(kGameFileName).refusal, "juego.vmb is a link owned by another user");
  EXPECT_FALSE(fs::exists(fs::symlink_status("created.txt")));

  // Further down a chain of the user's own links, and a linked folder.
  fs::remove("juego.vmb");
  fs::create_directory("games");
  fs::create_symlink("games/current.vmb", "juego.vmb");
  plant("../victim.txt", "games/current.vmb");
  EXPECT_STREQ(saveGameFile(kGameFileName).reason(), "current.vmb is a link owned by another user");
  EXPECT_STREQ(loadGameFile(kGameFileName).reason(), "current.vmb is a link owned by another user");
  plant("games", "shared");
  EXPECT_STREQ(saveGameFile("shared/new.vmb").reason(), "shared is a link owned by another user");
  EXPECT_EQ(readFile("victim.txt"), letter);
  EXPECT_EQ(testing_support::folderNames(),
            (std::vector<std::string>{"games", "juego.vmb", "shared", "victim.txt"}));
  EXPECT_EQ(fs::directory_iterator("games")->path().filename(), "current.vmb");

  // Another user follows root's link and their own, and refuses the stranger's.
  fs::remove("juego.vmb");
  fs::create_symlink("kept.vmb", "by-root.vmb");
  plant("victim.txt", "by-stranger.vmb");
  EXPECT_EQ(runAsUser([] {
              ::symlink("by-root.vmb", "juego.vmb");  // the user's own link to root's
              if (!saveGameFile(kGameFileName) || !loadGameFile(kGameFileName)) return 1;
              if (!fs::is_regular_file(fs::symlink_status("kept.vmb"))) return 2;
              return saveGameFile("by-stranger.vmb").refusal[0] != '\0' ? 0 : 3;
            }),
            "exit 0");
  EXPECT_EQ(readFile("victim.txt"), letter);
}

// A juego.vmb the user may not write stays as it is, root's or the user's own.
TEST_F(SavedGameFile, AReadOnlyGameFileIsNotReplaced) {
  writeFile("juego.vmb", "the old game");
  fs::permissions("juego.vmb", fs::perms(0444));
  makeGame(3);
  EXPECT_EQ(runAsUser([] {
              warnings.clear();
              guardar_Click();
              if (onlyWarning().find(std::strerror(EACCES)) == std::string::npos) return 2;
              if (!saveGameFile("own.vmb") || ::chmod("own.vmb", 0444) != 0) return 3;
              return saveGameFile("own.vmb").error == EACCES ? 0 : 4;
            }),
            "exit 0");
  EXPECT_EQ(readFile("juego.vmb"), "the old game");
  EXPECT_EQ(fs::status("juego.vmb").permissions(), fs::perms(0444));
  EXPECT_EQ(testing_support::folderNames(), (std::vector<std::string>{"juego.vmb", "own.vmb"}));
}

// Save writes only a regular file: a FIFO, a folder or a link to a FIFO at juego.vmb is refused,
// told and left as it is, and nothing is added beside it.
TEST_F(SavedGameFile, SaveRefusesAGameFileThatIsNotARegularFile) {
  const auto refused = [] {
    // A FIFO opened for writing would wait for a reader: the save runs in a child.
    return runBounded([] {
      warnings.clear();
      guardar_Click();
      return onlyWarning().find(": not a regular file.") != std::string::npos ? 0 : 1;
    });
  };
  ASSERT_EQ(::mkfifo("juego.vmb", 0644), 0);
  EXPECT_EQ(refused(), "exit 0");
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status("juego.vmb")));
  EXPECT_EQ(testing_support::folderNames(), std::vector<std::string>{"juego.vmb"});

  fs::remove("juego.vmb");
  fs::create_directory("juego.vmb");
  writeFile("juego.vmb/inside", "kept");
  EXPECT_EQ(refused(), "exit 0");
  EXPECT_EQ(readFile("juego.vmb/inside"), "kept");
  EXPECT_EQ(testing_support::folderNames(), std::vector<std::string>{"juego.vmb"});

  fs::remove_all("juego.vmb");
  ASSERT_EQ(::mkfifo("pipe", 0644), 0);
  fs::create_symlink("pipe", "juego.vmb");
  EXPECT_EQ(refused(), "exit 0");
  EXPECT_EQ(fs::read_symlink("juego.vmb"), "pipe");
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status("pipe")));
  EXPECT_EQ(testing_support::folderNames(), (std::vector<std::string>{"juego.vmb", "pipe"}));
}

// Links whose whole resolved path is longer than any path the system takes: each is walked from
// the folder the last one led to, so the chain is saved and opened like a short one.
TEST_F(SavedGameFile, ALinkChainLongerThanAnyPathIsSavedAndOpened) {
  const std::string folder(200, 'f');
  std::string twelve;  // 12 folders deep, 2412 bytes
  for (int i = 0; i < 12; ++i)
    twelve += folder + "/";
  for (int i = 0; i < 24; ++i) {
    fs::create_directory(folder);
    fs::current_path(folder);  // relative steps: the whole path is too long to name
  }
  fs::current_path(scratch_.path());
  // juego.vmb -> 12 folders down/hop -> 12 more folders down/game.vmb: over 4900 bytes.
  fs::create_symlink(twelve + "hop", "juego.vmb");
  fs::current_path(twelve);
  fs::create_symlink(twelve + "game.vmb", "hop");
  fs::current_path(scratch_.path());

  makeGame(7);
  const std::string game = savedBytes();
  guardar_Click();
  EXPECT_TRUE(warnings.empty()) << onlyWarning();
  makeGame(0);
  open_Click();
  EXPECT_EQ(currentMove(), 7);
  fs::current_path(twelve);
  fs::current_path(twelve);
  EXPECT_EQ(readFile("game.vmb"), game);
  fs::current_path(scratch_.path());
  EXPECT_EQ(std::system(("rm -rf " + folder).c_str()), 0);  // too deep for remove_all
}

// Two programs saving different games into one folder at the same moment, round after round:
// after each round the folder holds one whole game, the one or the other, and nothing else.
TEST_F(SavedGameFile, ConcurrentSavesAlwaysLeaveOneWholeGame) {
  constexpr int kRounds = 150;
  int go[2][2];  // a byte on go[k] starts saver k's next save
  int done[2];   // each saver answers with 'y' (saved) or 'n'
  ASSERT_EQ(::pipe(go[0]), 0);
  ASSERT_EQ(::pipe(go[1]), 0);
  ASSERT_EQ(::pipe(done), 0);
  std::vector<pid_t> savers;
  for (const int k : {0, 1}) {
    const pid_t child = ::fork();
    if (child == 0) {
      makeGame(k == 0 ? 2 : 40);
      ::close(go[0][1]);
      ::close(go[1][1]);
      ::close(done[0]);
      char byte;
      while (::read(go[k][0], &byte, 1) == 1) {
        const char answer = saveGameFile(kGameFileName) ? 'y' : 'n';
        if (::write(done[1], &answer, 1) != 1) _exit(1);
      }
      _exit(0);
    }
    savers.push_back(child);
  }
  ::close(done[1]);
  int failedSaves = 0;
  int brokenRounds = 0;
  for (int round = 0; round < kRounds; ++round) {
    ASSERT_EQ(::write(go[0][1], "g", 1), 1);
    ASSERT_EQ(::write(go[1][1], "g", 1), 1);
    for (int answer = 0; answer < 2; ++answer) {
      char byte = 'n';
      ASSERT_EQ(::read(done[0], &byte, 1), 1);
      if (byte != 'y') ++failedSaves;
    }
    makeGame(0);
    const bool whole = loadGameFile(kGameFileName) && (currentMove() == 2 || currentMove() == 40);
    if (!whole || testing_support::folderNames() != std::vector<std::string>{"juego.vmb"})
      ++brokenRounds;
  }
  for (int* pipe : go) {
    ::close(pipe[1]);  // the savers read the end and leave
    ::close(pipe[0]);
  }
  for (const pid_t child : savers)
    ::waitpid(child, nullptr, 0);
  ::close(done[0]);
  EXPECT_EQ(failedSaves, 0);
  EXPECT_EQ(brokenRounds, 0) << "of " << kRounds;
}

// The new file is on disk, whole, before it takes the old one's place, and a sync that fails
// keeps the old file and leaves nothing else.
TEST_F(SavedGameFile, TheNewFileIsSyncedBeforeItReplacesTheOldOne) {
  makeGame(5);
  const std::string game = savedBytes();
  for (const bool unnamed : {true, false}) {
    SCOPED_TRACE(unnamed ? "unnamed new file" : "named new file");
    noUnnamedFiles = !unnamed;
    writeFile("juego.vmb", "the old game");
    fileSyncs = 0;
    ASSERT_TRUE(saveGameFile(kGameFileName));
    EXPECT_EQ(fileSyncs, 1);
    EXPECT_EQ(syncedSize, static_cast<long>(game.size()));
    EXPECT_EQ(gameAtSync, "the old game");
    EXPECT_EQ(readFile("juego.vmb"), game);

    writeFile("juego.vmb", "the old game");
    fileSyncError = EIO;
    warnings.clear();
    guardar_Click();
    fileSyncError = 0;
    EXPECT_NE(onlyWarning().find(std::strerror(EIO)), std::string::npos) << onlyWarning();
    EXPECT_EQ(readFile("juego.vmb"), "the old game");
    EXPECT_EQ(testing_support::folderNames(), std::vector<std::string>{"juego.vmb"});
  }
}

// A save killed once the new file is written, the moment it holds the most, leaves the folder as
// it was: the new file has no name yet.
TEST_F(SavedGameFile, ASaveKilledMidWayLeavesNothingBehind) {
  makeGame(30);
  for (const bool replacing : {true, false}) {
    SCOPED_TRACE(replacing ? "replacing a game" : "a new game");
    emptyFolder();
    if (replacing) writeFile("juego.vmb", "the old game");
    fileSyncSignal = SIGKILL;
    EXPECT_EQ(runBounded([] {
                saveGameFile(kGameFileName);
                return 0;
              }),
              "killed");
    fileSyncSignal = 0;
    EXPECT_EQ(testing_support::folderNames(),
              replacing ? std::vector<std::string>{"juego.vmb"} : std::vector<std::string>{});
    if (replacing) {
      EXPECT_EQ(readFile("juego.vmb"), "the old game");
    }
  }
}

// Each failure the root user meets as well: a file size limit cuts the writing short, a folder
// that does not exist, juego.vmb a directory.
TEST_F(SavedGameFile, AFailedSaveIsToldAndKeepsTheOldFile) {
  guardar_Click();
  const std::string old = readFile("juego.vmb");
  makeGame(20);  // about 26 kB, the start position 1.3 kB

  rlimit previous{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
  rlimit small = previous;
  small.rlim_cur = 4096;
  struct sigaction ignore {};
  struct sigaction oldAction {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGXFSZ, &ignore, &oldAction);  // write then fails with EFBIG
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  guardar_Click();
  ::setrlimit(RLIMIT_FSIZE, &previous);
  ::sigaction(SIGXFSZ, &oldAction, nullptr);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find((scratch_.path() / "juego.vmb").string()), std::string::npos)
      << warnings[0];
  EXPECT_NE(warnings[0].find(std::strerror(EFBIG)), std::string::npos) << warnings[0];
  EXPECT_EQ(readFile("juego.vmb"), old);
  EXPECT_EQ(testing_support::folderNames(),
            std::vector<std::string>{"juego.vmb"});  // the temporary file is removed

  EXPECT_EQ(saveGameFile("no-such-folder/juego.vmb").error, ENOENT);

  fs::create_directory("inner");
  fs::create_directory("inner/juego.vmb");
  fs::current_path("inner");
  guardar_Click();
  EXPECT_EQ(warnings.size(), 2u);
  EXPECT_TRUE(fs::is_directory("juego.vmb"));
  fs::current_path(scratch_.path());

  // After the failures a save works again.
  guardar_Click();
  EXPECT_EQ(warnings.size(), 2u);
  EXPECT_NE(readFile("juego.vmb"), old);
}

// A folder the user may not write into, as a user other than root: the root user may write
// anywhere, so as root the save runs in a child that has become the user nobody.
TEST_F(SavedGameFile, AFolderTheUserMayNotWriteKeepsTheOldFile) {
  guardar_Click();
  const std::string old = readFile("juego.vmb");
  makeGame(4);
  fs::permissions(scratch_.path(), fs::perms(0755));
  fs::permissions("juego.vmb", fs::perms(0666));  // the file itself is writable: the folder is not
  const auto saveAsAnotherUser = [] {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 3;
    if (::geteuid() != 0) ::chmod(".", 0555);
    warnings.clear();
    guardar_Click();
    return warnings.size() == 1 && warnings[0].find(std::strerror(EACCES)) != std::string::npos ? 0
                                                                                                : 2;
  };
  EXPECT_EQ(runBounded(saveAsAnotherUser), "exit 0");
  EXPECT_EQ(readFile("juego.vmb"), old);
  EXPECT_EQ(testing_support::folderNames(), std::vector<std::string>{"juego.vmb"});
}

// Open must return at once whatever juego.vmb is, and change nothing, selection included, when
// it cannot be used; only a missing file stays silent.
TEST_F(SavedGameFile, OpenRefusesWhatIsNotAGameAtOnce) {
  c_Click(screenIndex(5, 2));  // a selection, which a failed Open keeps
  ASSERT_EQ(clickState, 1);
  const Board before = board;
  const auto unchanged = [&] {
    return clickState == 1 && currentMove() == 0 &&
           std::memcmp(&board, &before, sizeof(Board)) == 0;
  };

  ASSERT_EQ(::mkfifo("juego.vmb", 0644), 0);
  // Reading a FIFO waits for a writer: the Open runs in a child that must return.
  ASSERT_EQ(runBounded([] {
              open_Click();
              return onlyWarning().find(": not a regular file.") != std::string::npos ? 0 : 1;
            }),
            "exit 0");
  open_Click();  // safe now
  EXPECT_TRUE(unchanged());
  fs::remove("juego.vmb");

  // Far larger than any game: a sparse terabyte would take hours to read.
  {
    std::ofstream("juego.vmb").close();
    fs::resize_file("juego.vmb", std::uintmax_t{1} << 40);
  }
  ASSERT_EQ(runBounded([] {
              open_Click();
              return 0;
            }),
            "exit 0");
  open_Click();
  EXPECT_TRUE(unchanged());
  // Just over the limit in blanks, which a reader otherwise skips.
  writeFile("juego.vmb", std::string(static_cast<std::size_t>(kLargestGameFile) + 1, ' '));
  open_Click();
  EXPECT_TRUE(unchanged());
  fs::remove("juego.vmb");

  fs::create_directory("juego.vmb");
  open_Click();
  EXPECT_TRUE(unchanged());
  fs::remove("juego.vmb");
  fs::create_symlink("/dev/zero", "juego.vmb");
  open_Click();
  EXPECT_TRUE(unchanged());
  fs::remove("juego.vmb");
  writeFile("juego.vmb", " 0 \r\n garbage \r\n");
  open_Click();
  EXPECT_TRUE(unchanged());
  ASSERT_EQ(warnings.size(), 6u);
  EXPECT_NE(warnings[0].find("not a regular file"), std::string::npos) << warnings[0];
  EXPECT_NE(warnings[1].find("too large"), std::string::npos) << warnings[1];
  EXPECT_NE(warnings[2].find("too large"), std::string::npos) << warnings[2];
  EXPECT_NE(warnings[5].find("not a saved game"), std::string::npos) << warnings[5];
  for (const std::string& text : warnings) {
    EXPECT_NE(text.find((scratch_.path() / "juego.vmb").string()), std::string::npos) << text;
  }

  fs::remove("juego.vmb");
  open_Click();  // missing: silent
  EXPECT_EQ(warnings.size(), 6u);
  EXPECT_TRUE(unchanged());
}

// Under a file size limit the driver is not killed: the save fails, is told, and the old file is
// kept with nothing beside it.
TEST_F(SavedGameFile, DriverUnderAFileSizeLimitTellsTheFailedSave) {
  writeFile("juego.vmb", "the old game");
  // One block of 512 bytes: the start position's file is 763 bytes.
  const int status = std::system("ulimit -f 1; exec '" DRIVER_PATH "' save 2>err.txt");
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_NE(readFile("err.txt").find(std::strerror(EFBIG)), std::string::npos)
      << readFile("err.txt");
  EXPECT_EQ(readFile("juego.vmb"), "the old game");
  EXPECT_EQ(testing_support::folderNames(), (std::vector<std::string>{"err.txt", "juego.vmb"}));
}

// Started in the root folder, a failure names "/juego.vmb", not "//juego.vmb".
TEST_F(SavedGameFile, AFailureInTheRootFolderNamesTheFileOnce) {
  if (fs::exists(fs::symlink_status("/juego.vmb"))) GTEST_SKIP() << "/juego.vmb exists";
  EXPECT_EQ(runAsUser([] {
              if (::chdir("/") != 0) return 1;
              warnings.clear();
              guardar_Click();
              const std::string expected =
                  std::string("The game could not be saved to /juego.vmb: ") +
                  std::strerror(EACCES) + ".";
              return onlyWarning() == expected ? 0 : 2;
            }),
            "exit 0");
}

// The driver tells a failed save on standard error, runs the later events and ends with status 1.
TEST_F(SavedGameFile, DriverReportsAFailedSaveAndGoesOn) {
  fs::create_directory("juego.vmb");
  const std::string command = "'" DRIVER_PATH "' --level easy save click:52 click:36 2>err.txt";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char line[256] = "";
  const bool printed = std::fgets(line, sizeof line, pipe) != nullptr;
  const int status = ::pclose(pipe);
  EXPECT_TRUE(printed);
  EXPECT_EQ(std::strncmp(line, "move=2 ", 7), 0) << line;  // the move after the save was played
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_NE(readFile("err.txt").find("could not be saved"), std::string::npos);
}

// Names on standard error reach the terminal with their control characters escaped.
TEST_F(SavedGameFile, DriverEscapesControlCharactersInNames) {
  const int status =
      std::system("'" DRIVER_PATH "' --in \"$(printf 'no\\033[2Jsuch\\nfile')\" 2>err.txt");
  EXPECT_EQ(WEXITSTATUS(status), 2);
  const std::string told = readFile("err.txt");
  EXPECT_NE(told.find("'no\\x1b[2Jsuch\\nfile': No such file"), std::string::npos) << told;
  EXPECT_EQ(told.find('\x1b'), std::string::npos);
}

// The last game: New, Open and Resume keep a game with moves kept nowhere else before they
// discard it, and Resume brings it back as Open would.
TEST_F(SavedGameFile, TheLastGameIsKeptWhenAGameWithUnkeptMovesIsDiscarded) {
  fs::create_directory("state");
  keepLastGameIn(::open("state", O_PATH | O_DIRECTORY | O_CLOEXEC), "state");
  const auto lastGame = [] { return readFile("state/last-game.vmb"); };
  EXPECT_FALSE(hasLastGame());
  nuevo_Click();  // nothing to keep
  EXPECT_FALSE(hasLastGame());
  c_Click(screenIndex(5, 2));  // e2-e4 and the reply
  c_Click(screenIndex(5, 4));
  ASSERT_EQ(currentMove(), 2);
  const std::string played = savedBytes();
  nuevo_Click();
  EXPECT_EQ(lastGame(), played);
  c_Click(screenIndex(4, 2));  // d2-d4: a second game, saved
  c_Click(screenIndex(4, 4));
  const std::string second = savedBytes();
  guardar_Click();
  nuevo_Click();  // in juego.vmb: not kept again
  EXPECT_EQ(lastGame(), played);
  resume_Click();
  EXPECT_EQ(currentMove(), 2);
  EXPECT_EQ(savedBytes(), played);
  open_Click();  // the resumed game is in the last game's file: not kept again
  EXPECT_EQ(savedBytes(), second);
  EXPECT_EQ(lastGame(), played);

  // A Save short of the last entry leaves the later ones kept nowhere: Open keeps them all.
  historia_Scroll(1);
  guardar_Click();
  open_Click();
  EXPECT_EQ(lastGame(), second);
  // A piece moved in set-up is kept with the position it was moved in, and Resume swaps the two
  // games.
  boardsu.value = 1;
  c_Click(screenIndex(1, 2));  // a2-a5
  c_Click(screenIndex(1, 5));
  boardsu.value = 0;
  const Board setUp = board;
  resume_Click();
  EXPECT_EQ(currentMove(), 2);
  EXPECT_EQ(savedBytes(), second);
  resume_Click();
  EXPECT_EQ(currentMove(), 1);
  EXPECT_EQ(std::memcmp(&board, &setUp, sizeof board), 0);
  EXPECT_TRUE(warnings.empty()) << onlyWarning();

  // A last game that cannot be written is told; New goes on.
  fs::remove("state/last-game.vmb");
  fs::create_directory("state/last-game.vmb");
  nuevo_Click();
  EXPECT_EQ(currentMove(), 0);
  EXPECT_EQ(onlyWarning(),
            "The game on the board could not be kept as the last game in state/last-game.vmb: "
            "not a regular file.");
}

// SIGTERM, SIGHUP and SIGINT end the driver as the desktop's logout or a terminal ends the game:
// the last game is kept first, and the driver ends as the signal ends a program.
TEST_F(SavedGameFile, AnEndingSignalKeepsTheLastGame) {
  for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
    SCOPED_TRACE(signal);
    fs::remove_all("state");
    int output[2];
    ASSERT_EQ(::pipe(output), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      ::dup2(output[1], 1);
      ::setenv("XDG_STATE_HOME", (scratch_.path() / "state").c_str(), 1);
      ::execl(DRIVER_PATH, DRIVER_PATH, "--keep-last-game", "--level", "easy", "click:52",
              "click:36", "wait:60", static_cast<char*>(nullptr));
      _exit(127);
    }
    ::close(output[1]);
    char line[256] = "";
    FILE* printed = ::fdopen(output[0], "r");
    ASSERT_NE(std::fgets(line, sizeof line, printed), nullptr);  // the computer's reply
    EXPECT_EQ(std::strncmp(line, "move=2 ", 7), 0) << line;
    const auto sent = std::chrono::steady_clock::now();
    ::kill(child, signal);
    int status = 0;
    ::waitpid(child, &status, 0);
    std::fclose(printed);
    EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(10));
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    makeGame(0);
    ASSERT_TRUE(loadGameFile("state/vombel-chess/last-game.vmb"));
    EXPECT_EQ(currentMove(), 2);
    EXPECT_EQ(fs::status("state/vombel-chess").permissions(), fs::perms(0700));
  }
}

}  // namespace
}  // namespace vombel
