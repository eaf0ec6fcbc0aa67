#include "cli/atomic_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "clicker_sandbox.h"

namespace vkd::cli {
namespace {

using testing::ClickerSandbox;

class AtomicFileTest : public ::testing::Test {
 protected:
  std::size_t entries_in_folder() const {
    return static_cast<std::size_t>(std::distance(
        std::filesystem::directory_iterator(sandbox.folder()), std::filesystem::directory_iterator()));
  }
  static mode_t mode_of(const std::filesystem::path& file) {
    struct stat status{};
    stat(file.c_str(), &status);
    return status.st_mode & 07777;
  }

  ClickerSandbox sandbox;
  std::filesystem::path file = sandbox.folder() / "scans.csv";
};

// Files may grow to `bytes` only while it lives: a write past that fails with EFBIG, as on
// a full disk, also for root.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &saved_);
    const rlimit limited{bytes, saved_.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
};

TEST_F(AtomicFileTest, ReplacesTheContentAndLeavesNothingBeside) {
  const mode_t umask_before = umask(022);
  EXPECT_FALSE(write_file_atomically(file, "first"));
  EXPECT_EQ(mode_of(file), 0644u);  // a new file gets 0666 less the umask
  EXPECT_FALSE(write_file_atomically(file, "second"));
  umask(umask_before);
  EXPECT_EQ(ClickerSandbox::read_file(file), "second");
  EXPECT_EQ(entries_in_folder(), 1u);
}

// The link stays a link, the file it leads to (through a relative link and an absolute
// one) gets the content and keeps its permissions.
TEST_F(AtomicFileTest, FollowsSymbolicLinksAndKeepsTheTargetsPermissions) {
  const auto real = sandbox.folder() / "real.csv";
  ClickerSandbox::write_file(real, "old");
  std::filesystem::permissions(real, std::filesystem::perms(0640));
  std::filesystem::create_symlink(real, sandbox.folder() / "absolute-link");
  std::filesystem::create_symlink("absolute-link", file);

  EXPECT_FALSE(write_file_atomically(file, "new"));

  EXPECT_TRUE(std::filesystem::is_symlink(file));
  EXPECT_TRUE(std::filesystem::is_symlink(sandbox.folder() / "absolute-link"));
  EXPECT_EQ(ClickerSandbox::read_file(real), "new");
  EXPECT_EQ(mode_of(real), 0640u);
  EXPECT_EQ(entries_in_folder(), 3u);

  // A link to nothing yet makes the file it names.
  std::filesystem::create_symlink("later.csv", sandbox.folder() / "dangling");
  EXPECT_FALSE(write_file_atomically(sandbox.folder() / "dangling", "made"));
  EXPECT_EQ(ClickerSandbox::read_file(sandbox.folder() / "later.csv"), "made");

  std::filesystem::create_symlink("loop", sandbox.folder() / "loop");
  EXPECT_EQ(write_file_atomically(sandbox.folder() / "loop", "x"),
            std::errc::too_many_symbolic_link_levels);
}

TEST_F(AtomicFileTest, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  ClickerSandbox::write_file(file, "old content");
  {
    const FileSizeLimit limit(1000);
    EXPECT_EQ(write_file_atomically(file, std::string(5000, 'x')), std::errc::file_too_large);
  }
  EXPECT_EQ(ClickerSandbox::read_file(file), "old content");
  EXPECT_EQ(entries_in_folder(), 1u);

  // A folder that is a file: nothing can be made there.
  EXPECT_EQ(write_file_atomically(file / "scans.csv", "x"), std::errc::not_a_directory);
}

// A device cannot be replaced by renaming (and /dev/full must stay a device): it is written
// to, and its answer counts.
TEST_F(AtomicFileTest, WritesToADeviceInPlace) {
  EXPECT_FALSE(write_file_atomically("/dev/null", "gone"));
  EXPECT_EQ(write_file_atomically("/dev/full", "lost"), std::errc::no_space_on_device);
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

TEST_F(AtomicFileTest, AppendTellsWhetherTheFileHadContentAndTakesBackAFailedPart) {
  std::vector<bool> told;
  const auto line = [&told](bool has_content) {
    told.push_back(has_content);
    return std::string("line\n");
  };
  EXPECT_FALSE(append_to_file(file, line));
  EXPECT_FALSE(append_to_file(file, line));
  EXPECT_EQ(told, (std::vector<bool>{false, true}));
  EXPECT_EQ(ClickerSandbox::read_file(file), "line\nline\n");
  {
    const FileSizeLimit limit(1000);
    EXPECT_EQ(append_to_file(file, [](bool) { return std::string(5000, 'x'); }),
              std::errc::file_too_large);
  }
  EXPECT_EQ(ClickerSandbox::read_file(file), "line\nline\n");
  EXPECT_EQ(append_to_file("/dev/full", line), std::errc::no_space_on_device);
}

}  // namespace
}  // namespace vkd::cli
