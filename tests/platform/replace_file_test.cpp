#include "platform/replace_file.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "support/gone_process.h"
#include "support/special_files.h"
#include "support/temp_folder.h"

namespace quillon::platform {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

std::vector<std::string> entries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

struct stat statOf(const fs::path& file) {
  struct stat st {};
  ::stat(file.c_str(), &st);
  return st;
}

TEST(ReplaceFile, KeepsModeOwnerAndGroupAndWritesThroughALink) {
  TempFolder folder("quillon-replace");
  const fs::path file = folder.write("a.mb", "old");
  ::chmod(file.c_str(), 0640);
  const bool root = ::geteuid() == 0;
  // Only root can hand a file to someone else; as root the file belongs to another user first.
  if (root) {
    ASSERT_EQ(::chown(file.c_str(), 1234, 5678), 0);
  }
  fs::create_symlink("a.mb", folder / "link.mb");

  const FileReplaced done = replaceFile(folder / "link.mb", "new");
  ASSERT_TRUE(done) << done.error;
  EXPECT_TRUE(done.ownerKept && fs::is_symlink(folder / "link.mb"));
  EXPECT_EQ(TempFolder::read(file), "new");
  const struct stat st = statOf(file);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(std::pair(st.st_uid, st.st_gid), std::pair(1234u, 5678u));
  }
  EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"a.mb", "link.mb"}));

  // A new file: 0666 less the umask.
  const mode_t mask = ::umask(022);
  ASSERT_TRUE(replaceFile(folder / "b.mb", ""));
  ::umask(mask);
  EXPECT_EQ(statOf(folder / "b.mb").st_mode & 0777, 0644u);
}

TEST(ReplaceFile, RefusesReadOnlyFilesAndWhatIsNoFileAndLeavesNoLitter) {
  testing::HangGuard guard;
  TempFolder folder("quillon-replace");
  const fs::path readOnly = folder.write("read-only.mb", "old");
  ::chmod(readOnly.c_str(), 0444);  // in a folder anyone may write: even root may not replace it
  EXPECT_EQ(replaceFile(readOnly, "new").error, EACCES);
  EXPECT_EQ(std::tuple(TempFolder::read(readOnly), statOf(readOnly).st_mode & 07777),
            std::tuple(std::string("old"), 0444u));

  for (const testing::SpecialFile& f : testing::makeSpecialFiles(folder.path())) {
    if (f.path == "/dev/zero") continue;  // not ours to test on
    EXPECT_FALSE(replaceFile(f.path, "new")) << f.what;
  }
  EXPECT_EQ(replaceFile(folder / "folder.mb", "new").error, EISDIR);
  EXPECT_TRUE(fs::is_fifo(folder / "fifo.mb"));
  EXPECT_FALSE(replaceFile(folder / "no" / "such" / "folder.mb", "new"));

  // What the writer throws stops the save and takes the sibling with it.
  const fs::path a = folder.write("a.mb", "old");
  EXPECT_THROW(replaceFile(a,
                           [](std::ostream& out) {
                             out << "half";
                             throw std::runtime_error("stop");
                           }),
               std::runtime_error);
  EXPECT_EQ(TempFolder::read(a), "old");
  for (const std::string& name : entries(folder.path())) EXPECT_NE(name.front(), '.') << name;

  // A full disk half way through the write.
  {
    testing::FileSizeLimit full(4096);
    EXPECT_EQ(replaceFile(a, std::string(64 * 1024, 'x')).error, EFBIG);
  }
  EXPECT_EQ(TempFolder::read(a), "old");
}

// A save killed half-way leaves its temporary; the next save or open of that file removes it,
// and nothing else: not a temporary of a living process, another file's, or a user's file.
TEST(ReplaceFile, RemovesTheStaleTemporariesOfItsFileOnly) {
  TempFolder folder("quillon-replace");
  const fs::path file = folder.write("big.mb", "old");
  const std::string dead = testing::goneProcessId();
  const std::string alive = std::to_string(::getppid());
  const std::vector<std::string> kept = {
      ".big.mb.quillon-save-" + alive + "-aB3xYz",     // still saving
      ".other.mb.quillon-save-" + dead + "-aB3xYz",    // another file's
      ".big.mb.quillon-save-" + dead + "-aB3xYz.bak",  // not what we write
      ".big.mb.quillon-save-" + dead + "-aB3",
      ".big.mb.quillon-save-x" + dead + "-aB3xYz",
      ".big.mb.XXXXXX",
      "big.mb.quillon-save-" + dead + "-aB3xYz",
  };
  for (const std::string& name : kept) folder.write(name, "keep");
  folder.write(".big.mb.quillon-save-" + dead + "-aB3xYz", "stale");
  folder.write(".big.mb.quillon-save-" + dead + "-Q0q0Q0", "stale");

  removeStaleSaveTemporaries(folder / "big.mb");
  std::vector<std::string> expected = kept;
  expected.push_back("big.mb");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(entries(folder.path()), expected);

  // A save names its temporary for the program, the file and itself, and cleans up first.
  folder.write(".big.mb.quillon-save-" + dead + "-zzzzzz", "stale");
  std::string during;
  ASSERT_TRUE(replaceFile(file, [&](std::ostream& out) {
    for (const std::string& name : entries(folder.path()))
      if (name.starts_with(".big.mb.quillon-save-" + std::to_string(::getpid()) + "-"))
        during = name;
    out << "new";
  }));
  EXPECT_FALSE(during.empty());
  EXPECT_EQ(entries(folder.path()), expected);
}

// Many files at once, as Open of a selection: each folder's stale temporaries of those files.
TEST(ReplaceFile, RemovesTheStaleTemporariesOfManyFilesFolderByFolder) {
  TempFolder folder("quillon-replace");
  const std::string dead = testing::goneProcessId();
  folder.write("x/a.mb", "a");
  folder.write("x/b.mb", "b");
  folder.write("y/a.mb", "a");
  folder.write("x/.a.mb.quillon-save-" + dead + "-aaaaaa", "stale");
  folder.write("x/.b.mb.quillon-save-" + dead + "-bbbbbb", "stale");
  folder.write("y/.a.mb.quillon-save-" + dead + "-cccccc", "stale");
  folder.write("y/.b.mb.quillon-save-" + dead + "-dddddd", "not asked for");

  removeStaleSaveTemporaries(std::vector<fs::path>{folder / "x/a.mb", folder / "x/b.mb",
                                                   folder / "y/a.mb", folder / "z/none.mb"});
  EXPECT_EQ(entries(folder / "x"), (std::vector<std::string>{"a.mb", "b.mb"}));
  EXPECT_EQ(entries(folder / "y"),
            (std::vector<std::string>{".b.mb.quillon-save-" + dead + "-dddddd", "a.mb"}));
}

}  // namespace
}  // namespace quillon::platform
